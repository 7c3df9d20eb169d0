#pragma once

#include "cu/telematic/field_writer.h"

namespace payroll {
struct CuEntries;
} // namespace payroll

namespace cu::telematic {

// Writes the current employee's quadri DB, DC, DF and DN into the chain of records G that
// the employee loop has just started, through the G field writer and the amount forms of
// `writer`, and adds the report totals they feed (slots 2 to 21). A few rules rewrite
// entries of `fields` (the day count of CU 27, the cap of CU2 18). The loop flushes the
// last record G afterwards.
void writeEmployeeQuadri(TelematicWriter& writer, payroll::CuEntries& fields, ReportTotals& totals);

} // namespace cu::telematic
