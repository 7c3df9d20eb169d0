#include "uniemens/inditta_form.h"

#include <algorithm>
#include <fstream>
#include <unordered_set>

#include "payroll/collaborator_record.h"
#include "payroll/company_record.h"
#include "payroll/employee_record.h"
#include "records/cp1252.h"
#include "records/file_chooser.h"
#include "records/host_paths.h"
#include "records/installation.h"
#include "records/numeric.h"
#include "records/prompter.h"
#include "records/text.h"
#include "uniemens/company_blocks.h"
#include "uniemens/employee_block.h"
#include "uniemens/series_stop.h"

namespace uniemens {

namespace {

constexpr int kCompanyChannel = 1;
constexpr int kDataChannel = 2;
constexpr int kXmlChannel = 3;
constexpr int kListingChannel = 2;
constexpr int kListingRecordLength = 81;
// The most bytes read at once from a data file: what a record channel's record length holds.
constexpr int kLongestRead = 32000;

constexpr const char* kPayrollFolder = "\\nolv";
constexpr const char* kPagheFolder = "\\nolv\\paghe";
constexpr const char* kMenuProgram = "\\wnolv\\pmenu.exe";
constexpr const char* kXmlFolder = "C:\\Program Files\\INPS\\INPS uniEmens individuale";
constexpr const char* kCheckingProgram = "c:\\Program Files\\Inps\\INPS uniEmens individuale\\UniEMensIndiv.exe";
constexpr const char* kViewerFolder = "c:\\Program Files\\INPS\\INPS uniEmens individuale";
constexpr const char* kListingFile = "c:\\wnolv\\emens.tmp";
constexpr const char* kEndTitle = "Fine lavoro";
constexpr const char* kNoFiles = "Nessun file predisposto per il mese e l'anno";
constexpr const char* kXmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

constexpr const char* kMonths[] = {"Gennaio", "Febbraio", "Marzo",     "Aprile",  "Maggio",   "Giugno",
                                   "Luglio",  "Agosto",   "Settembre", "Ottobre", "Novembre", "Dicembre"};

std::string lowerAscii(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    }
    return text;
}

// A list item shows stored text; characters the payroll program never wrote are blanks.
std::string shownText(std::string_view stored)
{
    std::string text(stored);
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 32)
            c = ' ';
    }
    return text;
}

// The company a data file is named after: the three characters after "una" in its name.
std::string namedCode(std::string_view dataFile)
{
    const std::size_t slash = dataFile.find_last_of("\\/");
    return std::string(records::mid(dataFile.substr(slash == std::string_view::npos ? 0 : slash + 1), 4, 3));
}

// What a company header record says of its company: its code and its declaration kind.
IndittaForm::Heading headingOfRecord(std::string_view record)
{
    const payroll::FieldTable code = payroll::unpackCompanyHeader(record, payroll::company::kCode);
    return {std::string(code[payroll::company::kCode]), records::numericValue(shownText(records::mid(record, 180, 1)))};
}

// The employee or collaborator data file of a company: its company data file's name with
// "una" replaced by `kind` ("unb", "unc"), in the same folder. The name ends in "una", three
// digits of company, two of month, "." and three year digits.
std::string siblingDataFile(const std::string& companyFile, std::string_view kind)
{
    if (companyFile.size() < 12)
        return companyFile;
    return companyFile.substr(0, companyFile.size() - 12) + std::string(kind) + companyFile.substr(companyFile.size() - 9);
}

// The XML file of a series: prefix, company and month, last two year digits, ".xml".
std::string xmlFileName(const std::string& companyFile, std::string_view prefix)
{
    const std::string_view tail = std::string_view(companyFile).substr(companyFile.size() >= 9 ? companyFile.size() - 9 : 0);
    return std::string(kXmlFolder) + "\\" + std::string(prefix) + std::string(records::mid(tail, 1, 5))
        + std::string(tail.substr(tail.size() >= 2 ? tail.size() - 2 : 0)) + ".xml";
}

// Whether a stored XML file is written in UTF-8: a byte-order mark, or a declaration that says so.
bool declaresUtf8(std::string_view firstLine)
{
    if (firstLine.starts_with("\xEF\xBB\xBF"))
        return true;
    if (!firstLine.starts_with("<?xml"))
        return false;
    const std::string lower = lowerAscii(std::string(firstLine));
    return lower.find("encoding=\"utf-8\"") != std::string::npos || lower.find("encoding='utf-8'") != std::string::npos;
}

} // namespace

