#pragma once

#include <string>
#include <vector>

#include "payroll/code_tables.h"

// The INPS code tables that the employee register offers for the coded fields of an
// employee record, one list per combo box of the window. Every item starts with its code,
// filled with blanks to the width of the box it fills, so that choosing an item puts its
// first characters into the box, and a box's text finds its item by the same characters.
namespace registers {

inline constexpr int kEmployeeCodeListCount = 9;

// Where a list puts its codes, and the table it shows.
struct EmployeeCodeList {
    int box;        // the box (Tx index) that the list fills
    int codeLength; // how many leading characters of an item go into the box
    payroll::Codes table;
};

// List `combo` (1 to 9): qualification (Tx 4), working time (5), contract kind (6),
// contribution type (7), citizenship (8), hiring (15), termination (18), worker type (19),
// particular worker kind (20). Throws std::out_of_range for another number.
const EmployeeCodeList& employeeCodeList(int combo);

// The items of list `combo` as `tables` have the codes: the code filled with blanks (one at
// least after it) to the width of the list's items and its words, "(descrizione non
// disponibile)" where the table gives none. The contribution types start with "    Normale"
// (four blanks, the ordinary contribution), the hiring and termination kinds and the
// particular worker kinds with "Nessuna indicazione" behind blanks.
std::vector<std::string> employeeCodeItems(int combo, const payroll::CodeTables& tables);

} // namespace registers
