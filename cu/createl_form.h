#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cu/telematic/run.h"
#include "records/text_box.h"
#include "records/workplace.h"

namespace cu {

namespace telematic {
struct HeaderSummary;
} // namespace telematic

// The input boxes of the createl window, in the order of the window's numbering.
enum class Box {
    ArchiveCode,            // "Codice": the number of the archive to open
    SupplyLetter,           // the letter of the kind of supply, beside "Tipo Fornitura "
    ProtocolId,             // "1-Protocollo Identificativo della CU"
    ProtocolNumber,         // "2-Protocollo assegnato alla CU"
    EmployeeRecord,         // "Rk Archivio CU Lav.Dipendente"
    OutputFolder,           // "Unita' e percorso del file"
    OutputName,             // "Nome del file telematico"
    IntermediaryFiscalCode, // "Cod.fiscale Intermediario", from the archive
    CommitmentType,         // "Tipo Impegno"
    CommitmentDate,         // "Data Impegno"
    IntermediaryPhone,      // "N.Cellulare Intermediario", from the archive
    IntermediaryEmail,      // "Email Intermediario", from the archive
};
inline constexpr int kBoxCount = 12;

// What a clerk enters in the input frame after opening an archive, for the tools and tests
// that drive the form as a clerk would: a kind of supply chosen and texts typed into boxes.
// What is not given keeps what the window put there.
struct SupplyOptions {
    std::optional<char> kind;                       // 'N', 'A', 'S' or 'T', as the kinds of supply start
    std::optional<std::string> replacedSubmission;  // "1-Protocollo Identificativo della CU"
    std::optional<std::string> replacedCertificate; // "2-Protocollo assegnato alla CU"
    std::optional<std::string> employeeRecord;      // "Rk Archivio CU Lav.Dipendente"
    std::optional<std::string> outputFolder;        // installation notation
    std::optional<std::string> outputName;
    std::optional<std::string> commitmentType;
    std::optional<std::string> commitmentDate;
};

// The controls of the createl window and its own values, as a freshly loaded window has them.
struct CreatelControls {
    CreatelControls();

    records::TextBox& box(Box which);
    const records::TextBox& box(Box which) const;

    // "Certificazione": an item per archive found, and the text the list shows.
    std::vector<std::string> archiveItems;
    std::string archiveShown;
    // "Tipo Fornitura ": the kinds of supply offered.
    std::vector<std::string> supplyKinds;

    records::TextBox archiveCode;
    records::TextBox supplyLetter;
    records::TextBox protocolId;
    records::TextBox protocolNumber;
    records::TextBox employeeRecord;
    records::TextBox outputFolder;
    records::TextBox outputName;
    records::TextBox intermediaryFiscalCode;
    records::TextBox commitmentType;
    records::TextBox commitmentDate;
    records::TextBox intermediaryPhone;
    records::TextBox intermediaryEmail;

    bool inputFrameVisible = false;
    // Whose certifications a run is storing, shown while it works.
    std::string progressText;
    std::string statusText;

    // The archive number of each item of the list.
    std::vector<int> archiveNumbers;
    // The number of the archive chosen or opened, which a run works on.
    std::string selectedArchive;
    // "T=Normale SINGOLA" was chosen: every run until the window is loaded again sends the
    // one employee of the record box, whatever letter the supply box shows.
    bool singleEmployee = false;
    // The clerk answered Yes to the report question.
    bool reportWanted = false;

    // The window is to close (and with it the program).
    bool closeRequested = false;
};

// The createl window ("Seleziona CU 2016") without its widgets: the state of every control
// and the operations that the clerk's gestures start. The Qt window shows this state and
// hands its events here; the work itself is done by the CU run (cu/telematic).
class CreatelForm : public CreatelControls {
public:
    explicit CreatelForm(records::Workplace workplace);
    CreatelForm(const CreatelForm&) = delete;
    CreatelForm& operator=(const CreatelForm&) = delete;

    // Loads the window: reads the drive file and lists the archives of the data folder.
    void load();
    // Chooses item `item` of the list: its number goes into "Codice".
    void chooseArchive(int item);
    // " FASE 2     APRE CU": opens the archive named in "Codice" and shows its header in the
    // input frame. False when a stop message was shown instead.
    bool openArchive();
    // Types `number` into "Codice" and opens it.
    bool openArchive(std::string_view number);
    // Chooses item `item` of the kinds of supply.
    void chooseSupplyKind(int item);
    // Chooses the kind of supply and types the texts of `options` into their boxes.
    void setSupplyOptions(const SupplyOptions& options);
    // "     FASE 1          REPORT": asks whether a report is wanted.
    void askForReport();
    // An archive has been chosen in the list or opened: " FASE 3" has one to work on.
    bool archiveChosen() const { return !selectedArchive.empty(); }
    // The run that " FASE 3" starts, from the boxes as the clerk left them.
    telematic::RunRequest request() const;
    // "FASE 3": the CU run. After a completed run the window is loaded afresh and its status
    // line names the file written; after a run with a report, the report is shown too, and
    // the status line names both.
    telematic::RunResult run();
    // "FASE 4     FINE".
    void finish();

    // The help line: the help of a box when it takes the focus, a text of the form's own.
    void boxFocused(Box which) { showHelp(which); }
    void showHelp(Box which);
    void showHelpAgain();
    void showStatus(std::string_view text);

    // Called whenever a control changes in the middle of an operation (progress text,
    // status line), so that a window can show it before the next message box.
    std::function<void()> changed;
    // Called during a run after each archive record looked at: how many of how many.
    std::function<void(std::int64_t done, double total)> advanced;

    const records::PathMapper& paths() const { return m_workplace.paths; }
    const records::Installation& installation() const { return m_workplace.installation; }
    records::Prompter& prompter() { return m_workplace.prompter; }
    records::Launcher& launcher() { return m_workplace.launcher; }

private:
    // Puts every control and window value back as a new window has them, and loads it.
    void reload();
    void showHeader(const telematic::HeaderSummary& header);
    // The boxes filled from an archive, and the list's text, as a new window has them.
    void clearHeader();
    void enableProtocolBoxes(bool enabled);
    void notify();

    records::Workplace m_workplace;
    // The help of the box last focused, shown again for an index of no box.
    std::string m_helpText;
};

} // namespace cu
