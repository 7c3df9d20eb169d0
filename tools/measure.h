#pragma once

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

// What the benchmarks measure with: wall time, processor time, peak memory, and memory
// prepared alike for the measurements they compare.
namespace tools {

inline double seconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

struct CpuTimes {
    double user = 0;
    double system = 0;
};

inline CpuTimes cpuTimes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto toSeconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return {toSeconds(usage.ru_utime), toSeconds(usage.ru_stime)};
}

inline double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

inline double best(const std::vector<double>& values)
{
    return *std::min_element(values.begin(), values.end());
}

// Opens `path` without the C library's buffer, so that each read or write is one system
// call of the size asked, as in the programs measured; ends the benchmark with 2 when the
// file cannot be opened.
inline std::FILE* openUnbuffered(const std::filesystem::path& path, const char* mode)
{
    std::FILE* file = std::fopen(path.c_str(), mode);
    if (file == nullptr)
        std::exit(2);
    std::setvbuf(file, nullptr, _IONBF, 0);
    return file;
}

// Writes `bytes` bytes to a scratch file in `folder` and deletes it, then waits until
// nothing is left to be written to the disk. A virtual machine that gives the memory freed
// by the system back to its host makes the next program that needs the memory pay to have
// it back: on such a machine a file written into memory unused for a few seconds takes up
// to ten times as long as one written into memory just freed. Each measurement starts
// right after this, so the reference and the run find the same kind of memory.
inline void warmMemory(const std::filesystem::path& folder, std::uintmax_t bytes)
{
    const std::filesystem::path scratch = folder / "scratch.tmp";
    std::FILE* out = openUnbuffered(scratch, "wb");
    const std::vector<char> block(1 << 20, ' ');
    for (std::uintmax_t done = 0; done < bytes; done += block.size()) {
        if (std::fwrite(block.data(), 1, block.size(), out) != block.size())
            std::exit(2);
    }
    std::fclose(out);
    std::filesystem::remove(scratch);
    ::sync();
}

} // namespace tools
