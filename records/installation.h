#pragma once

#include <string>

namespace records {

class Channels;

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
inline constexpr const char* kCuDataFolder = "\\nolv\\nv770\\2016\\dati\\";
inline constexpr const char* kYearFile = "\\WNOLV\\anno1.dat";

// Reads record 1 of the drive file "c:\disco.ute" on channel 10 (record length 10) and
// takes its first two characters, as they stand, as the drive prefix; forms the data
// directory from it. A missing drive file is created empty by the open and gives an
// empty prefix after the read message. The file stays open on channel 10.
void readDrive(Channels& channels, Installation& installation);

// Reads the working year from drive prefix + "\WNOLV\anno1.dat" on channel 10, creating
// the file with the year "2015" when it does not exist.
void readWorkingYear(Channels& channels, Installation& installation);

} // namespace records
