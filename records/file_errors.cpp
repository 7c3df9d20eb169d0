#include "records/file_errors.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace records::file_error {

int fromErrno(int error, const char* hostPath)
{
    switch (error) {
    case ENOENT: {
        std::error_code ec;
        const auto parent = std::filesystem::path(hostPath ? hostPath : "").parent_path();
        if (!parent.empty() && !std::filesystem::is_directory(parent, ec))
            return kPathNotFound;
        return kFileNotFound;
    }
    case ENOTDIR:
        return kPathNotFound;
    case EACCES:
    case EPERM:
        return kPermissionDenied;
    case EROFS:
    case EISDIR:
    case ELOOP: // a loop of symbolic links: the path leads nowhere
    case ETXTBSY:
    case EBUSY:
        return kPathFileAccess;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return kDiskFull;
    case EMFILE:
    case ENFILE:
        return kTooManyFiles;
    case EEXIST:
        return kFileExists;
    case ENAMETOOLONG:
    case EILSEQ:
        return kBadFileName;
    case ENXIO:
    case ENODEV:
        return kDeviceUnavailable;
    case EBADF:
        return kBadFileNumber;
    case EINVAL:
        return kBadRecordNumber;
    default:
        return kDeviceIo;
    }
}

} // namespace records::file_error
