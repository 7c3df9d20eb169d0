#pragma once

#include <array>
#include <functional>
#include <string>

#include "cu/environment.h"
#include "cu/telematic/header_table.h"

namespace cu::telematic {

inline constexpr int kReportTotalCount = 30;

// What the writer run reads from the createl window when "FASE 3" is pressed.
struct RunInputs {
    std::string selectedArchive;  // trimmed archive number text, e.g. "3"
    std::string archiveExtension; // ".017"
    std::array<std::string, 12> tx; // texts of Tx(0)..Tx(11)
    int singleEmployeeFlag = 0;
    int reportFlag = 0;
    // Shows the progress text in Label17 of the window.
    std::function<void(const std::string&)> showProgress;
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
    HeaderTable header;
    std::array<double, kReportTotalCount + 1> totals{};
};

// One run of the telematic writer, from the checks to record Z, the success message and
// the report.
RunResult run(Environment& environment, const RunInputs& inputs);

} // namespace cu::telematic
