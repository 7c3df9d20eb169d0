#include "cu/telematic/run.h"

#include <optional>

#include "cu/telematic/archive.h"
#include "cu/telematic/employee_loop.h"
#include "cu/telematic/field_writer.h"
#include "cu/telematic/frame_records.h"
#include "cu/telematic/run_report.h"
#include "payroll/cu_header.h"
#include "records/file_lock.h"
#include "records/host_paths.h"
#include "records/installation.h"
#include "records/numeric.h"
#include "records/prompter.h"
#include "records/record_file.h"
#include "records/text.h"
#include "records/workplace.h"

namespace cu::telematic {

namespace header_field = payroll::header_field;

namespace {

bool blank(std::string_view text)
{
    return records::trim(text).empty();
}

// True when the first `count` characters of `text` are all digits.
bool startsWithDigits(std::string_view text, std::size_t count)
{
    return text.size() >= count && records::allDigits(text.substr(0, count));
}

// The operator of a run: passes every message and question on, and remembers the last
// message, which tells why a run stopped.
class RunOperator : public records::Prompter {
public:
    explicit RunOperator(records::Prompter& prompter)
        : m_prompter(prompter)
    {
    }

    void message(std::string_view title, std::string_view text, records::Icon icon) override
    {
        m_lastMessage = std::string(text);
        m_prompter.message(title, text, icon);
    }
    bool askYesNo(records::Question question, std::string_view title, std::string_view text,
                  records::Icon icon) override
    {
        return m_prompter.askYesNo(question, title, text, icon);
    }
    records::Answer askYesNoCancel(records::Question question, std::string_view title, std::string_view text,
                                   records::Icon icon) override
    {
        return m_prompter.askYesNoCancel(question, title, text, icon);
    }

    const std::string& lastMessage() const { return m_lastMessage; }

private:
    records::Prompter& m_prompter;
    std::string m_lastMessage;
};

class WriterRun {
public:
    WriterRun(const records::Workplace& workplace, const RunRequest& request, const RunProgress& progress)
        : m_installation(workplace.installation)
        , m_paths(workplace.paths)
        , m_operator(workplace.prompter)
        , m_request(request)
        , m_progress(progress)
        , m_writer(m_telematicFile, m_operator)
    {
    }

