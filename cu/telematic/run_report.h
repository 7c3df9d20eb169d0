#pragma once

#include <string>
#include <vector>

#include "cu/telematic/field_writer.h"
#include "payroll/cu_header.h"
#include "records/cu_edition.h"
#include "records/file_result.h"

namespace records {
class PathMapper;
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
    // Why a file could not be created, written or given its name: the caller shows it.
    records::FileResult failure;
    std::string reportHostPath;
    std::string batchHostPath;
};

// Writes the report file and the batch file that shows it in the suite's editor (both
// under the drive prefix, CR LF lines), each as a new file that takes its name once it is
// whole on the disk. The first file that cannot be written ends the work: `written` is then
// false, and `failure` tells why (the batch file is not written when the report was not).
ReportFiles writeReportFiles(const records::PathMapper& paths, const records::Installation& installation,
                             const payroll::HeaderTable& header, const std::string& operation,
                             const std::string& telematicFile, const ReportTotals& totals);

} // namespace cu::telematic
