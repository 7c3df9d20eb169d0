#include "uniemens/inditta_form.h"

#include <algorithm>
#include <fstream>

#include "records/cp1252.h"
#include "records/file_chooser.h"
#include "records/file_result.h"
#include "records/host_paths.h"
#include "records/installation.h"
#include "records/numeric.h"
#include "records/prompter.h"
#include "records/record_file.h"
#include "records/text.h"
#include "uniemens/company_files.h"
#include "uniemens/questions.h"
#include "uniemens/series_stop.h"

namespace uniemens {

namespace {

constexpr int kListingRecordLength = 81;

constexpr const char* kViewerFolder = "c:\\Program Files\\INPS\\INPS uniEmens individuale";
constexpr const char* kListingFile = "c:\\wnolv\\emens.tmp";
constexpr const char* kNoFiles = "Nessun file predisposto per il mese e l'anno";

constexpr const char* kMonths[] = {"Gennaio", "Febbraio", "Marzo",     "Aprile",  "Maggio",   "Giugno",
                                   "Luglio",  "Agosto",   "Settembre", "Ottobre", "Novembre", "Dicembre"};

// Whether a stored XML file is written in UTF-8: a byte-order mark, or a declaration that says so.
bool declaresUtf8(std::string_view firstLine)
{
    if (firstLine.starts_with("\xEF\xBB\xBF"))
        return true;
    if (!firstLine.starts_with("<?xml"))
        return false;
    const std::string upper = records::toUpper(firstLine);
    return upper.find("ENCODING=\"UTF-8\"") != std::string::npos || upper.find("ENCODING='UTF-8'") != std::string::npos;
}

} // namespace

IndittaForm::IndittaForm(records::Workplace workplace, records::FileChooser& chooser, InpsSettings settings)
    : m_workplace(workplace)
    , m_chooser(chooser)
    , m_settings(std::move(settings))
    , m_series(workplace)
{
    m_series.events.advanced = [this](double done, double total) {
        if (advanced)
            advanced(done, total);
    };
    // While the message names the file where the checking program looks for it, the help
    // line says where that is on this computer.
    m_series.events.stored = [this](const std::string& hostPath) {
        m_storedHostPath = hostPath;
        m_notice = "Il file UniEmens si trova su questo computer in " + records::utf8ToCp1252(hostPath);
        notify();
    };
}

void IndittaForm::notify()
{
    if (changed)
        changed();
}

void IndittaForm::load()
{
    m_series.abandon();
    records::showFailures(m_workplace.prompter, records::readWorkingYear(m_workplace.paths, m_workplace.installation));
    workingYear = m_workplace.installation.workingYear;

    months.assign(std::begin(kMonths), std::end(kMonths));
    action = ConfirmAction::CreateDeclaration;
}

void IndittaForm::chooseMonth(int index)
{
    if (index < 0 || index >= static_cast<int>(months.size()))
        return;
    m_notice.clear();
    monthIndex = index;
    selectedMonth = records::digitsText(index + 1);
    companyItems.clear();
    dataFiles.clear();
    listCompanies();
}

void IndittaForm::listCompanies()
{
    // An open series keeps its month: the list is not built again until it ends.
    if (!seriesOpen()) {
        const int month = static_cast<int>(records::numericValue(selectedMonth));
        selectedMonth = monthDigits(month);
        companyItems.clear();
        dataFiles.clear();
        const records::Installation& installation = m_workplace.installation;
        std::vector<ListedCompany> listed
            = scanMonth(paths(), installation.drivePrefix, installation.workingYear, month);
        showScanFailures(m_workplace.prompter, listed);
        for (ListedCompany& company : listed) {
            companyItems.push_back(std::move(company.item));
            dataFiles.push_back(std::move(company.dataFile));
        }
    }
    companyListText = companyItems.empty() ? std::string(kNoFiles)
                                           : companyItems.front() + " Clicca per selezionare il file";
    notify();
}

void IndittaForm::chooseCompany(int index)
{
    if (index < 0 || index >= static_cast<int>(companyItems.size()))
        return;
    chosenDataFile = dataFiles[static_cast<std::size_t>(index)];
    selectedIndex = index + 1;
    // The list's own text is the item chosen, as a list box shows it once clicked.
    companyListText = companyItems[static_cast<std::size_t>(index)];
    m_notice.clear();
}

std::string IndittaForm::selectedCompany() const
{
    if (records::trim(chosenDataFile).empty() || selectedIndex < 1 || selectedIndex > static_cast<int>(dataFiles.size())
        || dataFiles[static_cast<std::size_t>(selectedIndex - 1)] != chosenDataFile)
        return {};
    return std::string(records::trimRight(companyItems[static_cast<std::size_t>(selectedIndex - 1)]));
}

InstalledProgram IndittaForm::checkingProgram() const
{
    return uniemens::checkingProgram(paths());
}

InstalledProgram IndittaForm::payrollMenu() const
{
    return uniemens::payrollMenu(paths(), m_workplace.installation.drivePrefix);
}

void IndittaForm::chooseAction(ConfirmAction chosen)
{
    action = chosen;
}

int IndittaForm::findCompany(std::string_view code) const
{
    for (std::size_t k = 0; k < dataFiles.size(); ++k) {
        if (namedCode(dataFiles[k]) == code)
            return static_cast<int>(k);
    }
    return -1;
}

ConfirmOutcome IndittaForm::confirm()
{
    if (records::trim(chosenDataFile).empty()) {
        focusCompanyList = true;
        notify();
        return ConfirmOutcome::NoCompany;
    }
    // The data file confirmed: every file name of the declaration derives from it, and the
    // employee register opens on it.
    const std::string dataFile = chosenDataFile;
    return action == ConfirmAction::CreateDeclaration ? declare(dataFile) : requestEmployeeRegister(dataFile);
}

ConfirmOutcome IndittaForm::requestEmployeeRegister(const std::string& dataFile)
{
    const HeaderRead header = readCompanyHeader(paths(), dataFile);
    if (!header.read) {
        records::showFailure(m_workplace.prompter, header.failure);
        if (!header.stopMessage.empty())
            m_workplace.prompter.message(kAccessTitle, header.stopMessage, records::Icon::Stop);
        return ConfirmOutcome::Refused;
    }
    if (const std::string refusal = otherCompanyRefusal(dataFile, companyHeading(header.record)); !refusal.empty()) {
        m_workplace.prompter.message(kAccessTitle, refusal, records::Icon::Stop);
        return ConfirmOutcome::Refused;
    }
    if (!openEmployeeRegister || !openEmployeeRegister(dataFile)) {
        m_workplace.prompter.message({},
                                     "La finestra \"Dati Dipendenti - Parte anagrafica\" non e' disponibile in "
                                     "questa versione del programma",
                                     records::Icon::Information);
        return ConfirmOutcome::Refused;
    }
    return ConfirmOutcome::EditRequested;
}

ConfirmOutcome IndittaForm::declare(const std::string& dataFile)
{
    const bool wasOpen = seriesOpen();
    if (!wasOpen)
        m_series.open(static_cast<int>(records::numericValue(selectedMonth)));
    const SeriesResult added = m_series.add(dataFile);
    switch (added.outcome) {
    case SeriesOutcome::Added:
        break;
    case SeriesOutcome::Refused:
    case SeriesOutcome::UnknownKind:
        // Nothing was written: a series that this company was to start is no series.
        if (!wasOpen)
            m_series.abandon();
        return added.outcome == SeriesOutcome::Refused ? ConfirmOutcome::Refused : ConfirmOutcome::UnknownKind;
    case SeriesOutcome::Stopped:
    case SeriesOutcome::Stored:
        return seriesStopped(wasOpen);
    }

    // An employee company leaves the list once written; a collaborator company stays.
    if (m_series.kind() == DeclarationKind::Employees)
        removeListedFile(dataFile);
    notify();
    if (askForAnotherCompany(m_workplace.prompter)) {
        // The next company is chosen in the list: none is chosen until then.
        chosenDataFile.clear();
        selectedIndex = 0;
        listCompanies();
        return ConfirmOutcome::CompanyAdded;
    }

    if (m_series.store().outcome != SeriesOutcome::Stored)
        return seriesStopped(wasOpen);
    // The INPS checking program is offered only where it is installed: a question whose Yes
    // can only fail is not asked, and the help line says why.
    if (!checkingProgram().installed)
        m_notice += " (il programma di controllo dell'INPS non e' installato su questo computer)";
    else if (askToContinueWithCheck(m_workplace.prompter))
        uniemens::startCheckingProgram(m_workplace);
    closeRequested = true;
    return ConfirmOutcome::FileStored;
}

ConfirmOutcome IndittaForm::seriesStopped(bool wasOpen)
{
    // The companies taken off the list during the series are there again.
    if (wasOpen)
        listCompanies();
    return ConfirmOutcome::Stopped;
}

void IndittaForm::abandonSeries()
{
    m_series.abandon();
}

void IndittaForm::removeListedFile(const std::string& companyFile)
{
    // Found by its data file: the item chosen last may stand elsewhere by now.
    const auto found = std::find(dataFiles.begin(), dataFiles.end(), companyFile);
    if (found == dataFiles.end())
        return;
    companyItems.erase(companyItems.begin() + (found - dataFiles.begin()));
    dataFiles.erase(found);
}

void IndittaForm::goBack()
{
    abandonSeries();
    closeRequested = true;
}

std::string IndittaForm::statusText() const
{
    if (!m_notice.empty())
        return m_notice;
    if (seriesOpen()) {
        const std::string& fileName = seriesFileName();
        const std::size_t slash = fileName.find_last_of('\\');
        return "Il file " + fileName.substr(slash == std::string::npos ? 0 : slash + 1)
            + " resta aperto: cliccare sulla ditta da aggiungere e premere Conferma";
    }
    if (monthIndex < 0)
        return "Scegliere il mese della denuncia";
    if (companyItems.empty())
        return "Nessun file predisposto: scegliere un altro mese";
    if (records::trim(chosenDataFile).empty())
        return "Cliccare sulla ditta, poi premere Conferma";
    return action == ConfirmAction::EditEmployees
        ? "Premere Conferma per modificare o visualizzare i dati dei dipendenti della ditta"
        : "Premere Conferma per creare il file Uniemens della ditta";
}

void IndittaForm::openInpsSite()
{
    const std::string address = inpsLoginAddress(m_settings);
    if (!m_workplace.launcher.openUrl(address))
        m_workplace.prompter.message({}, "Impossibile aprire la pagina " + address, records::Icon::Stop);
}

void IndittaForm::startPayrollMenu()
{
    uniemens::startPayrollMenu(m_workplace);
}

void IndittaForm::startCheckingProgram()
{
    uniemens::startCheckingProgram(m_workplace);
}

void IndittaForm::showXmlListing()
{
    const std::string folder = paths().hostPath(kViewerFolder).string();
    const std::string choice = m_chooser.chooseFile("Apri", "*.xml", ".xml", folder);
    const std::size_t slash = choice.find_last_of("\\/");
    if (choice.empty() || choice.substr(slash == std::string::npos ? 0 : slash + 1) == "*.xml")
        return;
    const bool hostPath = choice.front() == '/';
    const std::string chosenHost = hostPath ? choice : paths().hostPath(choice).string();
    const std::string chosenName = hostPath ? records::utf8ToCp1252(choice) : choice;

    std::ifstream xml(chosenHost, std::ios::binary);
    if (!xml) {
        m_workplace.prompter.message({}, "Impossibile leggere il file " + chosenName, records::Icon::Stop);
        return;
    }
    // The listing file is made empty, then written line by line.
    if (const records::FileResult created = records::RecordFile(paths(), kListingFile, kListingRecordLength).create();
        created.failed()) {
        records::showFailure(m_workplace.prompter, created);
        return;
    }
    records::TextFile listing(paths(), kListingFile);
    if (const records::FileResult opened = listing.open(); opened.failed()) {
        records::showFailure(m_workplace.prompter, opened);
        return;
    }

    // The listing is Windows-1252 text like every file of the suite: the lines of an XML file
    // written in UTF-8 are converted.
    bool utf8 = false;
    std::string line;
    while (std::getline(xml, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::int64_t number = listing.lineCount() + 1;
        if (number == 1) {
            utf8 = declaresUtf8(line);
            if (line.starts_with("\xEF\xBB\xBF"))
                line.erase(0, 3);
        }
        const std::string text = records::signedNumberText(static_cast<double>(number)) + " "
            + (utf8 ? records::utf8ToCp1252(line) : line);
        // A longer line is written whole.
        if (const records::FileResult written = listing.writeLine(records::padRight(text, kListingRecordLength));
            written.failed()) {
            records::showFailure(m_workplace.prompter, written);
            return;
        }
    }
    listing.close();
    m_workplace.launcher.showTextFile(listing.hostPath().string(), "Visualizza XML");
}

} // namespace uniemens
