#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// The UniEmens monthly declaration as INPS receives it from this program: the elements of
// the XML file, where each may stand, how often, and the form of its text. Kept as data:
// a new INPS version is a new table, not new code.
namespace check::uniemens {

// The form of an element's text.
enum class TextForm : std::uint8_t {
    Container,    // holds other elements and no text
    Text,         // any text
    FiscalCode,   // 16-character fiscal code or 11-digit fiscal code of a company, with the check character
    SoftwareCode, // the software house's code: 11 digits or 16 letters and digits
    Integer,      // whole number without sign
    Amount,       // amount in euro: digits, and "." with one or two decimals
    Digits,       // exactly `length` digits
    Code,         // upper-case letters and digits, at most `length` (exactly, with `exact`)
    Choice,       // one of the values of `allowed`
    YearMonth,    // yyyy-mm
    Date,         // yyyy-mm-dd
    Day,          // day of the month, 1 to 31 (with or without a leading zero)
    Municipality, // code of a municipality or foreign state: a letter and three digits
};

// One row of the table: an element at a depth of the tree (0 for the root), under the last
// row of the depth above it. Rows under one parent are in the order of the file. Rows of one
// parent that share a `choice` number other than 0 are alternatives: at most one of them is
// present, and one of them must be when the first of them has `min` 1.
struct ElementRow {
    std::uint8_t depth;
    const char* name;
    std::uint8_t min;   // least occurrences in the parent
    std::uint16_t max;  // most occurrences; 0 for no limit
    TextForm form;
    std::uint8_t length = 0;
    bool exact = false;
    const char* allowed = nullptr; // "S|N"
    std::uint8_t choice = 0;
};

std::span<const ElementRow> elementRows();

// An attribute that an element may carry.
struct AttributeRule {
    const char* element;
    const char* name;
    bool required;
    TextForm form;
    const char* allowed = nullptr;
};

std::span<const AttributeRule> attributeRules();

} // namespace check::uniemens