IndittaForm::IndittaForm(records::Workplace workplace, records::FileChooser& chooser, InpsSettings settings)
    : m_shared(workplace.shared)
    , m_prompter(workplace.prompter)
    , m_launcher(workplace.launcher)
    , m_chooser(chooser)
    , m_settings(std::move(settings))
    , m_channels(workplace.shared.paths, workplace.prompter)
    , m_lines(m_channels, kXmlChannel)
    , m_series(m_channels, kXmlChannel)
{
}

void IndittaForm::notify()
{
    if (changed)
        changed();
}

void IndittaForm::Form_Load()
{
    // The employee register takes its employee data file from the "paghe" folder.
    m_shared.dataAreaSelector = 1;
    records::showFailures(m_prompter, records::readWorkingYear(m_shared.paths, m_shared.installation));
    Text2 = m_shared.installation.workingYear;

    appendFlag = 0;
    combo1Items.assign(std::begin(kMonths), std::end(kMonths));
    Option1 = true;
    Option2 = false;
}

void IndittaForm::combo1_Click(int index)
{
    if (index < 0 || index >= static_cast<int>(combo1Items.size()))
        return;
    m_notice.clear();
    combo1Index = index;
    selectedMonth = records::digitsText(index + 1);
    inditItems.clear();
    dataFiles.clear();
    companyScan();
}

void IndittaForm::companyScan()
{
    if (appendFlag != 1) {
        const std::string yearPart = "." + std::string(records::mid(m_shared.installation.workingYear, 2, 3));
        selectedMonth = std::string(records::trim(selectedMonth));
        if (selectedMonth.size() == 1)
            selectedMonth = "0" + selectedMonth;

        // One listing of the folder tells which of the 499 possible company files exist.
        const std::string folder = m_shared.installation.drivePrefix + kPagheFolder;
        std::unordered_set<std::string> present;
        for (const std::string& name : m_channels.paths().listDirectory(folder))
            present.insert(lowerAscii(name));

        inditItems.clear();
        dataFiles.clear();
        for (int n = 1; n <= kMaxCompany; ++n) {
            const std::string code = records::padLeft(records::digitsText(n), 3, '0');
            const std::string name = "una" + code + selectedMonth + yearPart;
            if (!present.contains(lowerAscii(name)))
                continue;
            const std::string path = folder + "\\" + name;
            // A link to nothing or a folder is no company file; opening a link to nothing
            // would create its target.
            if (!m_channels.paths().fileExists(path))
                continue;
            m_channels.select(kCompanyChannel, path, payroll::kCompanyRecordLength);
            m_channels.openBinary();
            m_channels.setRecordNumber(1);
            m_channels.readRecord();
            const std::string& record = m_channels.channel(kCompanyChannel).recordBuffer;
            // A header that cannot be read (the channel has said so) still lists its file.
            const std::string shownCode = record.empty() ? code : shownText(records::mid(record, 2, 3));
            inditItems.push_back(shownCode + " " + shownText(records::mid(record, 130, 34)));
            dataFiles.push_back(path);
        }
        m_channels.close(kCompanyChannel);
    }
    inditText = inditItems.empty() ? std::string(kNoFiles) : inditItems.front() + " Clicca per selezionare il file";
    notify();
}

void IndittaForm::indit_Click(int index)
{
    if (index < 0 || index >= static_cast<int>(inditItems.size()))
        return;
    Text1 = dataFiles[static_cast<std::size_t>(index)];
    selectedIndex = static_cast<std::int16_t>(index + 1);
    // The list's own text is the item chosen, as a list box shows it once clicked.
    inditText = inditItems[static_cast<std::size_t>(index)];
    m_notice.clear();
}

std::string IndittaForm::selectedCompany() const
{
    if (records::trim(Text1).empty() || selectedIndex < 1 || selectedIndex > static_cast<int>(dataFiles.size())
        || dataFiles[static_cast<std::size_t>(selectedIndex - 1)] != Text1)
        return {};
    return std::string(records::trimRight(inditItems[static_cast<std::size_t>(selectedIndex - 1)]));
}

IndittaForm::Program IndittaForm::installedProgram(const std::string& path) const
{
    return {path, m_channels.paths().hostPath(path).string(), m_channels.paths().fileExists(path)};
}

IndittaForm::Program IndittaForm::checkingProgram() const
{
    return installedProgram(kCheckingProgram);
}

