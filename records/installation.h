#pragma once

#include <string>

#include "records/cu_edition.h"

namespace records {

class Channels;
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

// Reads record 1 of the drive file "c:\disco.ute" on channel 10 (record length 10) and
// takes its first two characters, as they stand, as the drive prefix; forms the data
// directory from it. The drive file is only read, never created: a missing one shows the
// open message (error 53) and gives an empty prefix, as a file too short does after the
// read message. The file stays open on channel 10.
void readDrive(Channels& channels, Installation& installation);

// Reads the working year from drive prefix + "\WNOLV\anno1.dat" on channel 10, creating
// the file with the year "2015" when it does not exist. The new file is written whole
// before it takes its name, and never through a link left under that name. When the file
// cannot be made or opened (its folder missing, a folder of its name) the channel's
// messages are shown and the working year is empty. The file stays open on channel 10.
void readWorkingYear(Channels& channels, Installation& installation);

} // namespace records
