#pragma once

#include <string_view>

#include "payroll/record_fields.h"

namespace uniemens {

class XmlLines;

// Writes the DenunciaIndividuale element of one employee record (fields 1 to 266 as the
// writers read them) into the PosContributiva block of the XML file. `header` is the
// company header; the working year and the two-digit month of the window decide whether the
// TFR destination is declared this month.
void writeEmployeeBlock(const payroll::RecordFields& employee, const payroll::RecordFields& header,
                        std::string_view workingYear, std::string_view selectedMonth, XmlLines& out);

} // namespace uniemens
