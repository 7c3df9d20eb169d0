#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "cu/telematic/frame_records.h"
#include "payroll/cu_header.h"

namespace records {
struct Workplace;
} // namespace records

namespace cu::telematic {

inline constexpr int kReportTotalCount = 30;
// The title of the success message, and of the report when it is shown.
inline constexpr const char* kRunTitle = "Creazione Telematico";

// The kind of supply of a run: an ordinary supply of every employee, the annulment or the
// replacement of one certification sent before, or an ordinary supply of one employee.
// The letter is what the report prints as the kind of supply: "N", "A" or "S", or whatever
// else the clerk typed into the box of the letter, which makes an ordinary supply.
class Supply {
public:
    explicit Supply(std::string letter = "N", bool singleEmployee = false)
        : m_letter(std::move(letter))
        , m_operation(operationOf(m_letter))
        , m_singleEmployee(singleEmployee)
    {
    }
    static Supply ordinary() { return Supply("N"); }
    static Supply annulment() { return Supply("A"); }
    static Supply replacement() { return Supply("S"); }
    // "T=Normale SINGOLA": an ordinary supply of the one employee that the request names.
    static Supply singleEmployeeSupply() { return Supply("N", true); }

    Operation operation() const { return m_operation; }
    const std::string& letter() const { return m_letter; }
    bool singleEmployee() const { return m_singleEmployee; }
    // Whether the supply concerns the one employee of the request's employee record only.
    bool oneEmployee() const { return m_singleEmployee || m_operation != Operation::Ordinary; }

private:
    std::string m_letter;
    Operation m_operation;
    bool m_singleEmployee;
};

// The certification that an annulment or a replacement concerns, by the numbers the
// authority gave it when it was received.
struct ReplacedCertification {
    std::string submission;  // "Protocollo Identificativo": the identifier of the submission, 17 digits
    std::string certificate; // "Protocollo assegnato": the certification's number within it, 6 digits
};

// The commitment to transmit (type 1 or 2 and its date ddmmyyyy), used for whichever of the
// two the archive's header does not state.
struct Commitment {
    std::string type;
    std::string date;
};

// One CU run, as the clerk asks for it: the texts as typed (the run checks them itself).
struct RunRequest {
    std::string archive; // the archive number, e.g. "3" for FCU3.017 and DCU3.017
    Supply supply;
    ReplacedCertification replaced;
    // The archive record of the one employee of an annulment, a replacement or a single
    // supply, as typed (its numeric value is the record number).
    std::string employeeRecord;
    Commitment commitment;
    std::string outputFolder; // the telematic file's folder, in the installation's notation
    std::string outputName;   // the telematic file's name, written directly after the folder
    bool report = false;      // write the run report and its batch file after the file
};

// What the run tells while it works, besides its messages: whose certifications it is
// storing, and how many archive records it has looked at, of how many (the total is the
// employee count as the header states it, which need not be a whole number).
struct RunProgress {
    std::function<void(const std::string& text)> storing;
    std::function<void(std::int64_t done, double total)> advanced;
};

enum class RunOutcome {
    Stopped,   // a stop message was shown (or a write failed); no telematic file under the final name
    Declined,  // the operator declined the annulment/replacement confirmation
    Completed, // the telematic file is complete
    Reported,  // completed, and the report and its batch file are written
};

struct RunResult {
    RunOutcome outcome = RunOutcome::Stopped;
    // The last message shown before a stop: the run's own stop message, or the message of
    // the file that could not be read or written. Empty for the other outcomes.
    std::string stopMessage;
    std::string telematicHostPath;
    std::string reportHostPath;
    std::string batchHostPath;
    // The CU header table (1..44) and the report totals (1..30) as the run left them.
    payroll::HeaderTable header;
    std::array<double, kReportTotalCount + 1> totals{};
};

// One run of the telematic writer in the installation of `workplace`: the checks of the
// request, the header file read once, records A, B and C, the employees, record Z, the
// success message and, when asked for, the report. Messages and the annulment/replacement
// confirmation go to the workplace's operator, in the order of the work.
RunResult run(const records::Workplace& workplace, const RunRequest& request, const RunProgress& progress = {});

} // namespace cu::telematic
