#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// The check of a file before it is sent to the Revenue Agency (CU telematic file) or to INPS
// (UniEmens XML): what it finds, where, and whether it blocks the sending.
namespace check {

struct Rule;

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
    const Rule* rule = nullptr; // the rule it breaks
};

// Where the checks put what they find, in the order of their places in the file; what only
// the whole file tells (the counts of record B, a record missing) comes at its end.
class FindingSink {
public:
    virtual ~FindingSink() = default;
    // The kind of the file, once its first bytes are read and before anything is found.
    virtual void started(FileKind) {}
    virtual void found(Finding finding) = 0;
};

// Keeps the findings for the window and the tests, the first `keep` of them, and counts
// the others by the rule they break: a damaged file of a million records says so in a few
// megabytes.
class FindingList : public FindingSink {
public:
    explicit FindingList(std::size_t keep = std::numeric_limits<std::size_t>::max())
        : m_keep(keep)
    {
    }

    void found(Finding finding) override;

    const std::vector<Finding>& findings() const { return m_findings; }
    long long blocking() const { return m_blocking; }
    long long warnings() const { return m_warnings; }
    // The findings beyond those kept, by rule, in the order the rules were first met.
    const std::vector<std::pair<const Rule*, long long>>& notKept() const { return m_notKept; }
    long long notKeptCount() const;

private:
    std::size_t m_keep;
    std::vector<Finding> m_findings;
    std::vector<std::pair<const Rule*, long long>> m_notKept;
    long long m_blocking = 0;
    long long m_warnings = 0;
};

// Puts what a check finds in the order of the places in the file before passing it on. A
// check finds a few things after the place they are about (a certification's payee checked
// at its end, an element missing from a container told when the container closes): those
// and everything after them are held until the check says that nothing more will come
// before a place. At most `most` findings are held (a file damaged all through): beyond
// them all go on, and a finding about a place already passed follows them. Each finding
// goes on as one line: a line end or a control character quoted from the file becomes a
// blank or a "?".
class PlaceOrder {
public:
    explicit PlaceOrder(FindingSink& sink, std::size_t most = 4096)
        : m_sink(sink)
        , m_most(most)
    {
    }

    void hold(Finding finding);
    // Nothing more will be found before `place` (a record, or a line): what comes before it
    // goes on, in the order of the places.
    void passOnBefore(std::int64_t place);
    void passOnAll() { passOnBefore(std::numeric_limits<std::int64_t>::max()); }
    bool empty() const { return m_held.empty(); }

private:
    FindingSink& m_sink;
    std::size_t m_most;
    std::vector<Finding> m_held;
    std::int64_t m_least = 0; // the earliest place held
};

// Only counts, for a benchmark or a caller that needs the verdict alone.
class FindingCounter : public FindingSink {
public:
    void found(Finding finding) override;
    long long blocking = 0;
    long long warnings = 0;
};

} // namespace check
