#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "check/file_check.h"
#include "check/finding.h"
#include "check/report.h"
#include "cu/createl_form.h"
#include "demo/demo_installation.h"
#include "records/cp1252.h"
#include "records/file_chooser.h"
#include "testing/installation_values.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_root.h"
#include "uniemens/inditta_form.h"

// What the tests of the check share: an office with the demo installation whose files the
// program's own forms write, and the check of a file as lines.
namespace check::testing {

// The day the tests check on: the CU 2017 season, before the commitment dates of the demo
// archives plus a few weeks.
inline constexpr Day kToday = 20170315;

// The demo installation in a temporary root, and the forms that write its files as a clerk
// would: the createl window's run and the inditta window's series.
class Office {
public:
    Office() { demo::writeDemoInstallation(root.path()); }

    // One CU run of archive `archive`; the host path of the telematic file, empty when the
    // run did not complete. Annulments and replacements are confirmed.
    std::string cuRun(int archive, const cu::SupplyOptions& options = {})
    {
        records::testing::ScriptedPrompter prompter;
        records::testing::RecordingLauncher launcher;
        records::testing::InstallationValues shared(root.path());
        cu::CreatelForm form(shared.workplace(prompter, launcher));
        form.load();
        if (!form.openArchive(std::to_string(archive)))
            return {};
        form.setSupplyOptions(options);
        if (options.kind == 'A' || options.kind == 'S')
            prompter.answer(true);
        const cu::telematic::RunResult result = form.run();
        return result.outcome == cu::telematic::RunOutcome::Completed ? result.telematicHostPath : std::string();
    }

    // One UniEmens series of month `month` with the companies in order; the host path of the
    // XML file, empty when it was not stored.
    std::string uniemensSeries(int month, const std::vector<std::string>& companies)
    {
        records::testing::ScriptedPrompter prompter;
        records::testing::RecordingLauncher launcher;
        records::NoFileChooser chooser;
        records::testing::InstallationValues shared(root.path());
        cu::CreatelForm(shared.workplace(prompter, launcher)).load();
        uniemens::IndittaForm form(shared.workplace(prompter, launcher), chooser);
        form.load();
        form.chooseMonth(month - 1);
        for (std::size_t k = 0; k < companies.size(); ++k) {
            form.chooseCompany(form.findCompany(companies[k]));
            prompter.answer(k + 1 < companies.size()); // "Inserisci altra Ditta ?"
            const uniemens::ConfirmOutcome outcome = form.confirm();
            if (outcome != uniemens::ConfirmOutcome::CompanyAdded && outcome != uniemens::ConfirmOutcome::FileStored)
                return {};
        }
        return form.storedHostPath();
    }

    records::testing::TempRoot root;
};

// What the check said of a file: its lines in the order it gives them, in UTF-8.
struct Checked {
    FileKind kind = FileKind::Unknown;
    std::string error;
    std::vector<std::string> lines;
    long long blocking = 0;
    long long warnings = 0;

    std::vector<std::string> blockingLines() const
    {
        std::vector<std::string> result;
        for (const std::string& line : lines) {
            if (line.starts_with("BLOCCANTE"))
                result.push_back(line);
        }
        return result;
    }
};

inline Checked checkPath(const std::filesystem::path& file, Day today = kToday)
{
    FindingList findings;
    CheckOptions options;
    options.today = today;
    const FileCheckResult result = checkFile(file.string(), findings, options);
    Checked checked;
    checked.kind = result.kind;
    checked.error = result.error;
    checked.blocking = findings.blocking();
    checked.warnings = findings.warnings();
    for (const Finding& finding : findings.findings())
        checked.lines.push_back(records::cp1252ToUtf8(findingLine(finding, result.kind)));
    return checked;
}

inline std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

} // namespace check::testing
