#pragma once

#include <functional>
#include <string>

#include "cu/telematic/field_writer.h"
#include "cu/telematic/frame_records.h"
#include "payroll/cu_header.h"

namespace payroll {
struct CuFields;
} // namespace payroll

namespace cu::telematic {

struct Environment;

// What the employee loop takes from the window and the CU header file.
struct EmployeeSelection {
    Operation operation = Operation::Ordinary;
    bool singleEmployee = false;     // "T=Normale SINGOLA" was chosen
    std::string replacedSubmission;  // Tx(2) cut or filled to 17 characters
    std::string replacedCertificate; // Tx(3) cut or filled to 6 characters
    std::string namedRecord;         // Tx(4): the employee's record in the CU archive
    double employeeCount = 0;        // characters 3-6 of the second header record
    // Told after each archive record looked at: how many of how many.
    std::function<void(double done, double total)> progress;
};

enum class LoopEnd { Finished, Declined };

// Quadro DA up to the employee's sex ("DA001001" to "DA002004"), and the rest of it
// ("DA002005" to "DA003002"), through the D field writer. The annulment and replacement
// confirmation comes between the two.
void writeQuadroDAIdentity(TelematicWriter& writer, const payroll::HeaderTable& header, const payroll::CuFields& fields);
void writeQuadroDARest(TelematicWriter& writer, const payroll::HeaderTable& header, const payroll::CuFields& fields);

// Writes the records D and G of the employees of the CU archive `archiveFile` (channel 2).
// An ordinary supply visits records 1 to the employee count and skips records that are
// not in use or whose CU field 5 is zero; a record that cannot be read (the archive is
// shorter than the count) stops the run after the channel's read message. An annulment,
// a replacement or a single-employee supply looks once at the record named in Tx(4) and
// stops the run when it holds no employee to send. Stores Tx(2) and Tx(3) into header
// fields 42 and 43 at every employee. Returns Declined when the operator refused the
// annulment/replacement confirmation; throws RunStopped for a missing archive and for the
// stops of the writers.
LoopEnd writeEmployees(Environment& environment, TelematicWriter& writer, payroll::HeaderTable& header,
                       const std::string& archiveFile, const EmployeeSelection& selection, ReportTotals& totals);

} // namespace cu::telematic
