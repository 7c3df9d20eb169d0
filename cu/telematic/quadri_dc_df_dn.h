#pragma once

#include <span>
#include <string>

#include "cu/telematic/quadro_rows.h"

namespace payroll {
struct CuEntries;
} // namespace payroll

namespace cu::telematic {

// The fields that follow quadro DB in the employee's records G, in the order of the form:
// the spouse and dependants of quadro DB ("DB601" to "DB608") and "DB610001", then the
// social security quadro DC (INPS, INPS separate scheme, INAIL), the severance pay
// quadro DF and the two-character codes of quadro DN.
std::span<const FieldRow> dependantRows();
std::span<const FieldRow> quadroDcRows();
std::span<const FieldRow> quadroDfRows();
std::span<const FieldRow> quadroDnRows();

// Whether a group of these quadri is written for the employee (DB601 to DF group B).
bool groupIsOpen(Group group, const payroll::CuEntries& fields);

// The relationship letter of a dependant from its boxes starting at CU entry `first`:
// "F" (child) when the first is "X", "A" (other relative) when the second is, "D" (disabled
// child) when the third is, a later box overriding an earlier one. With no box ticked the
// letter is "D", worked out afresh for every dependant. `boxes` is 1 for the first
// dependant, whose letter looks at the "F" box only, and 3 for the others.
char dependantLetter(const payroll::CuEntries& fields, int first, int boxes);

// Twelve characters, January first: "1" for each monthly box from CU entry `first` that is
// "X", "0" for the others.
std::string monthString(const payroll::CuEntries& fields, int first);

// The trimmed entry zero-filled on the left to two characters.
std::string zeroPadded2(std::string_view entry);

// Before DF group B is written: the amount of CU2 entry 18 cannot exceed CU2 entry 17 less
// CU2 entry 22. When it does, the entry is replaced by that difference as decimal text (a
// blank or "-" for the sign); a difference of zero or less leaves "DF001862" out.
void capDf001862Amount(payroll::CuEntries& fields);

} // namespace cu::telematic
