#include "cu/telematic/run.h"

#include "cu/telematic/employee_loop.h"
#include "cu/telematic/field_writer.h"
#include "cu/telematic/frame_records.h"
#include "cu/telematic/run_report.h"
#include "records/channels.h"
#include "records/host_paths.h"
#include "records/installation.h"
#include "records/numeric.h"
#include "records/prompter.h"
#include "records/text.h"

namespace cu::telematic {

namespace {

constexpr int kHeaderChannel = 1;
constexpr const char* kAccessTitle = "Accesso";
constexpr const char* kRunTitle = "Creazione Telematico";

bool blank(std::string_view text)
{
    return records::trim(text).empty();
}

// True when the first `count` characters of `text` are all digits.
bool startsWithDigits(std::string_view text, std::size_t count)
{
    return text.size() >= count && records::allDigits(text.substr(0, count));
}

class WriterRun {
public:
    WriterRun(Environment& environment, const RunOptions& options)
        : m_environment(environment)
        , m_channels(environment.channels)
        , m_options(options)
        , m_writer(environment.channels)
    {
    }

    RunResult execute()
    {
        RunResult result;
        try {
            result.outcome = writeFile(result);
        } catch (const RunStopped& stop) {
            if (*stop.what() != '\0' && writePendingBeforeStop())
                m_environment.prompter.message(kAccessTitle, stop.what(), records::Icon::Stop);
            abandonFile();
            result.outcome = RunOutcome::Stopped;
            result.telematicHostPath.clear();
        }
        result.header = m_header;
        result.totals = m_totals;
        return result;
    }

private:
    RunOutcome writeFile(RunResult& result)
    {
        m_channels.closeAll();
        const Operation operation = operationOf(m_options.operationType);
        if (operation != Operation::Ordinary) {
            if (blank(m_options.replacedSubmission))
                throw RunStopped("Manca il numero Identificativo Entratel ");
            if (blank(m_options.replacedCertificate))
                throw RunStopped("Manca il numero di Protocollo Sostituz/Annullamento ");
            if (blank(m_options.employeeRecord))
                throw RunStopped("Manca il numero di Record del dipendente da Annullare o Sostituire ");
            // The authority finds the certification to cancel or replace by these numbers
            // only; any other text makes it reject the whole file, days after it was sent.
            if (!startsWithDigits(m_options.replacedSubmission, 17))
                throw RunStopped("Il numero Identificativo Entratel deve avere 17 cifre ");
            if (!startsWithDigits(m_options.replacedCertificate, 6))
                throw RunStopped("Il numero di Protocollo Sostituz/Annullamento deve avere 6 cifre ");
        }
        m_totals.fill(0);

        const std::string& folder = m_environment.installation.dataDirectory;
        m_headerFile = folder + "FCU" + m_options.archive + m_options.archiveExtension;
        m_archiveFile = folder + "DCU" + m_options.archive + m_options.archiveExtension;
        const double employeeCount = readHeaderFile();
        showProgress("Memorizzazione in corso......della CU di " + m_header[5] + m_header[6]);
        m_channels.close(kHeaderChannel);

        createNewFile();
        writeRecordA(m_writer, m_header);
        writeRecordB(m_writer, m_header, operation);
        if (m_header[16] == "X")
            writeRecordC(m_writer, m_header);

        EmployeeSelection selection;
        selection.operation = operation;
        selection.singleEmployee = m_options.singleEmployee;
        selection.replacedSubmission = records::fitRight(m_options.replacedSubmission, 17);
        selection.replacedCertificate = records::fitRight(m_options.replacedCertificate, 6);
        selection.namedRecord = m_options.employeeRecord;
        selection.employeeCount = employeeCount;
        selection.progress = m_options.showAdvance;
        if (writeEmployees(m_environment, m_writer, m_header, m_archiveFile, selection, m_totals) == LoopEnd::Declined) {
            abandonFile();
            return RunOutcome::Declined;
        }

        writeRecordZ(m_writer);
        completeFile();
        result.telematicHostPath = m_channels.paths().hostPath(m_finalName).string();
        m_environment.prompter.message(kRunTitle, "Memorizazione regolarmente effettuata...", records::Icon::Information);

        if (!m_options.report)
            return RunOutcome::Completed;
        const ReportFiles report = writeReportFiles(m_channels, m_environment.installation, m_header, m_options.operationType, m_finalName,
                                                    m_totals);
        m_channels.closeAll();
        if (!report.written)
            return RunOutcome::Completed; // the channel has said which file could not be written
        result.reportHostPath = report.reportHostPath;
        result.batchHostPath = report.batchHostPath;
        m_environment.launcher.showTextFile(report.reportHostPath, kRunTitle);
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

        // The commitment may be given in the window when the archive lacks it; the texts
        // are fitted to their places in record B.
        if (records::numericValue(m_header[21]) == 0)
            m_header[21] = records::fitRight(m_options.commitmentType, 1);
        if (records::numericValue(m_header[22]) == 0)
            m_header[22] = records::fitRight(m_options.commitmentDate, 8);
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
        m_finalName = m_options.outputFolder + m_options.outputName;
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

    void showProgress(const std::string& text) const
    {
        if (m_options.showProgress)
            m_options.showProgress(text);
    }

    Environment& m_environment;
    records::Channels& m_channels;
    const RunOptions& m_options;
    TelematicWriter m_writer;
    payroll::HeaderTable m_header;
    ReportTotals m_totals{};
    std::string m_headerFile;
    std::string m_archiveFile;
    std::string m_finalName;
};

} // namespace

RunResult run(Environment& environment, const RunOptions& options)
{
    return WriterRun(environment, options).execute();
}

} // namespace cu::telematic
