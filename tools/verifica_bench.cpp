// Times the check before sending ("telematico-cli verifica") on large files against the
// I/O floor of reading them:
//
//   verifica_bench FILE [FILE ...] [--rounds N] [--cold]   (default 3 rounds)
//
// The files are those the other benchmarks keep: the telematic file of 100,000 employees
// ("cu_run_bench 100000 --warm --rounds 1 --keep DIR") and the UniEmens XML of 10,000
// employees ("uniemens_bench 10000 --rounds 1 --keep DIR"). For each file, round after
// round, it measures (a) the floor: reading the whole file into memory a piece at a time,
// as the check reads it, and (b) the whole check, findings counted but not kept. It prints
// the best time of each, their ratio (target at most 1.5), what the check found and the
// peak memory of the process, which must not grow with the file. With --cold each
// measurement starts with the file's pages dropped from the system's cache, so that both
// read it from the disk; without it both find it in memory, as right after it was written.

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "check/file_check.h"
#include "check/finding.h"
#include "tools/measure.h"

namespace fs = std::filesystem;

using tools::best;
using tools::peakMegabytes;
using tools::seconds;

namespace {

constexpr std::size_t kPiece = 1900 * 1024;

void dropFromCache(const fs::path& file)
{
    const int descriptor = ::open(file.c_str(), O_RDONLY);
    if (descriptor < 0)
        return;
    ::fdatasync(descriptor);
    ::posix_fadvise(descriptor, 0, 0, POSIX_FADV_DONTNEED);
    ::close(descriptor);
}

// Reads the file to its end, as the least any check of it costs.
double timedRead(const fs::path& file, std::uint64_t& sum)
{
    const auto start = std::chrono::steady_clock::now();
    const int descriptor = ::open(file.c_str(), O_RDONLY);
    if (descriptor < 0)
        std::exit(2);
    ::posix_fadvise(descriptor, 0, 0, POSIX_FADV_SEQUENTIAL);
    std::vector<char> buffer(kPiece);
    ssize_t n = 0;
    while ((n = ::read(descriptor, buffer.data(), buffer.size())) > 0)
        sum += static_cast<unsigned char>(buffer[static_cast<std::size_t>(n - 1)]); // the bytes are looked at
    ::close(descriptor);
    return seconds(std::chrono::steady_clock::now() - start);
}

} // namespace

int main(int argc, char** argv)
{
    int rounds = 3;
    bool cold = false;
    std::vector<fs::path> files;
    for (int k = 1; k < argc; ++k) {
        const std::string argument = argv[k];
        if (argument == "--rounds" && k + 1 < argc)
            rounds = std::atoi(argv[++k]);
        else if (argument == "--cold")
            cold = true;
        else
            files.emplace_back(argument);
    }
    if (files.empty() || rounds < 1) {
        std::fprintf(stderr, "verifica_bench FILE [FILE ...] [--rounds N] [--cold]\n");
        return 1;
    }
    const double memoryBefore = peakMegabytes();
    std::printf("%-28s %9s %9s %9s %7s %10s %9s\n", "file", "MB", "floor s", "check s", "ratio", "blocking", "warnings");
    for (const fs::path& file : files) {
        std::error_code ec;
        const auto bytes = fs::file_size(file, ec);
        if (ec) {
            std::fprintf(stderr, "%s: cannot be read\n", file.c_str());
            return 1;
        }
        std::vector<double> floors, checks;
        std::uint64_t sum = 0;
        check::FindingCounter counter;
        check::FileKind kind = check::FileKind::Unknown;
        for (int round = 0; round < rounds; ++round) {
            if (cold)
                dropFromCache(file);
            floors.push_back(timedRead(file, sum));
            if (cold)
                dropFromCache(file);
            counter = check::FindingCounter{};
            check::CheckOptions options;
            options.today = check::today();
            const auto start = std::chrono::steady_clock::now();
            const check::FileCheckResult result = check::checkFile(file.string(), counter, options);
            checks.push_back(seconds(std::chrono::steady_clock::now() - start));
            if (!result.error.empty()) {
                std::fprintf(stderr, "%s: %s\n", file.c_str(), result.error.c_str());
                return 1;
            }
            kind = result.kind;
        }
        const double floor = best(floors);
        const double run = best(checks);
        std::printf("%-28s %9.1f %9.3f %9.3f %7.2f %10lld %9lld  (%s)\n", file.filename().c_str(),
                    static_cast<double>(bytes) / 1e6, floor, run, run / floor, counter.blocking, counter.warnings,
                    kind == check::FileKind::Cu ? "CU" : "UniEmens");
    }
    std::printf("\nrounds: %d, best of each%s; target: check at most 1.5 times the floor\n", rounds,
                cold ? ", file read from the disk" : ", file in memory");
    std::printf("peak memory: %.1f MB (%.1f MB before the checks)\n", peakMegabytes(), memoryBefore);
    return 0;
}