IndittaForm::Program IndittaForm::payrollMenu() const
{
    return installedProgram(m_shared.installation.drivePrefix + kMenuProgram);
}

void IndittaForm::Option1_Click()
{
    Option1 = true;
    Option2 = false;
}

void IndittaForm::Option2_Click()
{
    Option2 = true;
    Option1 = false;
}

int IndittaForm::findCompany(std::string_view code) const
{
    for (std::size_t k = 0; k < dataFiles.size(); ++k) {
        if (namedCode(dataFiles[k]) == code)
            return static_cast<int>(k);
    }
    return -1;
}

std::optional<IndittaForm::Heading> IndittaForm::headingOf(int index)
{
    if (index < 0 || index >= static_cast<int>(dataFiles.size()))
        return std::nullopt;
    try {
        return headingOfRecord(readCompanyHeader(dataFiles[static_cast<std::size_t>(index)]));
    } catch (const SeriesStopped& stop) {
        if (*stop.what() != '\0')
            m_prompter.message(kAccessTitle, stop.what(), records::Icon::Stop);
        return std::nullopt;
    }
}

bool IndittaForm::holdsNamedCompany(const Heading& heading)
{
    // A damaged header must not have one company declared under another's name.
    if (heading.code == namedCode(m_shared.selectedDataFile))
        return true;
    m_prompter.message(kAccessTitle, "Il file " + Text1 + " contiene la ditta " + heading.code + " ",
                       records::Icon::Stop);
    return false;
}

ConfirmOutcome IndittaForm::Command1_Click()
{
    m_channels.select(kCompanyChannel, Text1, payroll::kCompanyRecordLength);
    if (records::trim(Text1).empty()) {
        focusControl = "indit";
        notify();
        return ConfirmOutcome::NoCompany;
    }
    m_shared.selectedDataFile = Text1;
    if (Option1)
        return dispatch();
    if (Option2)
        return requestEmployeeRegister();
    return ConfirmOutcome::NoCompany;
}

std::string IndittaForm::readCompanyHeader(const std::string& path)
{
    m_channels.select(kCompanyChannel, path, payroll::kCompanyRecordLength);
    // Opening a missing file would create it empty.
    if (!m_channels.paths().fileExists(path))
        throw SeriesStopped("Archivio inesistente " + path);
    m_channels.openBinary();
    if (m_channels.lastError() != 0)
        throw SeriesStopped();
    m_channels.setRecordNumber(1);
    m_channels.readRecord();
    if (m_channels.lastError() != 0) {
        m_channels.close(kCompanyChannel);
        throw SeriesStopped();
    }
    std::string record = m_channels.channel(kCompanyChannel).recordBuffer;
    m_channels.close(kCompanyChannel);
    return record;
}

ConfirmOutcome IndittaForm::requestEmployeeRegister()
{
    try {
        const std::string record = readCompanyHeader(m_shared.selectedDataFile);
        if (!holdsNamedCompany(headingOfRecord(record)))
            return ConfirmOutcome::Refused;
        const payroll::FieldTable header = payroll::unpackCompanyHeader(record);
        m_shared.employeeRecordCount = header.number(payroll::company::kRecordCount);
    } catch (const SeriesStopped& stop) {
        if (*stop.what() != '\0')
            m_prompter.message(kAccessTitle, stop.what(), records::Icon::Stop);
        return ConfirmOutcome::Refused;
    }
    if (!openEmployeeRegister || !openEmployeeRegister()) {
        m_prompter.message({}, "La finestra \"Dati Dipendenti - Parte anagrafica\" non e' disponibile in questa "
                               "versione del programma",
                           records::Icon::Information);
        return ConfirmOutcome::Refused;
    }
    return ConfirmOutcome::EditRequested;
}

ConfirmOutcome IndittaForm::dispatch()
{
    // A company goes into a file once: what is already in it is not even read again.
    const std::string named = namedCode(m_shared.selectedDataFile);
    if (appendFlag == 1
        && std::find(m_seriesCompanies.begin(), m_seriesCompanies.end(), named) != m_seriesCompanies.end()) {
        m_prompter.message({}, "La ditta " + named + " e' gia' nel file ", records::Icon::Information);
        return ConfirmOutcome::Refused;
    }
    try {
        const std::string record = readCompanyHeader(m_shared.selectedDataFile);
        const Heading heading = headingOfRecord(record);
        if (!holdsNamedCompany(heading))
            return ConfirmOutcome::Refused;
        // A file holds workers of one kind, the first company's: another kind goes into a
        // file of its own, and the series goes on.
        if (appendFlag != 1) {
            declarationKind = heading.kind;
        } else if (heading.kind != declarationKind) {
            m_prompter.message({},
                               "La ditta " + heading.code
                                   + " ha una denuncia di altro tipo: va inviata in un file a parte ",
                               records::Icon::Information);
            return ConfirmOutcome::Refused;
        }
        if (declarationKind == 0)
            return writeEmployeeCompany(record);
        if (declarationKind == 1)
            return writeCollaboratorCompany(record);
        return ConfirmOutcome::UnknownKind;
    } catch (const SeriesStopped& stop) {
        return stopSeries(stop.what());
    }
}

