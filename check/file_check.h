#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "check/finding.h"
#include "check/options.h"

namespace check {

// The kind of a file by its content: a CU telematic file starts with record A (or has the
// end of a 1900-byte record where the first record ends); a UniEmens file is XML whose
// first element is DenunceMensili. `start` is the beginning of the file (a few kilobytes).
FileKind kindOf(std::string_view start);

struct FileCheckResult {
    FileKind kind = FileKind::Unknown;
    // Why the file could not be checked (it cannot be read, or is of no known kind); empty
    // when it was checked to its end.
    std::string error;
    std::uint64_t bytes = 0;
};

// How far a check has got, and a way to give it up (a window closed meanwhile).
struct CheckProgress {
    std::function<void(std::uint64_t done, std::uint64_t total)> advanced;
    const std::atomic<bool>* cancel = nullptr;
};

// Checks the file at `hostPath` (a host path, UTF-8) and puts what it finds into `sink`,
// in the order of the file, what only its end tells last; `sink` hears the kind of the file
// before any finding. Only a file is read: a folder, a pipe or a device is refused at once,
// without waiting for anyone to write to it. The file is opened for reading only and read
// once, a piece at a time, so memory stays the same whatever its size; a check given up
// (`progress.cancel`) stops within the piece it reads.
FileCheckResult checkFile(const std::string& hostPath, FindingSink& sink, const CheckOptions& options,
                          const CheckProgress& progress = {});

// Today on this machine, as the command line and the windows give it to the checks.
Day today();

} // namespace check
