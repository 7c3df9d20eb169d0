#include "app/cli.h"
#include "app/console_prompter.h"
#include "cu/createl_form.h"
#include "records/cp1252.h"
#include "records/host_paths.h"
#include "records/shared_values.h"

namespace app::cli {

namespace {

// The options that type a text into a box of the input frame, and where each goes.
struct TextOption {
    const char* name;
    std::optional<std::string> cu::SupplyOptions::*box;
};

constexpr TextOption kTextOptions[] = {
    {"protocol-id", &cu::SupplyOptions::replacedSubmission},
    {"protocol-number", &cu::SupplyOptions::replacedCertificate},
    {"record", &cu::SupplyOptions::employeeRecord},
    {"commitment-type", &cu::SupplyOptions::commitmentType},
    {"commitment-date", &cu::SupplyOptions::commitmentDate},
    {"out-dir", &cu::SupplyOptions::outputFolder},
    {"out-name", &cu::SupplyOptions::outputName},
};

} // namespace

int cuCommand(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err)
{
    Arguments arguments;
    std::set<std::string> valued = {"root", "archive", "supply"};
    for (const TextOption& option : kTextOptions)
        valued.insert(option.name);
    if (const std::string error = arguments.parse(argv, 2, {"report", "yes"}, valued); !error.empty()) {
        err << "cu: " << error << "\n\n" << kUsage;
        return 2;
    }
    const auto root = arguments.value("root");
    const auto archive = arguments.value("archive");
    if (!root || root->empty() || !archive) {
        err << "cu: servono --root DIR e --archive N\n\n" << kUsage;
        return 2;
    }
    const auto supply = arguments.value("supply");
    if (supply && (supply->size() != 1 || std::string("NAST").find(*supply) == std::string::npos)) {
        err << "cu: --supply vale N, A, S o T\n\n" << kUsage;
        return 2;
    }

    ConsolePrompter console(err);
    ConsoleLauncher launcher(err);
    if (arguments.flag("report"))
        console.answerYes(records::Question::ReportWanted);
    if (arguments.flag("yes"))
        console.answerYes(records::Question::ConfirmAnnulment);

    records::SharedValues shared(records::PathMapper::resolveRoot(*root));
    cu::CreatelForm form({shared, console, launcher});

    // The operator's steps in the window, in order. The command line speaks UTF-8; the boxes
    // hold the installation's Windows-1252 text.
    form.Form_Load();
    if (arguments.flag("report"))
        form.askForReport();
    if (!form.openArchive(records::utf8ToCp1252(*archive)))
        return 1; // the archive could not be opened: the operator would not go on
    cu::SupplyOptions supplyOptions;
    if (supply)
        supplyOptions.kind = supply->front();
    for (const TextOption& option : kTextOptions) {
        if (const auto text = arguments.value(option.name))
            supplyOptions.*option.box = records::utf8ToCp1252(*text);
    }
    form.setSupplyOptions(supplyOptions);

    const cu::telematic::RunResult result = form.run();
    switch (result.outcome) {
    case cu::telematic::RunOutcome::Reported:
        out << result.telematicHostPath << '\n' << result.reportHostPath << '\n' << result.batchHostPath << '\n';
        return 0;
    case cu::telematic::RunOutcome::Completed:
        out << result.telematicHostPath << '\n';
        // A report that was asked for and could not be written is a failure of the command.
        return arguments.flag("report") ? 1 : 0;
    case cu::telematic::RunOutcome::Declined:
    case cu::telematic::RunOutcome::Stopped:
        break;
    }
    return 1;
}

} // namespace app::cli
