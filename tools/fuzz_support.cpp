#include "tools/fuzz_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "records/cp1252.h"
#include "records/file_lock.h"
#include "records/output_file.h"

namespace tools::fuzz {

std::string readFile(const fs::path& file)
{
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        return {}; // a folder, or a FIFO that would never end the read
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& file, std::string_view bytes)
{
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    // A link, folder or FIFO of that name goes first: the bytes never land elsewhere, and
    // a FIFO would take them for ever.
    if (const fs::file_status status = fs::symlink_status(file, ec); fs::exists(status) && !fs::is_regular_file(status))
        fs::remove_all(file, ec);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

Snapshot snapshot(const fs::path& folder)
{
    Snapshot entries;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const fs::path& path = it->path();
        if (it->is_symlink(ec))
            entries[path] = "link -> " + fs::read_symlink(path, ec).string();
        else if (it->is_directory(ec))
            entries[path] = "folder";
        else if (it->is_regular_file(ec))
            entries[path] = "file " + readFile(path);
        else
            entries[path] = "special"; // a FIFO would never end a read
    }
    return entries;
}

std::vector<fs::path> temporaryFilesBelow(const fs::path& folder)
{
    std::vector<fs::path> found;
    for (const auto& [path, entry] : snapshot(folder)) {
        const std::string name = path.filename().string();
        if (entry.starts_with("file ")
            && (records::OutputFile::isTemporaryName(name) || records::FileLock::isLockFileName(name)))
            found.push_back(path);
    }
    return found;
}

std::vector<fs::path> plantLeftovers(const fs::path& target, const fs::path& outside, Dice& dice,
                                     std::vector<std::string>& log)
{
    std::vector<fs::path> mayGo;
    const fs::path folder = target.parent_path();
    const std::string name = target.filename().string();
    const fs::path lock = folder / records::FileLock::lockFileName(name);
    std::error_code ec;
    if (dice.chance(0.5)) {
        // A run killed while writing: its temporary file, and mostly its lock file.
        const fs::path left = folder / records::OutputFile::temporaryName(name, "Kld" + std::to_string(dice.below(900) + 100));
        writeFile(left, "A" + std::string(dice.below(4000), ' '));
        mayGo.push_back(left);
        log.push_back("planted a killed run's file " + left.filename().string());
    }
    if (fs::exists(fs::symlink_status(lock, ec)))
        return mayGo;
    switch (dice.below(6)) {
    case 0:
    case 1:
        writeFile(lock, "utente=mario\r\ncomputer=UFFICIO2\r\nprocesso=1\r\ndal=2017-03-15 10:32:05\r\n");
        mayGo.push_back(lock);
        log.push_back("planted a killed run's lock file");
        break;
    case 2:
        writeFile(lock / "kept.dat", "kept");
        log.push_back("planted a folder at the lock file's name");
        break;
    case 3:
        fs::create_symlink(outside, lock, ec);
        log.push_back("planted a link at the lock file's name");
        break;
    case 4:
        ::mkfifo(lock.c_str(), 0644);
        log.push_back("planted a FIFO at the lock file's name");
        break;
    default:
        break;
    }
    return mayGo;
}

std::string differences(const Snapshot& before, const Snapshot& after,
                        const std::function<bool(const fs::path&)>& mayChange)
{
    for (const auto& [path, entry] : before) {
        const auto now = after.find(path);
        if ((now == after.end() || now->second != entry) && !mayChange(path))
            return "changed or removed: " + path.string();
    }
    for (const auto& [path, entry] : after) {
        if (!before.contains(path) && !mayChange(path))
            return "appeared: " + path.string();
    }
    return {};
}

Dice::Dice(std::uint64_t seed, long number)
{
    std::seed_seq seq{static_cast<std::uint32_t>(seed), static_cast<std::uint32_t>(seed >> 32),
                      static_cast<std::uint32_t>(number)};
    m_random.seed(seq);
}

std::string Dice::randomText(std::size_t most, std::string_view letters)
{
    std::string text(below(most + 1), ' ');
    for (char& c : text)
        c = letters.empty() ? anyByte() : letters[below(letters.size())];
    return text;
}

void put(std::string& bytes, std::size_t position, std::size_t length, std::string_view value)
{
    if (position >= bytes.size())
        return;
    std::string fitted(value.substr(0, length));
    fitted.resize(length, ' ');
    bytes.replace(position, std::min(length, bytes.size() - position), fitted.substr(0, bytes.size() - position));
}

bool parse(int argc, char** argv, const char* program, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--verbose") {
            options.verbose = true;
        } else if (arg == "--seconds" && hasValue) {
            options.seconds = std::atof(argv[++i]);
        } else if (arg == "--seed" && hasValue) {
            options.seed = std::strtoull(argv[++i], nullptr, 10);
        } else if (arg == "--cases" && hasValue) {
            options.cases = std::atol(argv[++i]);
        } else if (arg == "--case" && hasValue) {
            options.onlyCase = std::atol(argv[++i]);
        } else if (arg == "--dir" && hasValue) {
            options.folder = argv[++i];
        } else {
            std::fprintf(stderr, "usage: %s [--seconds N] [--seed S] [--cases N] [--case K] [--dir DIR] [--verbose]\n",
                         program);
            return false;
        }
    }
    return true;
}

namespace {

// Where the cases are made: $TMPDIR when set, else the memory file system /dev/shm when
// there is one (every completed run pushes its file to the disk, which on a real disk
// makes the cases ten times slower), else the system's temporary folder.
fs::path scratchFolder()
{
    std::error_code ec;
    if (const char* tmp = std::getenv("TMPDIR"); (tmp == nullptr || *tmp == '\0') && fs::is_directory("/dev/shm", ec)
        && ::access("/dev/shm", W_OK) == 0)
        return "/dev/shm";
    return fs::temp_directory_path(ec);
}

} // namespace

int runCases(const char* program, const Options& options, const RunCase& runCase)
{
    // The cases are made in a folder of their own, removed at the end; a folder named with
    // --dir is kept, only its "case" folder goes.
    const bool ownFolder = options.folder.empty();
    const fs::path work = ownFolder
        ? scratchFolder() / (std::string(program) + "-" + std::to_string(std::random_device{}()))
        : options.folder;
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };

    std::map<std::string, long> outcomes;
    long done = 0;
    int status = 0;
    for (long number = options.onlyCase >= 0 ? options.onlyCase : 0;; ++number) {
        if (options.onlyCase >= 0 ? done == 1 : (elapsed() >= options.seconds || done == options.cases))
            break;
        const CaseResult result = runCase(work / "case", number);
        ++done;
        ++outcomes[result.outcome];
        if (options.verbose || !result.failure.empty()) {
            std::printf("case %ld:\n", number);
            for (const std::string& line : result.log)
                std::printf("  %s\n", records::cp1252ToUtf8(line).c_str());
        }
        if (!result.failure.empty()) {
            std::printf("FAILED: %s\nrepeat with: %s --seed %llu --case %ld --verbose\n", result.failure.c_str(),
                        program,
                        static_cast<unsigned long long>(options.seed), number);
            status = 1;
            break;
        }
    }
    std::error_code ec;
    fs::remove_all(ownFolder ? work : work / "case", ec);

    std::printf("%s: %ld cases in %.1f s, seed %llu\n", program, done, elapsed(),
                static_cast<unsigned long long>(options.seed));
    for (const auto& [name, count] : outcomes)
        std::printf("  %-28s %ld\n", name.c_str(), count);
    return status;
}

} // namespace tools::fuzz
