#pragma once

// The identification codes live with the payroll layouts, below every feature that checks
// them; the registers keep using them under their own names.
#include "payroll/tax_codes.h"

namespace registers {

using payroll::fiscalCode;
using payroll::fiscalCodeCheckLetter;
using payroll::isValidFiscalCode;
using payroll::isValidVatNumber;
using payroll::vatCheckDigit;

} // namespace registers
