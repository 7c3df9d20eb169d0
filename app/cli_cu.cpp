#include "app/cli.h"
#include "app/console_prompter.h"
#include "app/shared_values.h"
#include "cu/createl_form.h"
#include "records/cp1252.h"
#include "records/host_paths.h"

namespace app::cli {

namespace {

// Passes every box on to the console and notes whether one of them was a stop message.
class StopWatchingPrompter : public records::Prompter {
public:
    explicit StopWatchingPrompter(records::Prompter& inner)
        : m_inner(inner)
    {
    }
    void message(std::string_view title, std::string_view text, records::Icon icon) override
    {
        if (icon == records::Icon::Stop)
            stopped = true;
        m_inner.message(title, text, icon);
    }
    bool askYesNo(records::Question question, std::string_view title, std::string_view text,
                  records::Icon icon) override
    {
        return m_inner.askYesNo(question, title, text, icon);
    }

    bool stopped = false;

private:
    records::Prompter& m_inner;
};

struct TextOption {
    const char* name;
    int box; // index of the Tx box that the option types into
};

constexpr TextOption kTextOptions[] = {
    {"protocol-id", 2},     {"protocol-number", 3}, {"record", 4},   {"commitment-type", 8},
    {"commitment-date", 9}, {"out-dir", 5},         {"out-name", 6},
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
    StopWatchingPrompter prompter(console);
    ConsoleLauncher launcher(err);
    if (arguments.flag("report"))
        console.answerYes(records::Question::ReportWanted);
    if (arguments.flag("yes"))
        console.answerYes(records::Question::ConfirmAnnulment);

    SharedValues values(records::PathMapper::resolveRoot(*root), prompter, launcher);
    cu::Environment environment = values.cuEnvironment();
    cu::CreatelForm form(environment);

    // The operator's steps in the window, in order.
    form.Form_Load();
    if (arguments.flag("report"))
        form.Command5_Click();
    // The command line speaks UTF-8; the boxes hold the installation's Windows-1252 text.
    form.Tx[0].text = records::utf8ToCp1252(*archive);
    form.Command1_Click();
    if (prompter.stopped)
        return 1; // the archive could not be opened: the operator would not go on
    if (supply) {
        for (std::size_t i = 0; i < form.combo1Items.size(); ++i) {
            if (form.combo1Items[i].starts_with(*supply))
                form.Combo1_Click(static_cast<int>(i));
        }
    }
    for (const TextOption& option : kTextOptions) {
        if (const auto text = arguments.value(option.name))
            form.Tx[static_cast<std::size_t>(option.box)].text = records::utf8ToCp1252(*text);
    }

    const cu::telematic::RunResult result = form.Command2_Click();
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
