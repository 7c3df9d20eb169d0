#pragma once

#include <string>
#include <vector>

#include "cu/telematic/field_writer.h"
#include "payroll/cu_header.h"
#include "records/cu_edition.h"

namespace records {
class Channels;
struct Installation;
} // namespace records

namespace cu::telematic {

// The report and the batch file that shows it, in the CU folder of the income year (its
// second name in capitals, as the report has always been written).
inline constexpr records::FixedText kReportFileText
    = records::joinTexts("\\nolv\\NV770\\", records::cu_edition::incomeYear, "\\dati\\report.txt");
inline constexpr records::FixedText kReportBatchFileText
    = records::joinTexts("\\nolv\\NV770\\", records::cu_edition::incomeYear, "\\avstp.bat");
inline constexpr const char* kReportFile = kReportFileText.c_str();
inline constexpr const char* kReportBatchFile = kReportBatchFileText.c_str();
inline constexpr const char* kReportEditor = "\\wnolv\\wordpad ";

// A report total as the report prints it: rounded to cents, "," as decimal separator,
// the sign position (a blank or "-") before and one blank after: 1234.5 gives " 1234,5 ".
std::string reportNumber(double value);

// The lines of the run report (without line ends).
std::vector<std::string> reportLines(const payroll::HeaderTable& header, const std::string& operation,
                                     const std::string& telematicFile, const ReportTotals& totals);

struct ReportFiles {
    bool written = false;
    std::string reportHostPath;
    std::string batchHostPath;
};

// Writes the report file and the batch file that shows it in the suite's editor (both
// under the drive prefix, CR LF lines) on channel 3. A file that cannot be created or
// written has shown its message through the channel; `written` is then false.
ReportFiles writeReportFiles(records::Channels& channels, const records::Installation& installation,
                             const payroll::HeaderTable& header, const std::string& operation,
                             const std::string& telematicFile, const ReportTotals& totals);

} // namespace cu::telematic
