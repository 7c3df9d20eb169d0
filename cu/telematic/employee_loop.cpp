#include "cu/telematic/employee_loop.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "cu/telematic/questions.h"
#include "cu/telematic/quadri.h"
#include "payroll/cu_archive.h"
#include "records/host_paths.h"
#include "records/numeric.h"
#include "records/prompter.h"
#include "records/record_file.h"
#include "records/text.h"
#include "payroll/cu_header.h"

namespace cu::telematic {

namespace header_field = payroll::header_field;

namespace {

const std::string& field(const payroll::HeaderTable& header, int number)
{
    return header[static_cast<std::size_t>(number)];
}

const std::string& cu(const payroll::CuFields& fields, int entry)
{
    return fields.cu[static_cast<std::size_t>(entry)];
}

bool positive(std::string_view text)
{
    return records::numericValue(text) > 0;
}

bool blank(std::string_view text)
{
    return records::trim(text).empty();
}

class EmployeeLoop {
public:
    EmployeeLoop(const records::RecordFile& archive, records::Prompter& prompter, TelematicWriter& writer,
                 payroll::HeaderTable& header, const EmployeeSelection& selection, ReportTotals& totals)
        : m_archive(archive)
        , m_prompter(prompter)
        , m_writer(writer)
        , m_header(header)
        , m_selection(selection)
        , m_totals(totals)
    {
    }

    LoopEnd run()
    {
        RecordKeys& keys = m_writer.keys();
        keys.agentFiscalCode = field(m_header, 3);
        keys.operation = operationCharacter(m_selection.operation);
        keys.certificationNumber = 0;

        if (m_selection.oneEmployee)
            return oneNamedEmployee();

        for (std::int64_t index = 1; static_cast<double>(index) <= m_selection.employeeCount; ++index) {
            const Reading reading = readEmployee(index);
            // A record that cannot be read is an employee missing from the file: the header
            // counts more records than the archive holds, or the archive was cut short. The
            // run stops rather than send a file without them.
            if (reading == Reading::Unreadable)
                throw RunStopped("L'archivio dei dipendenti non contiene il record "
                                 + records::digitsText(index) + " ");
            if (reading == Reading::Employee)
                writeEmployee(); // only annulments and replacements ask for confirmation
            if (m_selection.progress)
                m_selection.progress(index, m_selection.employeeCount);
        }
        return LoopEnd::Finished;
    }

private:
    // An annulment, a replacement or a single normal supply concerns the one employee whose
    // record number the operator typed. It is looked at once: a record that holds no
    // employee to send stops the run instead of producing a file without the employee.
    LoopEnd oneNamedEmployee()
    {
        const double number = records::numericValue(m_selection.namedRecord);
        if (!wholeRecordExists(number) || readEmployee(static_cast<std::int64_t>(number)) != Reading::Employee)
            throw RunStopped("Il record indicato non contiene un dipendente da trasmettere ");
        if (!writeEmployee())
            return LoopEnd::Declined;
        if (m_selection.progress)
            m_selection.progress(1, 1);
        return LoopEnd::Finished;
    }

    // A record number that is not a whole number from 1 up, or that lies past the end of
    // the archive, names no record: reading there would hand out part of another one.
    bool wholeRecordExists(double number) const
    {
        if (!(number >= 1) || number != std::floor(number))
            return false;
        std::error_code ec;
        const auto size = std::filesystem::file_size(m_archive.hostPath(), ec);
        return !ec && number * payroll::kArchiveRecordLength <= static_cast<double>(size);
    }

    enum class Reading { Employee, NotToSend, Unreadable };

    // Reads archive record `number` and unpacks it when it holds an employee to send.
    Reading readEmployee(std::int64_t number)
    {
        const records::FileResult read = m_archive.read(number, m_record);
        // The records finished before this read may still be waiting to be written. When the
        // read fails, they are written before its message is shown: the operator sees the
        // messages in the order of the work, and a record that cannot be written stops the
        // run before the read is reported.
        if (read.failed()) {
            m_writer.writePending();
            records::showFailure(m_prompter, read);
            return Reading::Unreadable;
        }
        if (m_record.empty() || m_record[0] != payroll::kInUse)
            return Reading::NotToSend;
        payroll::unpackArchiveRecord(m_record, m_fields);
        return records::numericValue(cu(m_fields, 5)) != 0 ? Reading::Employee : Reading::NotToSend;
    }