    RunResult execute()
    {
        RunResult result;
        try {
            result.outcome = writeFile(result);
        } catch (const RunStopped& stop) {
            if (*stop.what() != '\0' && writePendingBeforeStop())
                showStop(m_operator, stop.what());
            abandonFile();
            result.outcome = RunOutcome::Stopped;
            result.stopMessage = m_operator.lastMessage();
            result.telematicHostPath.clear();
        }
        result.header = m_header;
        result.totals = m_totals;
        return result;
    }

private:
    RunOutcome writeFile(RunResult& result)
    {
        const Supply& supply = m_request.supply;
        if (supply.operation() != Operation::Ordinary) {
            const ReplacedCertification& replaced = m_request.replaced;
            if (blank(replaced.submission))
                throw RunStopped("Manca il numero Identificativo Entratel ");
            if (blank(replaced.certificate))
                throw RunStopped("Manca il numero di Protocollo Sostituz/Annullamento ");
            if (blank(m_request.employeeRecord))
                throw RunStopped("Manca il numero di Record del dipendente da Annullare o Sostituire ");
            // The authority finds the certification to cancel or replace by these numbers
            // only; any other text makes it reject the whole file, days after it was sent.
            if (!startsWithDigits(replaced.submission, 17))
                throw RunStopped("Il numero Identificativo Entratel deve avere 17 cifre ");
            if (!startsWithDigits(replaced.certificate, 6))
                throw RunStopped("Il numero di Protocollo Sostituz/Annullamento deve avere 6 cifre ");
        }
        m_totals.fill(0);

        m_headerFile = headerFileName(m_installation, m_request.archive);
        m_archiveFile = employeeFileName(m_installation, m_request.archive);
        // How the CU files stand before a byte of them is read: the file is stored only if
        // they stand so at the end.
        m_headerStamp = records::stampOf(m_paths.hostPath(m_headerFile));
        m_archiveStamp = records::stampOf(m_paths.hostPath(m_archiveFile));
        const double employeeCount = readHeaderFile();
        if (m_progress.storing)
            m_progress.storing("Memorizzazione in corso......della CU di " + m_header[header_field::kNameFirstPart] + m_header[header_field::kNameSecondPart]);

        createNewFile();
        writeRecordA(m_writer, m_header);
        std::string recordB = writeRecordB(m_writer, m_header, supply.operation());
        if (m_header[header_field::kRecordCWanted] == "X")
            writeRecordC(m_writer, m_header);

        EmployeeSelection selection;
        selection.operation = supply.operation();
        selection.oneEmployee = supply.oneEmployee();
        selection.replacedSubmission = records::fitRight(m_request.replaced.submission, 17);
        selection.replacedCertificate = records::fitRight(m_request.replaced.certificate, 6);
        selection.namedRecord = m_request.employeeRecord;
        selection.employeeCount = employeeCount;
        selection.progress = m_progress.advanced;
        if (writeEmployees(m_paths, m_operator, m_writer, m_header, m_archiveFile, selection, m_totals)
            == LoopEnd::Declined) {
            abandonFile();
            return RunOutcome::Declined;
        }

        writeRecordZ(m_writer);
        // Record B states how many certifications the supply carries: the archive's employee
        // count is the number of its records, not of the certifications written (a single
        // supply sends one, records not in use are left out).
        if (stateCertificationCount(recordB, m_writer.keys().certificationNumber))
            m_writer.rewriteRecord(2, recordB);
        stopIfChanged(m_headerFile, m_headerStamp);
        stopIfChanged(m_archiveFile, m_archiveStamp);
        completeFile();
        result.telematicHostPath = m_paths.hostPath(m_finalName).string();
        m_operator.message(kRunTitle, "Memorizazione regolarmente effettuata...", records::Icon::Information);

        if (!m_request.report)
            return RunOutcome::Completed;
        const ReportFiles report
            = writeReportFiles(m_paths, m_installation, m_header, supply.letter(), m_finalName, m_totals);
        // The file that could not be written is told here, after the success of the run.
        records::showFailure(m_operator, report.failure);
        if (!report.written)
            return RunOutcome::Completed;
        result.reportHostPath = report.reportHostPath;
        result.batchHostPath = report.batchHostPath;
        return RunOutcome::Reported;
    }

    // Reads the CU header record into the header table and returns the employee count of
    // the second header record, after the checks on the certification kind and on the
    // transmission commitment. The file is closed once read.
    double readHeaderFile()
    {
        if (!m_paths.fileExists(m_headerFile))
            throw RunStopped("Archivio inesistente ");
        records::RecordFile file(m_paths, m_headerFile, payroll::kHeaderRecordLength);
        stopAfterFailure(file.open());
        std::string record;
        stopAfterFailure(file.read(1, record));
        m_header = payroll::unpackHeaderTable(record);

        // Without its second record the archive's employee count is unknown: a file written
        // without it would silently leave the employees out.
        std::string second;
        stopAfterFailure(file.read(2, second));
        if (records::numericValue(records::mid(second, 2, 1)) == 2)
            throw RunStopped("La CU deve essere per LD, quella selezionata e' per LA ");
        // The count as the header states it, which may be no whole number ("2.5", "1E99"):
        // the loop visits the records up to it.
        const double employeeCount = records::numericValue(records::mid(second, 3, 4));

        // The clerk gives the commitment where the archive lacks it; the texts are fitted to
        // their places in record B.
        if (records::numericValue(m_header[header_field::kCommitmentType]) == 0)
            m_header[header_field::kCommitmentType] = records::fitRight(m_request.commitment.type, 1);
        if (records::numericValue(m_header[header_field::kCommitmentDate]) == 0)
            m_header[header_field::kCommitmentDate] = records::fitRight(m_request.commitment.date, 8);
        if (records::numericValue(m_header[header_field::kCommitmentDate]) == 0)
            throw RunStopped("Manca la data dell'impegno alla trasmissione ");
        if (records::numericValue(m_header[header_field::kCommitmentType]) == 0)
            throw RunStopped("Manca la tipologia dell'impegno alla trasmissione ");
        // Record B carries the commitment as it stands: a date that names no day, or a type
        // other than 1 (prepared by the withholding agent) or 2 (by the sender), would make
        // the authority reject the file.
        if (!records::isCalendarDate(m_header[header_field::kCommitmentDate]))
            throw RunStopped("La data dell'impegno alla trasmissione e' errata ");
        if (m_header[header_field::kCommitmentType] != "1" && m_header[header_field::kCommitmentType] != "2")
            throw RunStopped("La tipologia dell'impegno alla trasmissione deve essere 1 o 2 ");
        return employeeCount;
    }