void IndittaForm::startSeries(const std::string& fileName, const payroll::FieldTable& header)
{
    outputXmlFileName = fileName;
    m_seriesCompanies.clear();
    m_lines.restart();
    m_series.create(fileName);
    m_lines.fixed(kXmlDeclaration);
    writeSenderBlock(header, m_lines);
}

template <class Each>
void IndittaForm::readDataRecords(const std::string& file, int recordLength, double count,
                                  std::string_view missingText, Each each)
{
    if (!(count >= 1))
        return;
    m_channels.select(kDataChannel, file, recordLength);
    // A missing data file is not created: the records it should hold are missing.
    if (!m_channels.paths().fileExists(file))
        throw SeriesStopped(std::string(missingText) + "1 ");
    m_channels.openBinary();
    if (m_channels.lastError() != 0)
        throw SeriesStopped();
    // Records are read a batch at a time, as one record of a batch's length: a large company
    // takes a few hundred reads instead of one per worker. A batch that cannot be read whole
    // (the end of the file) is read again record by record, so that the first record missing
    // is the one the operator is told about.
    const int batch = std::max(1, kLongestRead / recordLength);
    std::string records;
    for (double first = 1; first <= count; first += batch) {
        const double last = std::min(count, first + batch - 1);
        const auto inBatch = static_cast<int>(last - first) + 1;
        bool whole = false;
        if (inBatch == batch && batch > 1) {
            const records::FailureHold hold(m_channels);
            m_channels.select(kDataChannel, file, recordLength * batch);
            m_channels.setRecordNumber((first - 1) / batch + 1);
            m_channels.readRecord();
            whole = m_channels.lastError() == 0;
            m_channels.takeHeldFailure();
            m_channels.channel(kDataChannel).recordLength = static_cast<std::int16_t>(recordLength);
        }
        if (whole) {
            records.swap(m_channels.channel(kDataChannel).recordBuffer);
        } else {
            records.clear();
            for (double k = first; k <= last; ++k) {
                m_channels.setCurrent(kDataChannel);
                m_channels.setRecordNumber(k);
                m_channels.readRecord();
                // A declaration with workers missing must never be stored.
                if (m_channels.lastError() != 0) {
                    m_channels.close(kDataChannel);
                    throw SeriesStopped(std::string(missingText) + records::digitsText(static_cast<long long>(k)) + " ");
                }
                records += m_channels.channel(kDataChannel).recordBuffer;
            }
        }
        for (int r = 0; r < inBatch; ++r) {
            const std::string_view record = std::string_view(records).substr(static_cast<std::size_t>(r) * recordLength,
                                                                             static_cast<std::size_t>(recordLength));
            if (!record.empty() && record[0] == payroll::kInUse)
                each(record);
            if (advanced)
                advanced(first + r, count);
        }
    }
    m_channels.close(kDataChannel);
}

ConfirmOutcome IndittaForm::writeEmployeeCompany(const std::string& headerRecord)
{
    const std::string companyFile = m_shared.selectedDataFile;
    const payroll::FieldTable header = payroll::unpackCompanyHeader(headerRecord);
    if (appendFlag != 1) {
        const std::string_view composition = header[payroll::company::kComposition];
        const char* prefix = composition == "FP" ? "fp" : composition == "FC" ? "fc" : "uea";
        startSeries(xmlFileName(companyFile, prefix), header);
    }
    writeCompanyStart(header, m_lines);
    writePositionStart(header, m_lines);
    const std::string& year = m_shared.installation.workingYear;
    readDataRecords(siblingDataFile(companyFile, "unb"), payroll::kEmployeeRecordLength,
                    header.number(payroll::company::kRecordCount), "L'archivio dei dipendenti non contiene il record ",
                    [&](std::string_view record) {
                        m_record.assign(payroll::employeeLayout(), record, payroll::kEmployeeFieldCount);
                        writeEmployeeBlock(m_record, header, year, selectedMonth, m_lines);
                    });
    writeCompanyTotals(header, m_lines);
    m_lines.fixed("</PosContributiva>");
    m_lines.fixed("</Azienda>");
    return finishCompany(companyFile, true);
}

