#include "cu/telematic/employee_loop.h"

#include <cmath>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "cu/telematic/questions.h"
#include "cu/telematic/quadri.h"
#include "cu/telematic/quadro_rows.h"
#include "payroll/cu_archive.h"
#include "records/host_paths.h"
#include "records/numeric.h"
#include "records/prompter.h"
#include "records/record_file.h"
#include "records/temporary_files.h"
#include "records/text.h"
#include "payroll/cu_header.h"

namespace cu::telematic {

namespace header_field = payroll::header_field;

namespace {

const std::string& field(const payroll::HeaderTable& header, int number)
{
    return header[static_cast<std::size_t>(number)];
}

std::string_view cu(const payroll::CuEntries& fields, int entry)
{
    return fields.cu[static_cast<std::size_t>(entry)];
}

bool blank(std::string_view text)
{
    return records::trim(text).empty();
}

enum class Reading { Employee, NotToSend, Unreadable };

// Reads archive record `number` into `record` and views its entries in `fields` when it
// holds an employee to send; `failure` receives the read's result. The views stay valid
// until `record` is read into again.
Reading readEmployee(const records::RecordFile& archive, std::int64_t number, std::string& record,
                     payroll::CuEntries& fields, records::FileResult& failure)
{
    failure = archive.read(number, record);
    if (failure.failed())
        return Reading::Unreadable;
    if (record.empty() || record[0] != payroll::kInUse)
        return Reading::NotToSend;
    payroll::viewReadRecord(record, fields);
    return records::numericValue(cu(fields, 5)) != 0 ? Reading::Employee : Reading::NotToSend;
}

// Reads and unpacks the archive records of an ordinary supply on a thread of its own, a
// few records ahead of the loop, so that the loop's thread only builds and writes the
// records of the telematic file. The records are handed over in order, each with what its
// reading came to; the reading ends after the last record the loop visits or at the first
// record that cannot be read, whose failure the loop tells when it gets there. The thread
// never takes the signals that remove the temporary files.
class ArchiveReader {
public:
    struct Employee {
        Reading reading = Reading::NotToSend;
        records::FileResult failure; // of a record that could not be read
        std::string record;          // the record read, which `fields` view
        payroll::CuEntries fields;
    };

    ArchiveReader(const records::RecordFile& archive, double employeeCount)
        : m_archive(archive)
        , m_employeeCount(employeeCount)
    {
    }
    ~ArchiveReader()
    {
        if (!m_thread.joinable())
            return;
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;

    // Starts the thread; false when the system cannot start one.
    bool start()
    {
        try {
            m_thread = std::thread(&ArchiveReader::work, this);
        } catch (const std::system_error&) {
            return false;
        }
        return true;
    }

    // The next record, once read: the loop's record 1, 2, ... in turn. It stays the loop's
    // until done() is called.
    Employee& next()
    {
        std::unique_lock lock(m_mutex);
        if (m_read == m_taken) {
            m_loopWaiting = true;
            m_changed.wait(lock, [this] { return m_read > m_taken; });
            m_loopWaiting = false;
        }
        return m_ahead[static_cast<std::size_t>(m_taken % kAhead)];
    }
    void done()
    {
        bool wake = false;
        {
            const std::lock_guard lock(m_mutex);
            ++m_taken;
            wake = m_readerWaiting && m_read - m_taken <= kAhead / 2;
        }
        if (wake)
            m_changed.notify_all();
    }

private:
    // Records read ahead. A thread that finds nothing to do waits until there is much to do
    // (the reader until half the places are free), so that the two threads seldom wake
    // each other.
    static constexpr std::int64_t kAhead = 32;

    void work()
    {
        records::temporary_files::blockOnThisThread();
        for (std::int64_t index = 1; static_cast<double>(index) <= m_employeeCount; ++index) {
            {
                std::unique_lock lock(m_mutex);
                if (m_read - m_taken == kAhead) {
                    m_readerWaiting = true;
                    m_changed.wait(lock, [this] { return m_stopping || m_read - m_taken <= kAhead / 2; });
                    m_readerWaiting = false;
                }
                if (m_stopping)
                    return;
            }
            // A place the loop has finished with: this thread's alone until it is counted read.
            Employee& employee = m_ahead[static_cast<std::size_t>(m_read % kAhead)];
            employee.reading = readEmployee(m_archive, index, employee.record, employee.fields, employee.failure);
            bool wake = false;
            {
                const std::lock_guard lock(m_mutex);
                ++m_read;
                wake = m_loopWaiting;
            }
            if (wake)
                m_changed.notify_all();
            if (employee.reading == Reading::Unreadable)
                return;
        }
    }

    const records::RecordFile& m_archive;
    const double m_employeeCount;
    std::vector<Employee> m_ahead = std::vector<Employee>(kAhead); // some 500 KB: not on the stack
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::int64_t m_read = 0;  // records read and unpacked
    std::int64_t m_taken = 0; // records the loop has finished with
    bool m_stopping = false;
    bool m_loopWaiting = false;
    bool m_readerWaiting = false;
};

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

