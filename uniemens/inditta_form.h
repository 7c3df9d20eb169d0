#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "records/workplace.h"
#include "uniemens/inps_settings.h"
#include "uniemens/programs.h"
#include "uniemens/series.h"

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

// What "Conferma" does, as the two option buttons choose it.
enum class ConfirmAction {
    CreateDeclaration, // " Crea file Uniemens": the company goes into a UniEmens series
    EditEmployees,     // " Modifica/Visualizza  Dati ": the employee register opens on its data
};

// The inditta window ("Selezione Ditta") without its widgets: the state of its controls, its
// own values and what the operator's gestures start. It lists the companies whose UniEmens
// data the payroll program prepared for a month (scanMonth), puts the declarations of one or
// more of them into one XML file (a Series), lists a stored XML file with line numbers and
// starts the INPS programs.
//
// The series owns its XML file, so that another window closing all its files never closes
// the XML file of a series that is open here; the form opens its own files only for the
// time of one gesture. Of the values that the program's windows share it reads the working
// year (the year file) into the installation; the company chosen goes to the employee
// register as the argument of its opening.
class IndittaForm {
public:
    IndittaForm(records::Workplace workplace, records::FileChooser& chooser, InpsSettings settings = {});
    // A series still open is abandoned: its XML file is removed.
    ~IndittaForm() = default;
    IndittaForm(const IndittaForm&) = delete;
    IndittaForm& operator=(const IndittaForm&) = delete;

    // Loads the window: reads the working year (the year file created when missing), offers
    // the months and chooses " Crea file Uniemens". A series still open is abandoned.
    void load();
    // Chooses month `index` of the list (0 = "Gennaio") and lists the companies prepared for
    // it. While a series is open the list is emptied and stays so: the series' month holds.
    void chooseMonth(int index);
    // Chooses item `index` of the company list (0 = first item): "Conferma" works on its data file.
    void chooseCompany(int index);
    // One of the two option buttons.
    void chooseAction(ConfirmAction chosen);
    // "Conferma": with " Crea file Uniemens" adds the chosen company to the series (opened for
    // the chosen month when none is), asks "Inserisci altra Ditta ?" and, on No, stores the
    // file and, where the INPS checking program is installed, offers it; with
    // " Modifica/Visualizza  Dati " opens the employee register on the company chosen.
    ConfirmOutcome confirm();
    // "Indietro": abandons an open series and closes the window.
    void goBack();
    // "Sito INPS invio": the INPS login page in the web browser.
    void openInpsSite();
    // "Accedi a Paghe": the payroll suite's menu.
    void startPayrollMenu();
    // "Visualizza XML": an XML file chosen by the operator, listed with line numbers.
    void showXmlListing();
    // "Controllo e validazione ": the INPS checking program.
    void startCheckingProgram();

    // The position in `dataFiles` of the company whose data file is named after `code` (the
    // three characters after "una"), or -1. The header inside may say otherwise: the name
    // decides.
    int findCompany(std::string_view code) const;
    // Ends an open series without storing its file, as closing the window does.
    void abandonSeries();
    // An XML file is open and takes the next company.
    bool seriesOpen() const { return m_series.isOpen(); }
    // The name of the series' XML file in installation notation, kept after it is stored.
    const std::string& seriesFileName() const { return m_series.fileName(); }
    // Host path of the XML file that the last series stored; empty before.
    const std::string& storedHostPath() const { return m_storedHostPath; }
    const records::PathMapper& paths() const { return m_workplace.paths; }
    // The help line of the window: what the operator can do next, or where the file just
    // stored lies on this computer.
    std::string statusText() const;
    // The code and name of the company whose data file is chosen, as the list shows it;
    // empty while none is chosen.
    std::string selectedCompany() const;

    InstalledProgram checkingProgram() const; // "Controllo e validazione "
    InstalledProgram payrollMenu() const;     // "Accedi a Paghe"

    // Controls.
    std::vector<std::string> months; // the month list, "Gennaio" .. "Dicembre"
    int monthIndex = -1;             // the month chosen, -1 before
    std::string chosenDataFile;      // "Ditta selezionata": path of the chosen company data file
    std::string workingYear;         // "Anno": the working year, shown only
    std::vector<std::string> companyItems; // the company list: code, blank, name
    std::string companyListText;           // what the list shows as its current text
    ConfirmAction action = ConfirmAction::CreateDeclaration;
    bool focusCompanyList = false; // the window is to put the focus on the company list

    // Window values.
    std::string selectedMonth;          // "3" after a month is chosen, "03" after its companies are listed
    std::vector<std::string> dataFiles; // path of the company data file of each item of the list
    int selectedIndex = 0;              // 1-based position of the item last chosen, 0 for none

    // Set when the window is to close.
    bool closeRequested = false;
    // Called by "Conferma" with "Modifica/Visualizza Dati" with the company data file chosen
    // ("C:\nolv\paghe\una00103.016", whose header was read and names that company): opens
    // the employee register on that company's employees of that month, and tells whether it
    // could. Without it, or when it could not, the operator is told.
    std::function<bool(const std::string& companyDataFile)> openEmployeeRegister;
    // Called whenever controls change in the middle of an event (before a question), so that
    // a window can show them.
    std::function<void()> changed;
    // Called while a company is written, after each record of its employee or collaborator
    // data file looked at: how many of how many (header field 20).
    std::function<void(double done, double total)> advanced;

private:
    void listCompanies();
    ConfirmOutcome declare(const std::string& dataFile);
    ConfirmOutcome seriesStopped(bool wasOpen);
    ConfirmOutcome requestEmployeeRegister(const std::string& dataFile);
    void removeListedFile(const std::string& companyFile);
    void notify();

    records::Workplace m_workplace;
    records::FileChooser& m_chooser;
    InpsSettings m_settings;
    Series m_series;
    std::string m_storedHostPath;
    std::string m_notice; // shown in the help line until the next choice
};

} // namespace uniemens
