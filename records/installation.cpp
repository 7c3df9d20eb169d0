#include "records/installation.h"

#include "records/channels.h"
#include "records/host_paths.h"
#include "records/text.h"

namespace records {

namespace {
constexpr int kChannel = 10;
constexpr int kRecordLength = 10;
} // namespace

void readDrive(Channels& channels, Installation& installation)
{
    channels.select(kChannel, kDriveFile, kRecordLength);
    channels.openBinary();
    channels.setRecordNumber(1);
    channels.readRecord();
    installation.drivePrefix = std::string(channels.channel(kChannel).recordBuffer.substr(0, 2));
    installation.dataDirectory = installation.drivePrefix + kCuDataFolder;
}

void readWorkingYear(Channels& channels, Installation& installation)
{
    const std::string path = installation.drivePrefix + kYearFile;
    channels.select(kChannel, path, kRecordLength);
    const bool isNew = !channels.paths().fileExists(path);
    if (isNew)
        channels.createFile();
    channels.setCurrent(kChannel);
    channels.openBinary();
    channels.setRecordNumber(1);
    if (isNew) {
        channels.channel(kChannel).outputBuffer = padRight("2015", kRecordLength);
        channels.writeRecord();
    }
    channels.readRecord();
    installation.workingYear = channels.channel(kChannel).recordBuffer.substr(0, 4);
}

} // namespace records
