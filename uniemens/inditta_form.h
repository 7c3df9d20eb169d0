#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "payroll/field_layout.h"
#include "records/channels.h"
#include "records/shared_values.h"
#include "uniemens/inps_settings.h"
#include "uniemens/series_file.h"
#include "uniemens/xml_lines.h"

namespace records {
class FileChooser;
}

namespace uniemens {

// What a press of "Conferma" came to.
enum class ConfirmOutcome {
    NoCompany,     // no company chosen: the focus went to the list, nothing was written
    UnknownKind,   // the company's declaration kind is neither 0 nor 1: nothing happened
    CompanyAdded,  // the company's block is in the open XML file; another company follows
    FileStored,    // the XML file is complete under its name; the window is to close
    Stopped,       // a stop message or a failure ended the work; an open series left no file
    Refused,       // the company was refused (the operator told why): nothing was written for
                   // it, an open series stays open
    EditRequested, // "Modifica/Visualizza Dati": the employee register has been opened
};

// The inditta window ("Selezione Ditta") without its widgets: the state of its controls, its
// own values and its event procedures. It lists the companies whose UniEmens data the payroll
// program prepared for a month, writes the monthly XML declaration of one or more of them
// into one file, lists a stored XML file with line numbers and starts the INPS programs.
//
// The form owns its record channels, so that another window closing all its files never
// closes the XML file of a series that is open here. Of the shared values it sets the working
// year, the selected data file, the data-area selector and, for the employee register, the
// employee record count.
class IndittaForm {
public:
    static constexpr int kMaxCompany = 499;

    IndittaForm(records::Workplace workplace, records::FileChooser& chooser, InpsSettings settings = {});
    // A series still open is abandoned: its XML file is removed.
    ~IndittaForm() = default;
    IndittaForm(const IndittaForm&) = delete;
    IndittaForm& operator=(const IndittaForm&) = delete;

    // Events of the window.
    void Form_Load();
    void combo1_Click(int index); // month, 0 = "Gennaio"
    void indit_Click(int index);  // company list, 0 = first item
    void Option1_Click();         // " Crea file Uniemens"
    void Option2_Click();         // " Modifica/Visualizza  Dati "
    ConfirmOutcome Command1_Click(); // "Conferma"
    void Command3_Click();        // "Indietro": abandons an open series and closes the window
    void Command5_Click();        // "Sito INPS invio"
    void Command6_Click();        // "Accedi a Paghe"
    void Command4_Click();        // "Visualizza XML"
    void Command2_Click();        // "Controllo e validazione "

    // Public method of the window; it does nothing.
    void ar1() {}

    // Named operations for a program that drives the form without its window.
    // The position in `inditItems` of the company whose data file is named after `code`
    // (the three characters after "una"), or -1. The header inside may say otherwise: the
    // name decides.
    int findCompany(std::string_view code) const;
    // What the header of the data file of item `index` says: the company code (header field
    // 1) and the declaration kind, as "Conferma" reads them, without writing anything.
    // Empty when the item does not exist or its header cannot be read (the channel has said
    // why).
    struct Heading {
        std::string code;
        double kind = 0;
    };
    std::optional<Heading> headingOf(int index);
    // Ends an open series without storing its file, as closing the window does.
    void abandonSeries();
    bool seriesOpen() const { return m_series.isOpen(); }
    // Host path of the XML file that the last series stored; empty before.
    const std::string& storedHostPath() const { return m_storedHostPath; }
    records::Channels& channels() { return m_channels; }
    // The help line of the window: what the operator can do next, or where the file just
    // stored lies on this computer.
    std::string statusText() const;
    // The code and name of the company whose data file Text1 names, as the list shows it;
    // empty while none is chosen.
    std::string selectedCompany() const;

    // A program that a button starts: its path in the installation, the host path that is,
    // and whether it is there.
    struct Program {
        std::string path;
        std::string hostPath;
        bool installed = false;
    };
    Program checkingProgram() const; // "Controllo e validazione "
    Program payrollMenu() const;     // "Accedi a Paghe"

    // Controls.
    std::vector<std::string> combo1Items;
    int combo1Index = -1;
    std::string Text1; // path of the chosen company data file
    std::string Text2; // working year
    std::vector<std::string> inditItems;
    std::string inditText; // what the list shows as its current text
    bool Option1 = false;
    bool Option2 = false;
    std::string focusControl; // control the window is to focus after an event ("indit")

    // Window values.
    std::string selectedMonth;          // "3" after a month click, "03" after the scan
    std::vector<std::string> dataFiles; // path of the company data file of each item of indit
    std::int16_t selectedIndex = 0;     // 1-based position of the item last clicked
    int appendFlag = 0;                 // 1: an XML file is open and takes the next company
    double declarationKind = 0;         // 0 employees, 1 collaborators: the series' first company
    std::string outputXmlFileName;      // installation notation

    // Set when the window is to close.
    bool closeRequested = false;
    // Called by "Conferma" with "Modifica/Visualizza Dati" once the selected data file and the
    // employee record count are set: opens the employee register on them, and tells whether
    // it could. Without it, or when it could not, the operator is told.
    std::function<bool()> openEmployeeRegister;
    // Called whenever controls change in the middle of an event (before a question), so that
    // a window can show them.
    std::function<void()> changed;
    // Called while a company is written, after each record of its employee or collaborator
    // data file looked at: how many of how many (header field 20).
    std::function<void(double done, double total)> advanced;

private:
    void companyScan();
    ConfirmOutcome dispatch();
    ConfirmOutcome requestEmployeeRegister();
    std::string readCompanyHeader(const std::string& path);
    bool holdsNamedCompany(const Heading& heading);
    ConfirmOutcome writeEmployeeCompany(const std::string& headerRecord);
    ConfirmOutcome writeCollaboratorCompany(const std::string& headerRecord);
    void startSeries(const std::string& fileName, const payroll::FieldTable& header);
    template <class Each>
    void readDataRecords(const std::string& file, int recordLength, double count, std::string_view missingText,
                         Each each);
    ConfirmOutcome finishCompany(const std::string& companyFile, bool removeFromList);
    ConfirmOutcome stopSeries(const std::string& message);
    void removeListedFile(const std::string& companyFile);
    bool startInstalledProgram(const std::string& installationPath, const std::string& workingFolder = {});
    Program installedProgram(const std::string& path) const;

    void notify();

    records::SharedValues& m_shared;
    records::Prompter& m_prompter;
    records::Launcher& m_launcher;
    records::FileChooser& m_chooser;
    InpsSettings m_settings;
    records::Channels m_channels;
    XmlLines m_lines;
    SeriesFile m_series; // after the channels: it closes its channel when it goes
    payroll::FieldTable m_record; // the employee or collaborator record being written
    std::vector<std::string> m_seriesCompanies; // codes of the companies in the open file
    std::string m_storedHostPath;
    std::string m_notice; // shown in the help line until the next choice
};

} // namespace uniemens
