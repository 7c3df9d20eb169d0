#pragma once

#include <array>
#include <functional>
#include <string>

#include "cu/telematic/environment.h"
#include "payroll/cu_header.h"

namespace cu::telematic {

inline constexpr int kReportTotalCount = 30;

// What the writer run takes from the createl window when "FASE 3" is pressed: the texts of
// its boxes as the operator left them, and its two flags.
struct RunOptions {
    std::string archive;             // trimmed archive number, e.g. "3"
    std::string archiveExtension;    // ".017"
    std::string operationType;       // Tx(1): "N" ordinary, "A" annulment, "S" replacement
    std::string replacedSubmission;  // Tx(2): protocol of the submission that is cancelled or replaced
    std::string replacedCertificate; // Tx(3): number of the certification within it
    std::string employeeRecord;      // Tx(4): archive record of the one employee to send
    std::string outputFolder;        // Tx(5): folder of the telematic file, installation notation
    std::string outputName;          // Tx(6): name of the telematic file
    std::string commitmentType;      // Tx(8): used when the archive has no commitment type
    std::string commitmentDate;      // Tx(9): used when the archive has no commitment date
    bool singleEmployee = false;     // "T=Normale SINGOLA": only the employee of employeeRecord
    bool report = false;             // write and show the run report afterwards
    // Shows the progress text in Label17 of the window.
    std::function<void(const std::string&)> showProgress;
    // Told after each archive record looked at: how many of how many.
    std::function<void(double done, double total)> showAdvance;
};

enum class RunOutcome {
    Stopped,   // a stop message was shown (or a write failed); no telematic file under the final name
    Declined,  // the operator declined the annulment/replacement confirmation
    Completed, // the telematic file is complete; the window is loaded afresh
    Reported,  // completed, the report was written and shown; the program ends
};

struct RunResult {
    RunOutcome outcome = RunOutcome::Stopped;
    std::string telematicHostPath;
    std::string reportHostPath;
    std::string batchHostPath;
    // The CU header table (1..44) and the report totals (1..30) as the run left them.
    payroll::HeaderTable header;
    std::array<double, kReportTotalCount + 1> totals{};
};

// One run of the telematic writer, from the checks to record Z, the success message and
// the report.
RunResult run(Environment& environment, const RunOptions& options);

} // namespace cu::telematic
