#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// The UniEmens monthly declaration as the check knows it: the elements of the XML file, where
// each may stand, how often, and the form of its text, with a short Italian label for each.
// The tree is the 2016 layout by which this program writes the declaration, opened up where
// other software shows forms that INPS accepts (several contribution positions in one
// company, collaborators beside them, hourly pay, elements left out). Kept as data: a new
// INPS version is a new table, not new code.
namespace check::uniemens {

// The form of an element's text.
enum class TextForm : std::uint8_t {
    Container,    // holds other elements and no text
    Text,         // any text
    FiscalCode,   // 16-character fiscal code or 11-digit fiscal code of a company, with the check character
    SoftwareCode, // the software house's code: 11 digits or 16 letters and digits
    Integer,      // whole number without sign
    Amount,       // amount in euro: digits, and a comma or a point with one or two decimals
    Digits,       // digits only, from `minLength` (or `length`) to `length` of them
    Code,         // upper-case letters and digits; at most `length` of them, at least `minLength`
    Flag,         // one of the values of `allowed` ("S|N")
    KnownCode,    // a code whose values known to the program are `allowed`; others are named
    YearMonth,    // yyyy-mm
    Date,         // yyyy-mm-dd
    Day,          // day of the month, 1 to 31 (with or without a leading zero)
    Municipality, // code of a municipality or foreign state: a letter and three digits
    Week,         // the number of a week in the year, 1 to 53
};

// Whether an element must be there. Required: the declaration is incomplete without it.
// Usual: this program always writes it, but no authority rule is known that asks for it.
enum class Presence : std::uint8_t { Optional, Required, Usual };

// One row of the table: an element at a depth of the tree (0 for the root), under the last
// row of the depth above it. Rows under one parent are in the order of the file. Rows of one
// parent that share a `choice` number other than 0 are alternatives: at most one of them is
// present, and one of them must be when the first of them is not optional. A `loose` row may
// stand anywhere among its siblings.
struct ElementRow {
    std::uint8_t depth;
    const char* name;
    const char* label; // what the element holds, in a few Italian words
    Presence presence;
    std::uint16_t max; // most occurrences in the parent; 0 for no limit
    TextForm form;
    std::uint8_t length = 0;
    std::uint8_t minLength = 0;
    const char* allowed = nullptr; // "S|N"
    std::uint8_t choice = 0;
    bool loose = false;
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
