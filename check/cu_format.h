#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "check/rules.h"

// The CU 2017 telematic file as the Revenue Agency reads it: 1900-byte records A, B, C, D,
// G, H, Z; the positional fields of each record; the non-positional elements of records C,
// D and G (an 8-character code and a 16-character value) with the form each value takes.
// Records H (self-employment, commissions, other income) are known by their heading only.
// Kept as data, apart from the code that checks a file against it.
namespace check::cu {

inline constexpr int kRecordLength = 1900;
inline constexpr int kEndMarker = 1898;        // "A", then CR LF in 1899-1900
inline constexpr int kFieldArea = 90;          // first position of the elements
inline constexpr int kFieldLength = 24;        // code 8 + value 16
inline constexpr int kFieldsPerRecord = 75;    // 90 to 1889
inline constexpr int kFieldAreaEnd = 1889;     // last position of the 75th element
inline constexpr int kCodeLength = 8;
inline constexpr int kValueLength = 16;

// The form of an element's 16-character value.
enum class ValueForm : std::uint8_t {
    Text,          // alphanumeric, left-aligned
    FiscalCode,    // 16-character fiscal code, or 11-digit fiscal code of a company, left-aligned
    Amount,        // whole part, comma, two decimals, right-aligned ("         1234,50")
    Whole,         // whole number, right-aligned
    Flag,          // box ticked: "1" right-aligned
    Date,          // ddmmyyyy right-aligned
    DayMonth,      // ddmm right-aligned
    Months,        // twelve characters 0 or 1, one per month, right-aligned
    Province,      // two-letter code of a province, left-aligned
    BirthProvince, // a province, or "EE" for a birth abroad
    Percent,       // percentage up to 100, with or without two decimals, right-aligned
    RightCode,     // a code of letters or digits, right-aligned
};

// Where the rule of an element comes from: the CU 2017 field list (codes, names, formats),
// the layouts by which this program writes the file, or both. The field list's kind of an
// element is the format's framing, and a value that fails it blocks; a kind known only from
// the program's layouts is how this program writes, and a value that fails it is a warning
// that says so. Disputed: the field list gives the element one form and the program's
// layouts another; a value that fails the field list's form is a warning to look at.
enum class RuleSource : std::uint8_t { FieldList, ProgramLayout, Both, Disputed };

// One element of the format, in the order of the format.
struct ElementRule {
    char code[kCodeLength + 1] = {};
    ValueForm form = ValueForm::Text;
    std::uint8_t digits = 0;       // Whole: exact number of digits, 0 for any
    std::uint16_t maxValue = 0;    // Whole: largest value, 0 for any
    const char* allowed = nullptr; // values allowed, separated by "|" ("M|F")
    // The allowed values are a code table of the Agency known from the field list of other
    // software (bonus codes, relationships, qualifications), not a kind of field.
    bool codeTable = false;
    // What the element means: the field's name in the field list, else its quadro and
    // point ("punto 3 dei dati fiscali (DB)").
    const char* name = nullptr;
    RuleSource source = RuleSource::ProgramLayout;
};

// Every element known to the CU 2017 format, in the order in which a record lists them.
std::span<const ElementRule> elements();

// The rule of a code, by its rank in elements(); -1 when the code is not in the format.
// `code` is 8 characters.
int elementRank(std::string_view code);

// The codes of elements(), each as its 8 bytes in one word, for a reader that looks for
// the next code of a record among the few that follow the last one.
std::span<const std::uint64_t> elementCodeWords();

// The codes of the deduction items that "DB001341" to "DB001351" (odd columns) may carry.
bool isDeductionCode(int code);

// The form of a positional field.
enum class PositionalForm : std::uint8_t {
    Blank,            // blanks only
    Fixed,            // exactly the text of `allowed`
    Choice,           // one of the values of `allowed` ("01|10")
    Digits,           // digits only, zeros on the left
    Flag01,           // "0" or "1"
    FlagBlank01,      // blank, "0" or "1"
    FiscalCode,       // 16-character fiscal code or 11-digit company code, left-aligned
    FiscalCodeOrBlank,
    CompanyCode,      // 11 digits with their check digit; all zeros when there is none
    Text,             // alphanumeric, left-aligned (may be blank)
    Phone,            // digits only, left-aligned (may be blank)
    DateOrEmpty,      // ddmmyyyy, or left empty: blanks or zeros
};

struct PositionalField {
    int from;
    int length;
    PositionalForm form;
    const char* name;
    const char* allowed = nullptr;
    // Framing for the fields of the format; ThisProgram for a field known only from the
    // layouts by which this program writes the record.
    Ground ground = Ground::Framing;
};

// The positional fields of records A, B, C (positions 1-89), D (1-89), G (1-89) and Z,
// without the record type in position 1; none for record H, whose heading (2-46) is that of
// its record D.
std::span<const PositionalField> recordFields(char type);

} // namespace check::cu
