#include "records/installation.h"

#include <cerrno>
#include <sys/stat.h>

#include "records/channels.h"
#include "records/host_paths.h"
#include "records/text.h"

namespace records {

namespace {
constexpr int kChannel = 10;
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

void readDrive(Channels& channels, Installation& installation)
{
    channels.select(kChannel, kDriveFile, kRecordLength);
    // Only read: a drive file that is not there is never created, empty or otherwise.
    channels.openBinaryForReading();
    if (channels.lastError() == 0) {
        channels.setRecordNumber(1);
        channels.readRecord();
    } else {
        channels.channel(kChannel).recordBuffer.clear();
    }
    installation.drivePrefix = std::string(channels.channel(kChannel).recordBuffer.substr(0, 2));
    installation.dataDirectory = installation.drivePrefix + kCuDataFolder;
}

void readWorkingYear(Channels& channels, Installation& installation)
{
    const std::string path = installation.drivePrefix + kYearFile;
    channels.select(kChannel, path, kRecordLength);
    if (!channels.paths().fileExists(path)) {
        // The new year file gets its name only with its year in it, and takes the place of
        // anything else of that name (a link to nothing) instead of writing through it.
        channels.openNewBinary();
        if (channels.lastError() == 0) {
            channels.setRecordNumber(1);
            channels.channel(kChannel).outputBuffer = padRight(kFirstWorkingYear, kRecordLength);
            channels.writeRecord();
            if (channels.lastError() == 0)
                channels.commitNewFile(kChannel);
            channels.discardNewFile(kChannel);
        }
        channels.select(kChannel, path, kRecordLength);
    }
    channels.openBinaryForReading();
    if (channels.lastError() != 0) {
        channels.channel(kChannel).recordBuffer.clear();
        installation.workingYear.clear();
        return;
    }
    channels.setRecordNumber(1);
    channels.readRecord();
    installation.workingYear = channels.channel(kChannel).recordBuffer.substr(0, 4);
}

} // namespace records
