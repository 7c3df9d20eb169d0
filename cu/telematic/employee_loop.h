#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "cu/telematic/field_writer.h"
#include "cu/telematic/frame_records.h"
#include "payroll/cu_header.h"

namespace payroll {
struct CuEntries;
} // namespace payroll
namespace records {
class PathMapper;
class Prompter;
} // namespace records

namespace cu::telematic {

// Which employees the loop writes, from the run's request and the CU header file.
struct EmployeeSelection {
    Operation operation = Operation::Ordinary;
    bool oneEmployee = false;        // only the employee of namedRecord (annulment, replacement, single supply)
    std::string replacedSubmission;  // identifier of the replaced submission, cut or filled to 17 characters
    std::string replacedCertificate; // number of the replaced certification, cut or filled to 6 characters
    std::string namedRecord;         // the one employee's record in the CU archive, as typed
    // Characters 3-6 of the second header record, as stated: not always a whole number
    // ("2.5", "1E99"); the loop visits the records whose number does not exceed it.
    double employeeCount = 0;
    // Told after each archive record looked at: how many of how many.
    std::function<void(std::int64_t done, double total)> progress;
};

enum class LoopEnd { Finished, Declined };

// Quadro DA up to the employee's sex ("DA001001" to "DA002004"), and the rest of it
// ("DA002005" to "DA003002"), through the D field writer. The annulment and replacement
// confirmation comes between the two. The first part begins with the withholding agent's
// fields ("DA001001" to "DA001011"), alike for every employee, which
// writeQuadroDAEmployer() writes alone.
void writeQuadroDAEmployer(TelematicWriter& writer, const payroll::HeaderTable& header);
// The employee's fields of the first part ("DA002001" to "DA002004").
void writeQuadroDAEmployee(TelematicWriter& writer, const payroll::CuEntries& fields);
void writeQuadroDARest(TelematicWriter& writer, const payroll::HeaderTable& header, const payroll::CuEntries& fields);

// Writes the records D and G of the employees of the CU archive `archiveFile`. An ordinary
// supply visits records 1 to the employee count and skips records that are not in use or
// whose CU field 5 is zero; a record that cannot be read (the archive is shorter than the
// count) stops the run after the read's message, shown through `prompter` once the records
// still waiting are written. An annulment, a replacement or a single-employee supply looks
// once at the named record and stops the run when it holds no employee to send. Stores the
// replaced submission and certification into header fields 42 and 43 at every employee.
// Asks `prompter` to confirm an annulment or a replacement; returns Declined when the
// operator refused. Throws RunStopped for a missing archive, after the message of an
// archive that cannot be opened, and for the stops of the writers.
LoopEnd writeEmployees(const records::PathMapper& paths, records::Prompter& prompter, TelematicWriter& writer,
                       payroll::HeaderTable& header, const std::string& archiveFile,
                       const EmployeeSelection& selection, ReportTotals& totals);

} // namespace cu::telematic
