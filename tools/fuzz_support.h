#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

// What the fuzz drivers share: the files of a case, the dice that damage them, and the loop
// that runs case after case. Each driver says what a case is and what it checks.
namespace tools::fuzz {

namespace fs = std::filesystem;

// The bytes of `file`; empty when it cannot be read or is no file (a folder, a FIFO).
std::string readFile(const fs::path& file);
// Writes `bytes` as the whole of `file`, creating its folders and replacing a link, folder
// or FIFO of that name; a name the host refuses is planted nowhere.
void writeFile(const fs::path& file, std::string_view bytes);

// Every entry below a folder: the bytes of a file ("file " + bytes), the target of a link
// ("link -> " + target), "folder", or "special" (a FIFO, a socket...).
using Snapshot = std::map<fs::path, std::string>;
Snapshot snapshot(const fs::path& folder);

// The files below `folder` whose names are those of an output being written, or of the
// lock file of one: what a run that ended, however it ended, must not leave.
std::vector<fs::path> temporaryFilesBelow(const fs::path& folder);


// Empty when every entry of `before` is in `after` as it was and `after` holds nothing
// more, apart from the paths `mayChange` allows; else the first difference.
std::string differences(const Snapshot& before, const Snapshot& after,
                        const std::function<bool(const fs::path&)>& mayChange);

// The random draws of one case: seeded by the run's seed and the case number, so that a
// case can be repeated alone.
class Dice {
public:
    Dice(std::uint64_t seed, long number);

    bool chance(double p) { return std::bernoulli_distribution(p)(m_random); }
    // A number from 0 to n - 1 (0 when n is 0).
    std::size_t below(std::size_t n)
    {
        return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(m_random);
    }
    template <typename T>
    const T& pick(const std::vector<T>& items)
    {
        return items[below(items.size())];
    }
    char anyByte() { return static_cast<char>(below(256)); }
    // Up to `most` characters, any byte or drawn from `letters`.
    std::string randomText(std::size_t most, std::string_view letters = {});

private:
    std::mt19937_64 m_random;
};

// Plants, beside `target`, what a run that was killed leaves (its temporary file, its lock
// file), or something else under the lock file's name (a folder, a link to `outside`, a
// FIFO), as the dice say. Returns the files a run may remove (a killed run's leftovers);
// whatever else is planted must stay as it is. `log` is told what was planted.
std::vector<fs::path> plantLeftovers(const fs::path& target, const fs::path& outside, Dice& dice,
                                     std::vector<std::string>& log);

// Puts `value`, cut or filled with blanks to `length`, at `position` of `bytes`, as far as
// `bytes` reaches.
void put(std::string& bytes, std::size_t position, std::size_t length, std::string_view value);

struct Options {
    double seconds = 10;
    std::uint64_t seed = std::random_device{}();
    long cases = -1; // no limit
    long onlyCase = -1;
    fs::path folder;
    bool verbose = false;
};
// Reads "[--seconds N] [--seed S] [--cases N] [--case K] [--dir DIR] [--verbose]"; prints
// the usage of `program` and returns false for anything else.
bool parse(int argc, char** argv, const char* program, Options& options);

// What one case came to: the first check that failed (empty when all held), how it ended,
// and what it did, for the report of a failed or verbose case.
struct CaseResult {
    std::string failure;
    std::string outcome;
    std::vector<std::string> log;
};
using RunCase = std::function<CaseResult(const fs::path& caseFolder, long number)>;

// Runs cases until the time or the number of cases is reached, or the first case that
// fails; each case gets the same empty folder. Prints the failed case with the command
// that repeats it, then the number of cases and how they ended. Returns the exit status:
// 0, or 1 after a failed case.
int runCases(const char* program, const Options& options, const RunCase& runCase);

} // namespace tools::fuzz
