#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The check of a file before it is sent to the Revenue Agency (CU telematic file) or to INPS
// (UniEmens XML): what it finds, where, and whether it blocks the sending.
namespace check {

// BLOCCANTE: the authority would reject the file or the certification. AVVISO: the file
// would be accepted, but the value is likely a mistake.
enum class Level { Blocking, Warning };

// "BLOCCANTE" or "AVVISO".
std::string_view levelText(Level level);

// What kind of file was checked.
enum class FileKind { Unknown, Cu, Uniemens };

// One thing found, with its place: in a CU file the record (from 1) and the position in
// the record (from 1), with the element code for the elements of records C, D and G; in a
// UniEmens file the line (from 1) and the element path ("DenunceMensili/Azienda/..."),
// with the column when it is known. A finding inside one person's certification or
// declaration names that person: the fiscal code, and the name (surname and name) as the
// file holds it. The message is Italian, in Windows-1252, and names what is wrong and what
// was expected; where the finding is not certain, also what it rests on.
struct Finding {
    Level level = Level::Blocking;
    std::int64_t record = 0;
    std::int64_t line = 0;
    int position = 0;
    std::string element;
    std::string personCode; // empty outside a certification or declaration
    std::string personName; // empty when the file does not hold it
    std::string message;
};

// Where the checks put what they find, in the order they find it.
class FindingSink {
public:
    virtual ~FindingSink() = default;
    virtual void found(Finding finding) = 0;
};

// Keeps every finding, for the command line and the window, and counts them.
class FindingList : public FindingSink {
public:
    void found(Finding finding) override;

    const std::vector<Finding>& findings() const { return m_findings; }
    long long blocking() const { return m_blocking; }
    long long warnings() const { return m_warnings; }
    // Puts the findings in the order of their places in the file (record and position, or
    // line); findings of one place keep the order in which they were found.
    void sortByPlace();

private:
    std::vector<Finding> m_findings;
    long long m_blocking = 0;
    long long m_warnings = 0;
};

// Only counts, for a benchmark or a caller that needs the verdict alone.
class FindingCounter : public FindingSink {
public:
    void found(Finding finding) override;
    long long blocking = 0;
    long long warnings = 0;
};

} // namespace check
