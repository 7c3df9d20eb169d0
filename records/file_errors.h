#pragma once

// The classic file error numbers that the payroll suite's messages have always shown
// ("Errore tipo  53 ..."), and the mapping of host errors onto them.
namespace records::file_error {

inline constexpr int kOverflow = 6;           // a record position beyond 32 bits
inline constexpr int kBadFileNumber = 52;     // no file open (or none named)
inline constexpr int kFileNotFound = 53;
inline constexpr int kFileAlreadyOpen = 55;
inline constexpr int kDeviceIo = 57;
inline constexpr int kFileExists = 58;
inline constexpr int kBadRecordLength = 59;
inline constexpr int kDiskFull = 61;
inline constexpr int kInputPastEnd = 62;
inline constexpr int kBadRecordNumber = 63;
inline constexpr int kBadFileName = 64;
inline constexpr int kTooManyFiles = 67;
inline constexpr int kDeviceUnavailable = 68;
inline constexpr int kPermissionDenied = 70;
inline constexpr int kPathFileAccess = 75;
inline constexpr int kPathNotFound = 76;

// Maps an errno value from an operation on `hostPath` onto a classic number. A missing
// entry is 76 when its folder is missing too, else 53.
int fromErrno(int error, const char* hostPath);

} // namespace records::file_error
