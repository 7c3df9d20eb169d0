#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace records {
class PathMapper;
}

// The code tables behind the coded fields of the payroll suite's files, with the words a
// clerk reads beside each code: the INPS codes of the employee data file (qualifications,
// contribution and worker types, citizenship, hiring and termination), the legal forms and
// sectors of the company register, and the names of the fields of the employee data file.
// Each table is one data file of this layer (payroll/tables/*.txt), built into the program;
// an installation may correct and extend the code tables with files of the same names and
// the same form in its own folder (kInstallationTableFolder). Texts are Windows-1252 bytes,
// as everywhere in the core.
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
    CodeTable() = default;
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

    // Joins an installation's file of this table, of the same form (its bytes as read: the
    // payroll suite's Windows-1252, or UTF-8 when they are well-formed UTF-8 with a character
    // beyond ASCII or begin with its byte-order mark). A line with a code the table has gives
    // it the line's description (a line without one leaves it as it was); a line with a new
    // code adds it, and a heading line adds the heading, after the entries there are. A line
    // that cannot be taken changes nothing: it is returned, "riga " + its number + ": " +
    // what is wrong with it, in the order of the file. `maxCodeLength` is the width of the
    // field the codes go into.
    std::vector<std::string> join(std::string_view bytes, std::size_t maxCodeLength);

private:
    std::vector<CodeEntry> m_entries;
};

// The code tables that an installation can correct, by what they code.
enum class Codes {
    Qualification1,    // employee field 4, Qualifica1
    Qualification2,    // employee field 5, Qualifica2: working time
    Qualification3,    // employee field 6, Qualifica3: kind of contract
    ContributionType,  // employee field 7, TipoContribuzione; four blanks (ordinary) are no code of it
    Citizenship,       // employee field 8, Cittadinanza
    HiringKind,        // employee field 15, TipoAssunzione; blanks (none) are no code of it
    TerminationReason, // employee field 18, TipoCessazione; blanks (none) are no code of it
    WorkerType,        // employee field 19, TipoLavoratore
    WorkerKind,        // employee field 20, statistical worker type or apprenticeship
    LegalForm,         // company field 11, natura giuridica
    Sector,            // company field 9, settore di attivita'
};
inline constexpr std::size_t kCodeTableCount = 11;

// The name of a table's file, in the program and in an installation ("tipo_lavoratore.txt").
std::string_view tableFileName(Codes table);
// The most characters a code of the table may have: the length of the field it goes into.
std::size_t maxCodeLength(Codes table);

// Where an installation keeps its own table files: drive prefix + this folder + the file name
// ("C:\wnolv\tabcom\codici\tipo_lavoratore.txt"), beside the payroll suite's other tables.
inline constexpr const char* kInstallationTableFolder = "\\wnolv\\tabcom\\codici\\";

// The code tables as one installation has them: the tables built into the program, joined
// with the installation's table files where present.
class CodeTables {
public:
    // The tables built into the program only.
    CodeTables();
    // The tables built into the program joined with the files of the installation that
    // `paths` finds in drive prefix + kInstallationTableFolder. A missing file or folder
    // leaves its table as built; nothing is created.
    CodeTables(const records::PathMapper& paths, std::string_view drivePrefix);

    const CodeTable& operator[](Codes table) const { return m_tables[static_cast<std::size_t>(table)]; }

    // Every line of the installation's files that could not be taken, and every file that
    // could not be read, each once: the file (installation notation), the line and what is
    // wrong with it; in the order of the tables and their lines.
    const std::vector<std::string>& problems() const { return m_problems; }
    // The problems in one line for a status bar: the first, and how many others there are;
    // empty when there are none.
    std::string problemSummary() const;

private:
    std::array<CodeTable, kCodeTableCount> m_tables;
    std::vector<std::string> m_problems;
};

// The entries of a list as the windows offer it: per table entry, the code filled with
// blanks to `codeWidth` characters (one blank at least after a longer code), then its
// words (kNoDescription when the table has none); a heading as its text.
std::vector<std::string> listEntries(const CodeTable& table, std::size_t codeWidth);

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
