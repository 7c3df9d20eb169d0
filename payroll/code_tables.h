#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The code tables behind the coded fields of the payroll suite's files, with the words a
// clerk reads beside each code: the INPS worker types and contribution types of the UniEmens
// declaration, the legal forms of the company register, and the names of the fields of the
// employee data file. Each table is one data file of this layer (payroll/tables/*.txt),
// built into the program; texts are Windows-1252 bytes, as everywhere in the core.
namespace payroll {

// Shown beside a code whose meaning the table does not give for certain.
inline constexpr const char* kNoDescription = "(descrizione non disponibile)";

struct CodeEntry {
    std::string code;        // as the field holds it, without the blanks that fill the field
    std::string description; // empty when not known for certain; for a heading, its text
    bool heading = false;    // a heading between the codes of a list: names no code
};

class CodeTable {
public:
    // Parses a table file: one line per code, "code|description", "#" comment lines and
    // blank lines ignored, lines starting with "---" as headings. The text is UTF-8; it is
    // kept as Windows-1252. Throws std::invalid_argument naming `name` and the line for a
    // malformed line, a code given twice or a character Windows-1252 lacks.
    CodeTable(std::string_view name, std::string_view utf8Text);

    const std::vector<CodeEntry>& entries() const { return m_entries; }
    // The entry of `code` (blanks around it ignored), or nothing.
    const CodeEntry* find(std::string_view code) const;
    // The words for `code`: its description, kNoDescription when the table has the code
    // without one, nothing when the table does not have it.
    std::optional<std::string> describe(std::string_view code) const;

private:
    std::vector<CodeEntry> m_entries;
};

// Tipo lavoratore (employee field 19), in the order of the payroll suite's list.
const CodeTable& workerTypes();
// Tipo contribuzione (employee field 7), in the order of the payroll suite's list; four
// blanks, the ordinary contribution, are not one of its codes.
const CodeTable& contributionTypes();
// Natura giuridica (company register field 11): 0, 1 to 28, the heading of the
// non-resident subjects, 30 to 43.
const CodeTable& legalForms();

// What a field of the employee data file holds, as far as showing it goes.
enum class FieldKind {
    Text,   // a text or a code, shown as stored
    Amount, // money with a full stop before the cents
    Number, // days, hours, weeks, percentages: a number that may have decimals
    Date,   // yyyymmdd
};

struct EmployeeFieldName {
    int entry = 0;
    FieldKind kind = FieldKind::Text;
    std::string element;     // the UniEmens element the field fills; empty when none
    std::string description; // Italian words; empty when not known for certain
};

// Entries 1 to 267 of the employee data file, by number (index 0 unused and empty).
const std::vector<EmployeeFieldName>& employeeFieldNames();

// A stored number as a clerk reads it: blanks around it removed and the full stop before the
// decimals written as a comma ("    1234.56" gives "1234,56"). Any other text comes back
// with only the blanks removed.
std::string shownNumber(std::string_view stored);

} // namespace payroll
