#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "cu/telematic/field_writer.h"

namespace payroll {
struct CuEntries;
} // namespace payroll

namespace cu::telematic {

// The fields of records G are described as rows: the field code, the group the field
// belongs to, the archive entry it comes from, when it is written, how its 16-character
// value is formed and which report total its amount feeds. One interpreter walks a table
// of rows in order, so the tables read like the field lists of the CU form.

// Which of the two CU field tables an entry belongs to.
enum class Table : std::uint8_t { Cu, Cu2 };

struct Source {
    Table table = Table::Cu;
    std::int16_t entry = 0; // 0: the value is computed, not read from one entry
};
constexpr Source cu(int entry) { return {Table::Cu, static_cast<std::int16_t>(entry)}; }
constexpr Source cu2(int entry) { return {Table::Cu2, static_cast<std::int16_t>(entry)}; }

// Rows of one group are handled only when the group's gate holds; a closed group adds
// nothing to the report totals.
enum class Group : std::uint8_t {
    None,        // always handled
    DbIncome,    // quadro DB up to "DB001478": closed for a certificate with no income at all
    DbSpouse,    // DB601: the spouse, open when the spouse box is "X"
    DbDependant1, // DB602 .. DB608: children and other dependants, open when the months
    DbDependant2, //   of dependency are above zero
    DbDependant3,
    DbDependant4,
    DbDependant5,
    DbDependant6,
    DbDependant7,
    DcInps,      // DC group 1: INPS employee scheme, open when the company's INPS number is above 0
    DcSeparate,  // DC group 2: INPS separate scheme (collaborators), open when the pay is above 0
    DcInail,     // DC group 3: INAIL insurance, open when the INAIL position is above 0
    DfA,         // DF group A, open when its amount entry 488 is above 0
    DfB,         // DF group B, open when CU2 entry 17 is above 0; caps CU2 entry 18 first
};

// When a field is written. Conditions that name an amount are tested by the amount and
// whole forms themselves, on the amount rounded to cents, so that the report total still
// sees zero and negative amounts.
enum class When : std::uint8_t {
    Always,               // whenever the row's group runs
    Positive,             // numeric value of the entry above 0 (amount forms: rounded amount)
    IsX,                  // the entry is exactly "X" (a lower-case x does not count)
    PassesTextCheck,      // the text check of the field writer lets it through
    TrimmedNotEmpty,
    TrimmedOne,           // trimmed entry exactly one character long
    TrimmedTwo,           // trimmed entry exactly two characters long
    TrimmedLongerThanOne,
    TrimmedIsAOrB,        // trimmed entry is "A" or "B"
    IsAOrBOrC,            // entry is exactly "A", "B" or "C"
    FirstIsC,             // first character of the entry is "C"
    FirstIsNotC,          // first character is not "C" (amount form tests the amount)
    FirstIsNotBlank,
    FlagIsNotX,           // the flag entry named by `param` (CU table) is not "X"
    MunicipalityCode,     // a cadastral code ("H501", first character a letter) or a value above 0
    Rule,                 // decided by the row's named rule (see Form)
};

// How the 16-character value is formed.
enum class Form : std::uint8_t {
    Amount,           // whole part right-aligned in 13, ",", two decimals; feeds `total`
    Whole,            // whole part right-aligned in 16
    Text,             // trimmed, left-aligned
    Flag,             // 15 blanks followed by "1"
    BlanksEntry,      // `param` blanks followed by the entry as stored (cut at 16)
    BlanksTrimmed,    // `param` blanks followed by the trimmed entry
    Trimmed,          // the trimmed entry, left-aligned
    Entry,            // the entry as stored, left-aligned
    Zero2,            // 14 blanks + trimmed entry zero-filled on the left to 2
    Zero3,            // 13 blanks + trimmed entry zero-filled on the left to 3
    Blank2,           // 14 blanks + trimmed entry blank-filled on the left to 2
    LetterC,          // "C", left-aligned
    LetterFD,         // relationship letter: "F" when the entry is "X", else "D"
    LetterFAD,        // relationship letter from the three boxes F, A, D starting at the entry
    Months,           // 4 blanks + twelve "1"/"0" for the monthly boxes starting at the entry
    DayCount,         // days of deductions, capped at 365 (writes "365" back)
    DayCountPeriod,   // special periods, only for a day count below 365
    TwoCharacterCode, // 14 blanks + the trimmed entry made exactly two characters
    CappedDeductions, // total deductions: the gross tax capped by the sum of the deductions
    FirstTwoBlank2,   // 14 blanks + the first two trimmed characters, blank-filled to 2
    PairedCodes,      // 12 blanks + entry and entry `param`, each zero-filled to 2
};

// The forms that write an amount read from the entry and test it themselves, rounded to cents.
constexpr bool isAmountForm(Form form)
{
    return form == Form::Amount || form == Form::Whole;
}

struct FieldRow {
    constexpr FieldRow(std::string_view code, Group group, Source source, When when, Form form,
                       std::uint8_t total = 0, std::int16_t param = 0)
        : code(code)
        , group(group)
        , source(source)
        , when(when)
        , form(form)
        , total(total)
        , param(param)
        , plainAmount(isAmountForm(form) && when == When::Positive)
    {
    }

    std::string_view code; // 8 characters
    Group group;
    Source source;
    When when;
    Form form;
    std::uint8_t total = 0;  // report total slot fed by the amount; 0 for none
    std::int16_t param = 0;  // blanks before the entry, or a second CU entry (see When, Form)
    // An amount or whole row whose only condition is the one its form tests, on the amount
    // rounded to cents: nearly every row of the tables, taken by the run's shortest path.
    bool plainAmount = false;
};

// Handles the rows in order through the G field writer: opens and closes groups at their
// gates, writes each field whose condition holds, and adds amounts to the report totals.
// May change the CU field tables where a rule writes a value back.
void writeRows(TelematicWriter& writer, payroll::CuEntries& fields, ReportTotals& totals,
               std::span<const FieldRow> rows);

} // namespace cu::telematic