    // Creates the telematic file. Its records go to a temporary file beside it until the run
    // is complete; a file of the final name stays as it was until then.
    void createNewFile()
    {
        m_finalName = m_request.outputFolder + m_request.outputName;
        // Renaming the finished file over the run's own CU files would destroy the archive
        // the file is made from, whatever spelling of the name the operator typed.
        if (m_paths.sameFile(m_finalName, m_headerFile) || m_paths.sameFile(m_finalName, m_archiveFile))
            throw RunStopped("Il file telematico non puo' sostituire un archivio della CU ");
        // One run at a time writes a telematic file: a second one, from this computer or
        // another, is refused while the first holds the file, so that neither replaces the
        // other's file unawares.
        if (m_lock.acquire(m_paths.hostPath(m_finalName)) == records::FileLock::State::InUse)
            throw RunStopped(records::inUseMessage(m_finalName, m_lock.owner()));
        m_telematicFile = records::NewFile::ofRecords(m_paths, m_finalName, kTelematicRecordLength);
        if (const std::string removed = records::leftoversMessage(m_telematicFile.removeLeftovers()); !removed.empty())
            m_operator.message({}, removed, records::Icon::Information);
        stopAfterFailure(m_telematicFile.create());
    }

    // A CU file that changed while the run read it (rewritten in place, cut, replaced by
    // another file) may have given the telematic file records of two different archives: the
    // run stops and stores nothing.
    void stopIfChanged(const std::string& file, const std::optional<records::FileStamp>& before) const
    {
        if (records::stampOf(m_paths.hostPath(file)) != before)
            throw RunStopped("L'archivio " + file
                             + " e' stato modificato durante la creazione del file telematico: nessun file memorizzato ");
    }

    // Records still waiting are written before the stop message is shown. When one of them
    // cannot be written, the operator is told that (the writer shows it) and not the stop:
    // the write failed first, and the run would have ended there.
    bool writePendingBeforeStop()
    {
        try {
            m_writer.writePending();
        } catch (const RunStopped&) {
            return false;
        }
        return true;
    }

    // Pushes the finished file to the disk and gives it its name; a failure is shown (naming
    // the last record when the file could not be pushed) and stops the run.
    void completeFile()
    {
        m_writer.writePending(); // record Z has written everything: this is only a safeguard
        m_telematicFile.setWrittenCount(m_writer.totalRecords());
        const records::FileResult stored = m_telematicFile.commit();
        m_lock.release();
        stopAfterFailure(stored);
    }

    // A stopped run leaves no telematic file behind; a file of the final name from an
    // earlier run is never touched.
    void abandonFile()
    {
        m_telematicFile.discard();
        m_lock.release();
    }

    // Shows the failure of a file at once, and stops the run after it.
    void stopAfterFailure(const records::FileResult& result)
    {
        if (result.failed()) {
            records::showFailure(m_operator, result);
            throw RunStopped({}); // the operator has been told why
        }
    }

    const records::Installation& m_installation;
    const records::PathMapper& m_paths;
    RunOperator m_operator;
    const RunRequest& m_request;
    const RunProgress& m_progress;
    records::FileLock m_lock; // of the telematic file, from its creation until it is stored or abandoned
    records::NewFile m_telematicFile;
    TelematicWriter m_writer;
    payroll::HeaderTable m_header;
    ReportTotals m_totals{};
    std::string m_headerFile;
    std::string m_archiveFile;
    std::string m_finalName;
    std::optional<records::FileStamp> m_headerStamp;
    std::optional<records::FileStamp> m_archiveStamp;
};

} // namespace

RunResult run(const records::Workplace& workplace, const RunRequest& request, const RunProgress& progress)
{
    return WriterRun(workplace, request, progress).execute();
}

} // namespace cu::telematic
