#include "uniemens/series.h"

#include <algorithm>

#include "payroll/collaborator_record.h"
#include "payroll/company_record.h"
#include "payroll/employee_record.h"
#include "records/host_paths.h"
#include "records/installation.h"
#include "records/prompter.h"
#include "records/record_file.h"
#include "records/text.h"
#include "uniemens/company_blocks.h"
#include "uniemens/employee_block.h"

namespace uniemens {

namespace {

// The most bytes read at once from a data file.
constexpr int kLongestRead = 256 * 1024;

constexpr const char* kXmlFolder = "C:\\Program Files\\INPS\\INPS uniEmens individuale";
constexpr const char* kXmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

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

} // namespace

Series::Series(records::Workplace workplace)
    : m_workplace(workplace)
    , m_file(workplace.paths)
    , m_lines(m_file.lines())
{
}

Series::~Series()
{
    abandon();
}

void Series::open(int month)
{
    abandon();
    m_open = true;
    m_month = monthDigits(month);
    m_workingYear = m_workplace.installation.workingYear;
}

SeriesResult Series::add(const std::string& dataFile)
{
    if (!m_open)
        return {};
    // A company goes into a file once: what is already in it is not even read again.
    const std::string named = namedCode(dataFile);
    if (std::find(m_companies.begin(), m_companies.end(), named) != m_companies.end()) {
        const std::string refusal = "La ditta " + named + " e' gia' nel file ";
        m_workplace.prompter.message({}, refusal, records::Icon::Information);
        return {SeriesOutcome::Refused, refusal, {}};
    }
    try {
        return addCompany(dataFile);
    } catch (const SeriesStopped& stopped) {
        return stop(stopped);
    }
}

SeriesResult Series::addCompany(const std::string& dataFile)
{
    const HeaderRead header = readCompanyHeader(m_workplace.paths, dataFile);
    if (!header.read)
        throw SeriesStopped(header.stopMessage, header.failure);
    const CompanyHeading heading = companyHeading(header.record);
    if (const std::string refusal = otherCompanyRefusal(dataFile, heading); !refusal.empty()) {
        m_workplace.prompter.message(kAccessTitle, refusal, records::Icon::Stop);
        return {SeriesOutcome::Refused, refusal, {}};
    }
    // A file holds workers of one kind, the first company's: another kind goes into a file
    // of its own, and the series goes on.
    if (m_companies.empty()) {
        m_kind = heading.kind;
    } else if (heading.kind != m_kind) {
        const std::string refusal
            = "La ditta " + heading.code + " ha una denuncia di altro tipo: va inviata in un file a parte ";
        m_workplace.prompter.message({}, refusal, records::Icon::Information);
        return {SeriesOutcome::Refused, refusal, {}};
    }
    switch (m_kind) {
    case DeclarationKind::Employees:
        writeEmployeeCompany(dataFile, header.record);
        break;
    case DeclarationKind::Collaborators:
        writeCollaboratorCompany(dataFile, header.record);
        break;
    case DeclarationKind::Other:
        return {SeriesOutcome::UnknownKind, {}, {}};
    }
    // The company's lines are in the file before the operator is told and asked.
    m_lines.flush();
    m_companies.push_back(namedCode(dataFile));
    m_workplace.prompter.message({}, "Memorizzazione regolarmente effettuata");
    return {SeriesOutcome::Added, {}, {}};
}

void Series::startFile(const std::string& fileName, const payroll::RecordFields& header)
{
    m_fileName = fileName;
    m_lines.restart();
    m_file.create(fileName, m_workplace.prompter);
    m_lines.fixed(kXmlDeclaration);
    writeSenderBlock(header, m_lines);
}

template <class Each>
void Series::readDataRecords(const std::string& file, int recordLength, double count, std::string_view missingText,
                             Each each)
{
    if (!(count >= 1))
        return;
    // A missing data file is not created: the records it should hold are missing.
    if (!m_workplace.paths.fileExists(file))
        throw SeriesStopped(std::string(missingText) + "1 ");
    records::RecordFile data(m_workplace.paths, file, recordLength);
    if (records::FileResult opened = data.open(); opened.failed())
        throw SeriesStopped(std::move(opened));
    // Records are read a batch at a time, as one record of a batch's length into the same
    // buffer: a large company takes a few dozen reads instead of one per worker. A batch that
    // cannot be read whole (the end of the file) is read again record by record: a declaration
    // with workers missing must never be stored, and the first record missing is the one the
    // operator is told about.
    const int batch = std::max(1, kLongestRead / recordLength);
    records::RecordFile batches(m_workplace.paths, file, recordLength * batch);
    const bool batchesOpen = batch > 1 && batches.open().ok();
    std::string records;
    for (double first = 1; first <= count; first += batch) {
        const double last = std::min(count, first + batch - 1);
        const auto inBatch = static_cast<int>(last - first) + 1;
        const bool whole = batchesOpen && inBatch == batch
            && batches.read(static_cast<std::int64_t>(first - 1) / batch + 1, records).ok();
        if (records::FileResult read
            = whole ? records::FileResult{} : data.readRecords(static_cast<std::int64_t>(first), inBatch, records);
            read.failed()) {
            const auto missing = static_cast<long long>(first) + static_cast<long long>(records.size() / recordLength);
            throw SeriesStopped(std::string(missingText) + records::digitsText(missing) + " ", std::move(read));
        }
        for (int r = 0; r < inBatch; ++r) {
            const std::string_view record = std::string_view(records).substr(static_cast<std::size_t>(r) * recordLength,
                                                                             static_cast<std::size_t>(recordLength));
            if (!record.empty() && record[0] == payroll::kInUse)
                each(record);
            if (events.advanced)
                events.advanced(first + r, count);
        }
    }
}

void Series::writeEmployeeCompany(const std::string& dataFile, const std::string& headerRecord)
{
    const payroll::RecordFields header = payroll::unpackCompanyHeader(headerRecord);
    if (m_companies.empty()) {
        const std::string_view composition = header[payroll::company::kComposition];
        const char* prefix = composition == "FP" ? "fp" : composition == "FC" ? "fc" : "uea";
        startFile(xmlFileName(dataFile, prefix), header);
    }
    writeCompanyStart(header, m_lines);
    writePositionStart(header, m_lines);
    payroll::RecordFields employee(payroll::employeeLayout(), payroll::kEmployeeFieldCount);
    readDataRecords(siblingDataFile(dataFile, "unb"), payroll::kEmployeeRecordLength,
                    header.number(payroll::company::kRecordCount), "L'archivio dei dipendenti non contiene il record ",
                    [&](std::string_view record) {
                        employee.reset(record);
                        writeEmployeeBlock(employee, header, m_workingYear, m_month, m_lines);
                    });
    writeCompanyTotals(header, m_lines);
    m_lines.fixed("</PosContributiva>");
    m_lines.fixed("</Azienda>");
}

void Series::writeCollaboratorCompany(const std::string& dataFile, const std::string& headerRecord)
{
    const payroll::RecordFields header = payroll::unpackCompanyHeader(headerRecord, payroll::company::kCollaboratorFieldCount);
    if (m_companies.empty())
        startFile(xmlFileName(dataFile, "uea"), header);
    writeCompanyStart(header, m_lines);
    writeCollaboratorListStart(header, m_lines);
    payroll::RecordFields collaborator(payroll::collaboratorLayout());
    readDataRecords(siblingDataFile(dataFile, "unc"), payroll::kCollaboratorRecordLength,
                    header.number(payroll::company::kRecordCount),
                    "L'archivio dei collaboratori non contiene il record ", [&](std::string_view record) {
                        collaborator.reset(record);
                        // Only collaborators paid this month are declared.
                        if (collaborator.positive(payroll::collaborator::kTaxable))
                            writeCollaboratorBlock(collaborator, header, m_lines);
                    });
    m_lines.fixed("</ListaCollaboratori>");
    m_lines.fixed("</Azienda>");
}

SeriesResult Series::store()
{
    if (!m_open || m_companies.empty()) {
        abandon();
        return {};
    }
    std::string hostPath;
    try {
        m_lines.fixed("</DenunceMensili>");
        m_lines.flush();
        hostPath = m_file.complete(m_lines.lineCount());
    } catch (const SeriesStopped& stopped) {
        return stop(stopped);
    }
    m_companies.clear();
    m_open = false;
    if (events.stored)
        events.stored(hostPath);
    // The message names the file where the checking program looks for it.
    m_workplace.prompter.message({}, "Il file :" + m_fileName + " e' stato memorizzato");
    return {SeriesOutcome::Stored, {}, hostPath};
}

SeriesResult Series::stop(const SeriesStopped& stopped)
{
    abandon();
    const std::string message = stopped.what();
    records::showFailure(m_workplace.prompter, stopped.failure());
    if (!message.empty())
        m_workplace.prompter.message(kAccessTitle, message, records::Icon::Stop);
    return {SeriesOutcome::Stopped, message, {}};
}

void Series::abandon()
{
    m_file.abandon();
    m_lines.restart();
    m_companies.clear();
    m_open = false;
}

} // namespace uniemens
