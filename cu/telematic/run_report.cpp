#include "cu/telematic/run_report.h"

#include "records/host_paths.h"
#include "records/installation.h"
#include "records/numeric.h"
#include "records/record_file.h"
#include "records/text.h"
#include "payroll/cu_header.h"

namespace cu::telematic {

namespace header_field = payroll::header_field;

namespace {

struct TotalLine {
    int slot;
    const char* label; // 31 characters
};

// The municipal surtax's advance for the income year.
constexpr records::FixedText kSurtaxAdvanceLabel
    = records::joinTexts("Addizionale Comunale Acc.", records::cu_edition::incomeYear, "  ");

// The order in which the report prints the totals.
constexpr TotalLine kTotalLines[] = {
    {1, "Numero Dipendenti              "},  {2, "Totale Redditi                 "},
    {3, "Ritenute Irpef Lav.dip.        "},  {4, "Addizionale Regionale          "},
    {7, "Addizionale Comunale           "},  {8, kSurtaxAdvanceLabel.c_str()},
    {5, "Addizionale Regionale A.P.     "},  {6, "Addizionale Comunale A.P.      "},
    {9, "Importi trattenuti Ass.fiscale "},  {10, "Importi rimborsati Ass.fiscale "},
    {11, "Totale detrazioni Irpef        "}, {12, "Bonus erogato                  "},
    {13, "Redditi a Tassazione separata  "}, {14, "Redditi erogati da terzi       "},
    {15, "Imponibile Previdenziale INPS  "}, {21, "Compensi Collaboratori         "},
    {16, "TFR dell'anno erogato          "}, {17, "TFR di anni precedenti         "},
    {18, "Ritenute Irpef TFR dell'anno   "}, {19, "Ritenute Irpef TFR anni preced."},
    {20, "Rivalutazioni del TFR          "},
};

// Writes `lines` as a new text file: the file takes its name only when every line is on the
// disk, so a disk that fills up midway leaves the earlier file (or none), never a short or
// empty one. The result of the step that failed, if one did.
records::FileResult writeTextFile(const records::PathMapper& paths, const std::string& fileName,
                                  const std::vector<std::string>& lines)
{
    records::NewFile file = records::NewFile::ofLines(paths, fileName);
    if (records::FileResult created = file.create(); created.failed())
        return created;
    for (const std::string& line : lines) {
        if (records::FileResult written = file.writeLine(line); written.failed())
            return written; // the new file goes with the object
    }
    return file.commit();
}

} // namespace

std::string reportNumber(double value)
{
    return records::signedNumberText(records::roundToCents(value), ',') + " ";
}

std::vector<std::string> reportLines(const payroll::HeaderTable& header, const std::string& operation,
                                     const std::string& telematicFile, const ReportTotals& totals)
{
    std::vector<std::string> lines;
    lines.reserve(34);
    lines.push_back(std::string("   CERTIFICAZIONE UNICA LAVORO DIPENDENTE ANNO ") + records::kCuYear);
    lines.emplace_back(55, '-');
    lines.push_back("Sostituto           :" + header[header_field::kNameFirstPart]);
    lines.push_back("                    :" + header[header_field::kNameSecondPart]);
    lines.push_back("Codice fiscale      :" + header[header_field::kAgentFiscalCode]);
    lines.push_back("Tipologia fornitura :" + operation);
    lines.push_back("Protocollo n.1 Sost :" + header[header_field::kReplacedSubmission]);
    lines.push_back("Protocollo n.2 Sost :" + header[header_field::kReplacedCertificate]);
    lines.push_back("Percorso e nome file:" + telematicFile);
    lines.emplace_back(56, '-');
    lines.emplace_back("           Dati utili alla quadratura C.U.");
    lines.emplace_back(56, '-');
    for (const TotalLine& line : kTotalLines)
        lines.push_back(line.label + reportNumber(totals[static_cast<std::size_t>(line.slot)]));
    lines.emplace_back(58, '-');
    return lines;
}

ReportFiles writeReportFiles(const records::PathMapper& paths, const records::Installation& installation,
                             const payroll::HeaderTable& header, const std::string& operation,
                             const std::string& telematicFile, const ReportTotals& totals)
{
    ReportFiles files;
    const std::string reportFile = installation.drivePrefix + kReportFile;
    const std::string batchFile = installation.drivePrefix + kReportBatchFile;
    files.reportHostPath = paths.hostPath(reportFile).string();
    files.batchHostPath = paths.hostPath(batchFile).string();

    files.failure = writeTextFile(paths, reportFile, reportLines(header, operation, telematicFile, totals));
    if (files.failure.failed())
        return files;
    const std::vector<std::string> batch = {
        "ECHO OFF",
        "CLS",
        installation.drivePrefix + kReportEditor + installation.drivePrefix + kReportFile,
        "exit",
    };
    files.failure = writeTextFile(paths, batchFile, batch);
    files.written = files.failure.ok();
    return files;
}

} // namespace cu::telematic