ConfirmOutcome IndittaForm::writeCollaboratorCompany(const std::string& headerRecord)
{
    const std::string companyFile = m_shared.selectedDataFile;
    const payroll::FieldTable header
        = payroll::unpackCompanyHeader(headerRecord, payroll::company::kCollaboratorFieldCount);
    if (appendFlag != 1)
        startSeries(xmlFileName(companyFile, "uea"), header);
    writeCompanyStart(header, m_lines);
    writeCollaboratorListStart(header, m_lines);
    readDataRecords(siblingDataFile(companyFile, "unc"), payroll::kCollaboratorRecordLength,
                    header.number(payroll::company::kRecordCount),
                    "L'archivio dei collaboratori non contiene il record ", [&](std::string_view record) {
                        m_record.assign(payroll::collaboratorLayout(), record);
                        // Only collaborators paid this month are declared.
                        if (m_record.number(payroll::collaborator::kTaxable) > 0)
                            writeCollaboratorBlock(m_record, header, m_lines);
                    });
    m_lines.fixed("</ListaCollaboratori>");
    m_lines.fixed("</Azienda>");
    return finishCompany(companyFile, false);
}

ConfirmOutcome IndittaForm::finishCompany(const std::string& companyFile, bool removeFromList)
{
    // The company's lines are in the file before the operator is told and asked.
    m_lines.flush();
    m_seriesCompanies.push_back(namedCode(companyFile));
    m_prompter.message({}, "Memorizzazione regolarmente effettuata");
    if (removeFromList)
        removeListedFile(companyFile);
    notify();

    if (m_prompter.askYesNo(records::Question::AnotherCompany, kEndTitle, "Inserisci altra Ditta ?",
                            records::Icon::Question)) {
        appendFlag = 1;
        m_channels.close(kCompanyChannel);
        // The next company is clicked in the list: none is chosen until then.
        Text1.clear();
        selectedIndex = 0;
        companyScan();
        return ConfirmOutcome::CompanyAdded;
    }

    m_lines.fixed("</DenunceMensili>");
    m_lines.flush();
    m_storedHostPath = m_series.complete(m_lines.lineCount());
    m_seriesCompanies.clear();
    // The message names the file where the checking program looks for it; the status line
    // says where that is on this computer.
    m_notice = "Il file UniEmens si trova su questo computer in " + records::utf8ToCp1252(m_storedHostPath);
    notify();
    m_prompter.message({}, "Il file :" + outputXmlFileName + " e' stato memorizzato");
    m_channels.closeAll();
    appendFlag = 0;
    if (m_prompter.askYesNo(records::Question::ContinueWithCheck, kEndTitle,
                            "Vuoi proseguire con il controllo del file ?", records::Icon::Question))
        startInstalledProgram(kCheckingProgram);
    closeRequested = true;
    return ConfirmOutcome::FileStored;
}

ConfirmOutcome IndittaForm::stopSeries(const std::string& message)
{
    const bool wasAppending = appendFlag == 1;
    abandonSeries();
    m_channels.closeAll();
    if (!message.empty())
        m_prompter.message(kAccessTitle, message, records::Icon::Stop);
    // The companies taken off the list during the series are there again.
    if (wasAppending)
        companyScan();
    return ConfirmOutcome::Stopped;
}

void IndittaForm::abandonSeries()
{
    m_series.abandon();
    m_lines.restart();
    m_seriesCompanies.clear();
    appendFlag = 0;
}

void IndittaForm::removeListedFile(const std::string& companyFile)
{
    // Found by its data file: the item clicked last may stand elsewhere by now.
    const auto found = std::find(dataFiles.begin(), dataFiles.end(), companyFile);
    if (found == dataFiles.end())
        return;
    inditItems.erase(inditItems.begin() + (found - dataFiles.begin()));
    dataFiles.erase(found);
}

void IndittaForm::Command3_Click()
{
    abandonSeries();
    m_channels.closeAll();
    closeRequested = true;
}