        // The records are read and unpacked ahead on a thread of their own; here only when
        // no thread can be started.
        ArchiveReader reader(m_archive, m_selection.employeeCount);
        const bool readAhead = reader.start();
        for (std::int64_t index = 1; static_cast<double>(index) <= m_selection.employeeCount; ++index) {
            ArchiveReader::Employee* employee = nullptr;
            Reading reading = Reading::NotToSend;
            if (readAhead) {
                employee = &reader.next();
                reading = employee->reading;
            } else {
                reading = readEmployee(m_archive, index, m_record, m_fields, m_readFailure);
            }
            // A record that cannot be read is an employee missing from the file: the header
            // counts more records than the archive holds, or the archive was cut short. The
            // run stops rather than send a file without them.
            if (reading == Reading::Unreadable) {
                tellUnreadable(employee != nullptr ? employee->failure : m_readFailure);
                throw RunStopped("L'archivio dei dipendenti non contiene il record "
                                 + records::digitsText(index) + " ");
            }
            // Only annulments and replacements ask for confirmation.
            if (reading == Reading::Employee)
                writeEmployee(employee != nullptr ? employee->fields : m_fields);
            if (employee != nullptr)
                reader.done();
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
        if (!wholeRecordExists(number))
            throw RunStopped("Il record indicato non contiene un dipendente da trasmettere ");
        const Reading reading
            = readEmployee(m_archive, static_cast<std::int64_t>(number), m_record, m_fields, m_readFailure);
        if (reading == Reading::Unreadable)
            tellUnreadable(m_readFailure);
        if (reading != Reading::Employee)
            throw RunStopped("Il record indicato non contiene un dipendente da trasmettere ");
        if (!writeEmployee(m_fields))
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

    // The records finished before a read that failed may still be waiting to be written:
    // they are written before its message is shown, so that the operator sees the messages
    // in the order of the work, and a record that cannot be written stops the run before
    // the read is reported.
    void tellUnreadable(const records::FileResult& read)
    {
        m_writer.writePending();
        records::showFailure(m_prompter, read);
    }

    // Records D and G of the unpacked employee `fields`; false when the operator declined.
    bool writeEmployee(payroll::CuEntries& fields)
    {
        RecordKeys& keys = m_writer.keys();
        m_writer.resetFieldCounts();
        ++keys.certificationNumber;
        m_header[header_field::kReplacedSubmission] = m_selection.replacedSubmission;
        m_header[header_field::kReplacedCertificate] = m_selection.replacedCertificate;
        keys.employeeFiscalCode = cu(fields, 1);
        keys.replacedSubmission = m_header[header_field::kReplacedSubmission];
        keys.replacedCertificate = m_header[header_field::kReplacedCertificate];

        m_writer.startRecordD();
        writeEmployerFields();
        writeQuadroDAEmployee(m_writer, fields);
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
        writeEmployeeQuadri(m_writer, fields, m_totals);
        m_writer.finishRecord();
        return true;
    }

    // The withholding agent's fields of quadro DA, the same for every employee: formed for
    // the first one and copied for the others. They open a record D, which they never fill.
    void writeEmployerFields()
    {
        if (m_employerFieldCount > 0) {
            m_writer.writeDSlots(m_employerFields.data(), m_employerFieldCount);
            return;
        }
        const std::size_t before = m_writer.buffered().size();
        const int fieldsBefore = m_writer.dFieldCount();
        writeQuadroDAEmployer(m_writer, m_header);
        const std::string_view written = m_writer.buffered().substr(before);
        const int count = m_writer.dFieldCount() - fieldsBefore;
        if (count > 0 && written.size() == static_cast<std::size_t>(count) * kFieldLength) {
            m_employerFields.assign(written);
            m_employerFieldCount = count;
        }
    }

    const records::RecordFile& m_archive;
    records::Prompter& m_prompter;
    TelematicWriter& m_writer;
    payroll::HeaderTable& m_header;
    const EmployeeSelection& m_selection;
    ReportTotals& m_totals;
    // The archive record last read here, the views of its CU field tables and the failure of its read,
    // when the records are not read on a thread of their own.
    std::string m_record;
    payroll::CuEntries m_fields;
    records::FileResult m_readFailure;
    std::string m_employerFields; // their 24-character slots
    int m_employerFieldCount = 0;
};

} // namespace

void writeQuadroDAEmployer(TelematicWriter& writer, const payroll::HeaderTable& header)
{
    writeDField(writer, "DA001001", field(header, 3));
    writeTwoChunkText(writer, "DA001002", field(header, 5));
    if (!blank(field(header, 6)))
        writeTwoChunkText(writer, "DA001003", field(header, 6));
    writeTwoChunkText(writer, "DA001004", field(header, 28));
    writeDField(writer, "DA001005", field(header, 29));
    if (records::isAboveZero(field(header, 30)))
        writeDField(writer, "DA001006", field(header, 30));
    writeTwoChunkText(writer, "DA001007", field(header, 31));
    if (records::isAboveZero(field(header, 7)))
        writeDField(writer, "DA001008", field(header, 7));
    if (!blank(field(header, 8)))
        writeLongText(writer, "DA001009", field(header, 8), 45);
    if (records::isAboveZero(field(header, 27)))
        writeDField(writer, "DA001010", field(header, 27));
    if (records::isAboveZero(field(header, 32)))
        writeDField(writer, "DA001011", field(header, 32));
}

void writeQuadroDAEmployee(TelematicWriter& writer, const payroll::CuEntries& fields)
{

    writeDField(writer, "DA002001", cu(fields, 1));
    writeTwoChunkText(writer, "DA002002", cu(fields, 2));
    writeTwoChunkText(writer, "DA002003", cu(fields, 3));
    writeDField(writer, "DA002004", cu(fields, 4));
}

void writeQuadroDARest(TelematicWriter& writer, const payroll::HeaderTable& header, const payroll::CuEntries& fields)
{
    writeRightAlignedDField(writer, "DA002005", cu(fields, 5));
    writeTwoChunkText(writer, "DA002006", cu(fields, 6));
    writeDField(writer, "DA002007", cu(fields, 7));
    if (!blank(cu(fields, 8)))
        writeDField(writer, "DA002008", cu(fields, 8));
    if (records::isAboveZero(cu(fields, 9)))
        writeRightAlignedDField(writer, "DA002009", records::mid(cu(fields, 9), 1, 1));
    if (cu(fields, 10) == "1" || cu(fields, 10) == "2")
        writeRightAlignedDField(writer, "DA002010", cu(fields, 10));
    writeTwoChunkText(writer, "DA002020", cu(fields, 11));
    writeDField(writer, "DA002021", cu(fields, 12));
    writeDField(writer, "DA002022", cu(fields, 13));
    writeTwoChunkText(writer, "DA002023", cu(fields, 14));
    writeDField(writer, "DA002024", cu(fields, 15));
    writeDField(writer, "DA002025", cu(fields, 16));
    if (records::isAboveZero(cu(fields, 21))) {
        if (!blank(cu(fields, 17)))
            writeTwoChunkText(writer, "DA002040", cu(fields, 17));
        writeTwoChunkText(writer, "DA002041", cu(fields, 18));
        writeTwoChunkText(writer, "DA002042", cu(fields, 19));
        if (cu(fields, 20) == "X")
            writeRightAlignedDField(writer, "DA002043", "1");
        writeRightAlignedDField(writer, "DA002044", cu(fields, 21));
    }
    writeRightAlignedDField(writer, "DA003001", field(header, 26));
    writeRightAlignedDField(writer, "DA003002", "1");
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