    // Records D and G of the unpacked employee; false when the operator declined.
    bool writeEmployee()
    {
        const payroll::CuFields& fields = m_fields;
        RecordKeys& keys = m_writer.keys();
        m_writer.resetFieldCounts();
        ++keys.certificationNumber;
        m_header[header_field::kReplacedSubmission] = m_selection.replacedSubmission;
        m_header[header_field::kReplacedCertificate] = m_selection.replacedCertificate;
        keys.employeeFiscalCode = cu(fields, 1);
        keys.replacedSubmission = m_header[header_field::kReplacedSubmission];
        keys.replacedCertificate = m_header[header_field::kReplacedCertificate];

        m_writer.startRecordD();
        writeQuadroDAIdentity(m_writer, m_header, fields);
        if (m_selection.operation != Operation::Ordinary) {
            // Whatever is finished goes to the file before the operator is asked.
            m_writer.writePending();
            if (!confirmAnnulment(m_prompter, cu(fields, 2), cu(fields, 3)))
                return false;
        }
        writeQuadroDARest(m_writer, m_header, fields);
        ++m_writer.countD;
        m_writer.finishRecord();

        if (m_selection.operation == Operation::Annulment)
            return true; // an annulment cancels the certification: no records G

        m_writer.startRecordG();
        ++m_writer.countG;
        m_totals[1] += 1;
        writeEmployeeQuadri(m_writer, m_fields, m_totals);
        m_writer.finishRecord();
        return true;
    }

    const records::RecordFile& m_archive;
    records::Prompter& m_prompter;
    TelematicWriter& m_writer;
    payroll::HeaderTable& m_header;
    const EmployeeSelection& m_selection;
    ReportTotals& m_totals;
    // The archive record last read, and the CU field tables of the employee being written.
    std::string m_record;
    payroll::CuFields m_fields;
};

} // namespace

void writeQuadroDAIdentity(TelematicWriter& writer, const payroll::HeaderTable& header, const payroll::CuFields& fields)
{
    writeDField(writer, "DA001001", field(header, 3));
    writeTwoChunkText(writer, "DA001002", field(header, 5));
    if (!blank(field(header, 6)))
        writeTwoChunkText(writer, "DA001003", field(header, 6));
    writeTwoChunkText(writer, "DA001004", field(header, 28));
    writeDField(writer, "DA001005", field(header, 29));
    if (positive(field(header, 30)))
        writeDField(writer, "DA001006", field(header, 30));
    writeTwoChunkText(writer, "DA001007", field(header, 31));
    if (positive(field(header, 7)))
        writeDField(writer, "DA001008", field(header, 7));
    if (!blank(field(header, 8)))
        writeLongText(writer, "DA001009", field(header, 8), 45);
    if (positive(field(header, 27)))
        writeDField(writer, "DA001010", field(header, 27));
    if (positive(field(header, 32)))
        writeDField(writer, "DA001011", field(header, 32));

    writeDField(writer, "DA002001", cu(fields, 1));
    writeTwoChunkText(writer, "DA002002", cu(fields, 2));
    writeTwoChunkText(writer, "DA002003", cu(fields, 3));
    writeDField(writer, "DA002004", cu(fields, 4));
}

void writeQuadroDARest(TelematicWriter& writer, const payroll::HeaderTable& header, const payroll::CuFields& fields)
{
    writeDField(writer, "DA002005", rightAligned16(cu(fields, 5)));
    writeTwoChunkText(writer, "DA002006", cu(fields, 6));
    writeDField(writer, "DA002007", cu(fields, 7));
    if (!blank(cu(fields, 8)))
        writeDField(writer, "DA002008", cu(fields, 8));
    if (positive(cu(fields, 9)))
        writeDField(writer, "DA002009", rightAligned16(records::mid(cu(fields, 9), 1, 1)));
    if (cu(fields, 10) == "1" || cu(fields, 10) == "2")
        writeDField(writer, "DA002010", rightAligned16(cu(fields, 10)));
    writeTwoChunkText(writer, "DA002020", cu(fields, 11));
    writeDField(writer, "DA002021", cu(fields, 12));
    writeDField(writer, "DA002022", cu(fields, 13));
    writeTwoChunkText(writer, "DA002023", cu(fields, 14));
    writeDField(writer, "DA002024", cu(fields, 15));
    writeDField(writer, "DA002025", cu(fields, 16));
    if (positive(cu(fields, 21))) {
        if (!blank(cu(fields, 17)))
            writeTwoChunkText(writer, "DA002040", cu(fields, 17));
        writeTwoChunkText(writer, "DA002041", cu(fields, 18));
        writeTwoChunkText(writer, "DA002042", cu(fields, 19));
        if (cu(fields, 20) == "X")
            writeDField(writer, "DA002043", rightAligned16("1"));
        writeDField(writer, "DA002044", rightAligned16(cu(fields, 21)));
    }
    writeDField(writer, "DA003001", rightAligned16(field(header, 26)));
    writeDField(writer, "DA003002", rightAligned16("1"));
}

LoopEnd writeEmployees(const records::PathMapper& paths, records::Prompter& prompter, TelematicWriter& writer,
                       payroll::HeaderTable& header, const std::string& archiveFile,
                       const EmployeeSelection& selection, ReportTotals& totals)
{
    if (!paths.fileExists(archiveFile))
        throw RunStopped("Archivio Dipendenti inesistente ");
    records::RecordFile archive(paths, archiveFile, payroll::kArchiveRecordLength);
    if (const records::FileResult opened = archive.open(); opened.failed()) {
        records::showFailure(prompter, opened);
        throw RunStopped({}); // the operator has been told why the archive cannot be opened
    }
    return EmployeeLoop(archive, prompter, writer, header, selection, totals).run();
}

} // namespace cu::telematic
