#include "app/cli.h"

#include <algorithm>

#include "app/console_prompter.h"
#include "cu/archive_record.h"
#include "cu/createl_form.h"
#include "records/channels.h"
#include "records/cp1252.h"
#include "records/file_chooser.h"
#include "records/host_paths.h"
#include "records/shared_values.h"
#include "records/text.h"
#include "uniemens/inditta_form.h"

namespace app::cli {

namespace {

// Answers "Inserisci altra Ditta ?" Yes while companies remain to be declared, and passes
// everything else to the console.
class SeriesPrompter : public records::Prompter {
public:
    SeriesPrompter(ConsolePrompter& console, ConsolePrompter& addingConsole)
        : m_console(console)
        , m_addingConsole(addingConsole)
    {
    }
    void message(std::string_view title, std::string_view text, records::Icon icon) override
    {
        m_console.message(title, text, icon);
    }
    bool askYesNo(records::Question question, std::string_view title, std::string_view text,
                  records::Icon icon) override
    {
        if (question == records::Question::AnotherCompany && moreCompanies)
            return m_addingConsole.askYesNo(question, title, text, icon);
        return m_console.askYesNo(question, title, text, icon);
    }

    bool moreCompanies = false;

private:
    ConsolePrompter& m_console;
    ConsolePrompter& m_addingConsole;
};

// "1" and "01" name company "001", as the list shows it.
std::string companyCode(const std::string& option)
{
    const std::string code = records::utf8ToCp1252(option);
    const bool digits = !code.empty() && std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; });
    return digits && code.size() < 3 ? records::padLeft(code, 3, '0') : code;
}

} // namespace

int uniemensCommand(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err)
{
    Arguments arguments;
    if (const std::string error = arguments.parse(argv, 2, {"check"}, {"root", "month", "company"}); !error.empty()) {
        err << "uniemens: " << error << "\n\n" << kUsage;
        return 2;
    }
    const auto root = arguments.value("root");
    const auto monthText = arguments.value("month");
    std::vector<std::string> codes;
    for (const std::string& option : arguments.values("company"))
        codes.push_back(companyCode(option));
    int month = 0;
    if (monthText && !monthText->empty() && monthText->size() <= 2
        && std::all_of(monthText->begin(), monthText->end(), [](char c) { return c >= '0' && c <= '9'; }))
        month = std::stoi(*monthText);
    if (!root || root->empty() || month < 1 || month > 12 || codes.empty()) {
        err << "uniemens: servono --root DIR, --month M (1..12) e almeno una --company CCC\n\n" << kUsage;
        return 2;
    }

    ConsolePrompter console(err);
    ConsolePrompter addingConsole(err);
    addingConsole.answerYes(records::Question::AnotherCompany);
    if (arguments.flag("check"))
        console.answerYes(records::Question::ContinueWithCheck);
    SeriesPrompter prompter(console, addingConsole);
    ConsoleLauncher launcher(err);
    records::NoFileChooser chooser;
    records::SharedValues shared(records::PathMapper::resolveRoot(*root));

    // The createl window loads first and reads the drive of the installation.
    {
        records::Channels createlChannels(shared.paths, prompter);
        cu::CuFields cuFields;
        cu::Environment environment{createlChannels, shared.installation, prompter, launcher, cuFields, shared.helpText};
        cu::CreatelForm createl(environment);
        createl.Form_Load();
    }

    uniemens::IndittaForm form(records::Workplace{shared, prompter, launcher}, chooser);
    form.Form_Load();
    form.combo1_Click(month - 1);

    // Nothing is written unless every company can be declared.
    for (std::size_t k = 0; k < codes.size(); ++k) {
        if (std::find(codes.begin(), codes.begin() + static_cast<std::ptrdiff_t>(k), codes[k]) != codes.begin() + static_cast<std::ptrdiff_t>(k)) {
            err << "uniemens: la ditta " << records::cp1252ToUtf8(codes[k]) << " e' indicata piu' volte\n";
            return 1;
        }
        if (form.findCompany(codes[k]) < 0) {
            err << "uniemens: nessun file predisposto per la ditta " << records::cp1252ToUtf8(codes[k]) << " nel mese "
                << month << " dell'anno " << records::cp1252ToUtf8(shared.installation.workingYear) << "\n";
            return 1;
        }
    }

    for (std::size_t k = 0; k < codes.size(); ++k) {
        const int item = form.findCompany(codes[k]);
        if (item < 0) {
            err << "uniemens: la ditta " << records::cp1252ToUtf8(codes[k]) << " non e' piu' nell'elenco\n";
            form.abandonSeries();
            return 1;
        }
        form.indit_Click(item);
        form.Option1_Click();
        prompter.moreCompanies = k + 1 < codes.size();
        switch (form.Command1_Click()) {
        case uniemens::ConfirmOutcome::CompanyAdded:
            continue;
        case uniemens::ConfirmOutcome::FileStored:
            out << form.storedHostPath() << '\n';
            return 0;
        case uniemens::ConfirmOutcome::UnknownKind:
            err << "uniemens: la ditta " << records::cp1252ToUtf8(codes[k])
                << " non ha un tipo di denuncia valido (0 dipendenti, 1 collaboratori)\n";
            break;
        case uniemens::ConfirmOutcome::NoCompany:
        case uniemens::ConfirmOutcome::Stopped:
        case uniemens::ConfirmOutcome::EditRequested:
            break;
        }
        break;
    }
    form.abandonSeries();
    return 1;
}

} // namespace app::cli
