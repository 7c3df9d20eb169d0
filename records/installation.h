#pragma once

#include <string>
#include <vector>

#include "records/file_result.h"

#include "records/cu_edition.h"

namespace records {

class PathMapper;

// Where the payroll suite is installed, as the drive file and the year file say.
struct Installation {
    // Drive of the installation, normally two characters such as "C:"; empty when the
    // drive file gives nothing, so that every path starts at the current drive.
    std::string drivePrefix;
    // drivePrefix + "\nolv\nv770\2016\dati\": where the CU files lie.
    std::string dataDirectory;
    // Year of the payroll data ("2016"); empty until the UniEmens window has loaded.
    std::string workingYear;
};

inline constexpr const char* kDriveFile = "c:\\disco.ute";
inline constexpr const char* kYearFile = "\\WNOLV\\anno1.dat";

// Whether an installation root holds its drive file "c:\disco.ute" (the file's name in any
// case): Present when it is a file, Missing when nothing (or no file, or a link that leads
// nowhere) has that name, Unknown when the root cannot be looked into (no permission, a
// name too long for the host).
enum class DriveFileState { Present, Missing, Unknown };
DriveFileState driveFileState(const PathMapper& paths);

// Reads record 1 of the drive file "c:\disco.ute" (record length 10) and takes its first two
// characters, as they stand, as the drive prefix; forms the data directory from it. The drive
// file is only read, never created, and is closed again. A missing one gives an empty prefix
// and the failure of its opening ("Errore tipo  53 nell'apertura del  file binarioc:\disco.ute";
// a link to nothing alike, 75 for a folder of its name); one too short, an empty prefix and
// the failure of reading record 1. Returns that failure, for the caller to show where the
// drive is read (showFailure()); ok when the prefix was read.
FileResult readDrive(const PathMapper& paths, Installation& installation);

// Reads the working year from record 1 of drive prefix + "\WNOLV\anno1.dat" (record length
// 10), creating the file with the year "2015" when it does not exist. The new file is written
// whole before it takes its name, and never through a link left under that name. When the
// file cannot be made or opened (its folder missing, a folder of its name) the working year
// is empty. Returns the failures met on the way (creating, writing or naming the new file,
// then opening and reading it), in the order the operator is to be shown them
// (showFailures()); empty when the year was read.
std::vector<FileResult> readWorkingYear(const PathMapper& paths, Installation& installation);

} // namespace records