std::string IndittaForm::statusText() const
{
    if (!m_notice.empty())
        return m_notice;
    if (appendFlag == 1) {
        const std::size_t slash = outputXmlFileName.find_last_of('\\');
        return "Il file " + outputXmlFileName.substr(slash == std::string::npos ? 0 : slash + 1)
            + " resta aperto: cliccare sulla ditta da aggiungere e premere Conferma";
    }
    if (combo1Index < 0)
        return "Scegliere il mese della denuncia";
    if (inditItems.empty())
        return "Nessun file predisposto: scegliere un altro mese";
    if (records::trim(Text1).empty())
        return "Cliccare sulla ditta, poi premere Conferma";
    return Option2 ? "Premere Conferma per modificare o visualizzare i dati dei dipendenti della ditta"
                   : "Premere Conferma per creare il file Uniemens della ditta";
}

bool IndittaForm::startInstalledProgram(const std::string& installationPath, const std::string& workingFolder)
{
    if (!m_channels.paths().fileExists(installationPath)) {
        m_prompter.message({},
                           "Il programma " + installationPath + " non e' installato (su questo computer: "
                               + records::utf8ToCp1252(m_channels.paths().hostPath(installationPath).string()) + ")",
                           records::Icon::Stop);
        return false;
    }
    const std::string hostFolder = workingFolder.empty() ? std::string() : m_channels.paths().hostPath(workingFolder).string();
    if (!m_launcher.startProgram(m_channels.paths().hostPath(installationPath).string(), {}, hostFolder)) {
        m_prompter.message({}, "Impossibile avviare il programma " + installationPath, records::Icon::Stop);
        return false;
    }
    return true;
}

void IndittaForm::Command5_Click()
{
    const std::string address = inpsLoginAddress(m_settings);
    if (!m_launcher.openUrl(address))
        m_prompter.message({}, "Impossibile aprire la pagina " + address, records::Icon::Stop);
}

void IndittaForm::Command6_Click()
{
    // The payroll menu finds its files relative to the payroll folder.
    startInstalledProgram(m_shared.installation.drivePrefix + kMenuProgram, m_shared.installation.drivePrefix + kPayrollFolder);
}

void IndittaForm::Command2_Click()
{
    startInstalledProgram(kCheckingProgram);
}

void IndittaForm::Command4_Click()
{
    const std::string folder = m_channels.paths().hostPath(kViewerFolder).string();
    const std::string choice = m_chooser.chooseFile("Apri", "*.xml", ".xml", folder);
    const std::size_t slash = choice.find_last_of("\\/");
    if (choice.empty() || choice.substr(slash == std::string::npos ? 0 : slash + 1) == "*.xml")
        return;
    const bool hostPath = choice.front() == '/';
    const std::string chosenHost = hostPath ? choice : m_channels.paths().hostPath(choice).string();
    const std::string chosenName = hostPath ? records::utf8ToCp1252(choice) : choice;

    std::ifstream xml(chosenHost, std::ios::binary);
    if (!xml) {
        m_prompter.message({}, "Impossibile leggere il file " + chosenName, records::Icon::Stop);
        return;
    }
    m_channels.setLineCounter(0);
    m_channels.select(kListingChannel, kListingFile, kListingRecordLength);
    m_channels.createFile();
    if (m_channels.lastError() != 0)
        return;
    m_channels.setCurrent(kListingChannel);
    m_channels.openSequential();
    if (m_channels.lastError() != 0)
        return;

    // The listing is Windows-1252 text like every file of the suite: the lines of an XML file
    // written in UTF-8 are converted.
    bool utf8 = false;
    std::string line;
    while (std::getline(xml, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const double number = m_channels.lineCounter() + 1;
        if (number == 1) {
            utf8 = declaresUtf8(line);
            if (line.starts_with("\xEF\xBB\xBF"))
                line.erase(0, 3);
        }
        m_channels.setLineCounter(number);
        const std::string text = records::signedNumberText(number) + " " + (utf8 ? records::utf8ToCp1252(line) : line);
        // A longer line is written whole.
        m_channels.channel(kListingChannel).outputBuffer = records::padRight(text, kListingRecordLength);
        m_channels.setCurrent(kListingChannel);
        m_channels.writeLine();
        if (m_channels.lastError() != 0) {
            m_channels.close(kListingChannel);
            return;
        }
    }
    // Only the listing is closed: the XML file of a series in progress stays open.
    m_channels.close(kListingChannel);
    m_launcher.showTextFile(m_channels.hostPath(kListingChannel), "Visualizza XML");
}

} // namespace uniemens
