#pragma once

#include <string>
#include <vector>

#include "cu/telematic/field_writer.h"
#include "payroll/cu_header.h"

namespace records {
class Channels;
struct Installation;
} // namespace records

namespace cu::telematic {

inline constexpr const char* kReportFile = "\\nolv\\NV770\\2016\\dati\\report.txt";
inline constexpr const char* kReportBatchFile = "\\nolv\\NV770\\2016\\avstp.bat";
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
