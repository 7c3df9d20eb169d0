#pragma once

#include <cstddef>
#include <string>

#include "check/finding.h"

namespace check {

// The place of a finding as the clerk reads it in the file: for a CU file its record, one
// line per positional field (positions, name, value) and one line per element (position,
// code, value); for a UniEmens file the lines around it with their numbers. The line of the
// place, and within it what the finding is about, are marked for the viewer to select.
struct Excerpt {
    std::string title; // "Record 5 (G) di TCU117"
    std::string text;  // Windows-1252, lines ended by "\n"
    std::size_t lineStart = 0; // the line of the place, in characters of `text`
    std::size_t lineLength = 0;
    std::size_t selectionStart = 0; // what the finding is about, within that line
    std::size_t selectionLength = 0;
    std::string error; // why the place could not be read; the rest is empty then
};

// Reads the place of `finding` in the file at `hostPath` (the file it was found in).
Excerpt excerptOf(const std::string& hostPath, FileKind kind, const Finding& finding);

} // namespace check
