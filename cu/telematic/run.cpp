#include "cu/telematic/run.h"

#include "cu/telematic/archive.h"
#include "cu/telematic/employee_loop.h"
#include "cu/telematic/field_writer.h"
#include "cu/telematic/frame_records.h"
#include "cu/telematic/run_report.h"
#include "records/channels.h"
#include "records/host_paths.h"
#include "records/installation.h"
#include "records/numeric.h"
#include "records/prompter.h"
#include "records/shared_values.h"
#include "records/text.h"

namespace cu::telematic {

namespace {

constexpr int kHeaderChannel = 1;

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
        : m_installation(workplace.shared.installation)
        , m_operator(workplace.prompter)
        , m_channels(workplace.shared.paths, m_operator)
        , m_request(request)
        , m_progress(progress)
        , m_writer(m_channels)
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
        const double employeeCount = readHeaderFile();
        if (m_progress.storing)
            m_progress.storing("Memorizzazione in corso......della CU di " + m_header[5] + m_header[6]);
        m_channels.close(kHeaderChannel);

        createNewFile();
        writeRecordA(m_writer, m_header);
        std::string recordB = writeRecordB(m_writer, m_header, supply.operation());
        if (m_header[16] == "X")
            writeRecordC(m_writer, m_header);

        EmployeeSelection selection;
        selection.operation = supply.operation();
        selection.oneEmployee = supply.oneEmployee();
        selection.replacedSubmission = records::fitRight(m_request.replaced.submission, 17);
        selection.replacedCertificate = records::fitRight(m_request.replaced.certificate, 6);
        selection.namedRecord = m_request.employeeRecord;
        selection.employeeCount = employeeCount;
        selection.progress = m_progress.advanced;
        if (writeEmployees(m_channels, m_operator, m_writer, m_header, m_archiveFile, selection, m_totals)
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
        completeFile();
        result.telematicHostPath = m_channels.paths().hostPath(m_finalName).string();
        m_operator.message(kRunTitle, "Memorizazione regolarmente effettuata...", records::Icon::Information);

        if (!m_request.report)
            return RunOutcome::Completed;
        const ReportFiles report
            = writeReportFiles(m_channels, m_installation, m_header, supply.letter(), m_finalName, m_totals);
        m_channels.closeAll();
        if (!report.written)
            return RunOutcome::Completed; // the channel has said which file could not be written
        result.reportHostPath = report.reportHostPath;
        result.batchHostPath = report.batchHostPath;
        return RunOutcome::Reported;
    }

    // Reads the CU header record into the header table and returns the employee count of
    // the second header record, after the checks on the certification kind and on the
    // transmission commitment.
    double readHeaderFile()
    {
        m_channels.select(kHeaderChannel, m_headerFile, payroll::kHeaderRecordLength);
        if (!m_channels.paths().fileExists(m_headerFile))
            throw RunStopped("Archivio inesistente ");
        m_channels.openBinary();
        stopAfterChannelError();
        m_channels.setRecordNumber(1);
        m_channels.readRecord();
        stopAfterChannelError();
        m_header = payroll::unpackHeaderTable(m_channels.channel(kHeaderChannel).recordBuffer);

        // Without its second record the archive's employee count is unknown: a file written
        // without it would silently leave the employees out.
        m_channels.setCurrent(kHeaderChannel);
        m_channels.setRecordNumber(2);
        m_channels.readRecord();
        stopAfterChannelError();
        const std::string& second = m_channels.channel(kHeaderChannel).recordBuffer;
        if (records::numericValue(records::mid(second, 2, 1)) == 2)
            throw RunStopped("La CU deve essere per LD, quella selezionata e' per LA ");
        const double employeeCount = records::numericValue(records::mid(second, 3, 4));

        // The clerk gives the commitment where the archive lacks it; the texts are fitted to
        // their places in record B.
        if (records::numericValue(m_header[21]) == 0)
            m_header[21] = records::fitRight(m_request.commitment.type, 1);
        if (records::numericValue(m_header[22]) == 0)
            m_header[22] = records::fitRight(m_request.commitment.date, 8);
        if (records::numericValue(m_header[22]) == 0)
            throw RunStopped("Manca la data dell'impegno alla trasmissione ");
        if (records::numericValue(m_header[21]) == 0)
            throw RunStopped("Manca la tipologia dell'impegno alla trasmissione ");
        // Record B carries the commitment as it stands: a date that names no day, or a type
        // other than 1 (prepared by the withholding agent) or 2 (by the sender), would make
        // the authority reject the file.
        if (!records::isCalendarDate(m_header[22]))
            throw RunStopped("La data dell'impegno alla trasmissione e' errata ");
        if (m_header[21] != "1" && m_header[21] != "2")
            throw RunStopped("La tipologia dell'impegno alla trasmissione deve essere 1 o 2 ");
        return employeeCount;
    }

    // Opens the telematic file on its channel. Its records go to a temporary file beside it
    // until the run is complete; a file of the final name stays as it was until then.
    void createNewFile()
    {
        m_finalName = m_request.outputFolder + m_request.outputName;
        // Renaming the finished file over the run's own CU files would destroy the archive
        // the file is made from, whatever spelling of the name the operator typed.
        const records::PathMapper& paths = m_channels.paths();
        if (paths.sameFile(m_finalName, m_headerFile) || paths.sameFile(m_finalName, m_archiveFile))
            throw RunStopped("Il file telematico non puo' sostituire un archivio della CU ");
        m_channels.select(kTelematicChannel, m_finalName, kTelematicRecordLength);
        m_channels.openNewBinary();
        stopAfterChannelError();
    }

    // Records still waiting are written before the stop message is shown. When one of them
    // cannot be written, the operator is told that (the channel shows it) and not the stop:
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

    // Pushes the finished file to the disk and gives it its name; a failure has shown the
    // channel's message (naming the last record when the file could not be pushed).
    void completeFile()
    {
        m_writer.writePending(); // record Z has written everything: this is only a safeguard
        m_channels.setRecordNumber(static_cast<double>(m_writer.totalRecords()));
        if (!m_channels.commitNewFile(kTelematicChannel))
            throw RunStopped({});
        m_channels.closeAll();
    }

    // A stopped run leaves no telematic file behind; a file of the final name from an
    // earlier run is never touched.
    void abandonFile()
    {
        m_channels.discardNewFile(kTelematicChannel);
        m_channels.closeAll();
    }

    void stopAfterChannelError() const
    {
        if (m_channels.lastError() != 0)
            throw RunStopped({}); // the channel has shown its message
    }

    const records::Installation& m_installation;
    RunOperator m_operator;
    records::Channels m_channels;
    const RunRequest& m_request;
    const RunProgress& m_progress;
    TelematicWriter m_writer;
    payroll::HeaderTable m_header;
    ReportTotals m_totals{};
    std::string m_headerFile;
    std::string m_archiveFile;
    std::string m_finalName;
};

} // namespace

RunResult run(const records::Workplace& workplace, const RunRequest& request, const RunProgress& progress)
{
    return WriterRun(workplace, request, progress).execute();
}

} // namespace cu::telematic
