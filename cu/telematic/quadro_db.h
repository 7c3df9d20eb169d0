#pragma once

#include <span>
#include <string>
#include <string_view>

#include "cu/telematic/quadro_rows.h"

namespace payroll {
struct CuEntries;
} // namespace payroll

namespace cu::telematic {

// The fields of quadro DB (income, withholdings, additional taxes, tax assistance,
// deductions, bonus, separate taxation...) in the order of the form, from "DB001001" to
// "DB001602". The DB60 groups follow in quadri_dc_df_dn.h.
std::span<const FieldRow> quadroDbRows();

// Rules of quadro DB that a row cannot say by itself.

// A certificate of kind "2" (CU entry 10) whose income text, entries 22 and 23 read as one
// 24-character text, is zero has no income part: "DB001001" to "DB001478" are left out.
bool hasNoIncomePart(const payroll::CuEntries& fields);

// The days for which the employee deductions are due: CU entry 27, capped at 365 (the
// capped text "365" is written back into the entry), trimmed and zero-filled to three
// characters; a blank entry gives "000".
std::string dayCountText(payroll::CuEntries& fields);

// A code of two characters from a trimmed entry: one character gets a leading "0", a longer
// text keeps its first two; empty stays empty.
std::string twoCharacterCode(std::string_view entry);

// Total deductions: the gross tax (entry 150) when it is less than the sum of the
// deductions of entries 151, 152, 156, 157 and 158 (rounded to cents), else that sum.
double cappedDeductions(const payroll::CuEntries& fields);

// The first two characters of the trimmed entry, blank-filled on the left to two.
std::string firstTwoBlankPadded(std::string_view entry);

} // namespace cu::telematic
