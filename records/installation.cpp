#include "records/installation.h"

#include <cerrno>
#include <sys/stat.h>

#include "records/host_paths.h"
#include "records/record_file.h"
#include "records/text.h"

namespace records {

namespace {
constexpr int kRecordLength = 10;
constexpr const char* kFirstWorkingYear = "2015";
} // namespace

DriveFileState driveFileState(const PathMapper& paths)
{
    const std::filesystem::path path = paths.hostPath(kDriveFile);
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0)
        return S_ISREG(status.st_mode) ? DriveFileState::Present : DriveFileState::Missing;
    // A link that leads nowhere is no drive file either; a folder that cannot be entered or
    // a name too long for the host tells nothing.
    return errno == ENOENT || errno == ENOTDIR ? DriveFileState::Missing : DriveFileState::Unknown;
}

FileResult readDrive(const PathMapper& paths, Installation& installation)
{
    // Only read: a drive file that is not there is never created, empty or otherwise.
    RecordFile file(paths, kDriveFile, kRecordLength);
    std::string record;
    FileResult result = file.openForReading();
    if (result.ok())
        result = file.read(1, record);
    installation.drivePrefix = record.substr(0, 2);
    installation.dataDirectory = installation.drivePrefix + kCuDataFolder;
    return result;
}

std::vector<FileResult> readWorkingYear(const PathMapper& paths, Installation& installation)
{
    std::vector<FileResult> failures;
    const auto succeeded = [&failures](FileResult result) {
        if (result.ok())
            return true;
        failures.push_back(std::move(result));
        return false;
    };
    const std::string path = installation.drivePrefix + kYearFile;
    if (!paths.fileExists(path)) {
        // The new year file gets its name only with its year in it, and takes the place of
        // anything else of that name (a link to nothing) instead of writing through it. Not
        // given its name, it goes with the object.
        NewFile newFile = NewFile::ofRecords(paths, path, kRecordLength);
        if (succeeded(newFile.create()) && succeeded(newFile.write(1, padRight(kFirstWorkingYear, kRecordLength))))
            succeeded(newFile.commit());
    }
    RecordFile file(paths, path, kRecordLength);
    std::string record;
    if (succeeded(file.openForReading()))
        succeeded(file.read(1, record));
    installation.workingYear = record.substr(0, 4);
    return failures;
}

} // namespace records
