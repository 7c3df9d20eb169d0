#include "records/file_lock.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "records/cp1252.h"
#include "records/temporary_files.h"

// The host's part of the file locks on a POSIX system: the lock of an open file, the lock
// files and the stamps of files. The lock is the system's lock of one opening of a file
// (fcntl F_OFD_SETLK): it conflicts with every other opening, in this program too, so that
// two windows or two threads of one program are kept apart like two programs; it is kept
// across the computers of a shared folder (NFS, SMB) by their locking protocols; and it goes
// when the last descriptor of the opening is closed, also by the end of the program.
namespace records {

namespace {

// Lock files tried before giving up, should each one be removed by its holder just after it
// was opened here.
constexpr int kAttempts = 20;
// Bytes of a lock file read to learn its holder.
constexpr std::size_t kOwnerBytes = 1024;

struct flock wholeFile(short type)
{
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0; // to the end, however far the file grows
    return lock;
}

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// True when the entry `name` of `folder` is the file open on `descriptor`: a lock file or a
// temporary file whose entry its holder removed has no name any more, and a lock on it
// guards nothing.
bool stillNamed(int folder, const char* name, int descriptor)
{
    struct stat named {};
    struct stat open {};
    return ::fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) == 0 && ::fstat(descriptor, &open) == 0
        && sameFile(named, open);
}

LockOwner readOwner(int descriptor)
{
    std::string text(kOwnerBytes, '\0');
    const ssize_t n = ::pread(descriptor, text.data(), text.size(), 0);
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return FileLock::parseOwner(text);
}

void writeOwner(int descriptor)
{
    const std::string text = FileLock::ownerText(FileLock::thisProgram());
    // Only words for the second clerk: a lock file that cannot be written still locks.
    if (::ftruncate(descriptor, 0) == 0)
        (void)::pwrite(descriptor, text.data(), text.size(), 0);
}

std::string userName()
{
    std::vector<char> buffer(16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr
        && found->pw_name != nullptr && *found->pw_name != '\0')
        return found->pw_name;
    for (const char* variable : {"USER", "LOGNAME"}) {
        if (const char* value = std::getenv(variable); value != nullptr && *value != '\0')
            return value;
    }
    return std::to_string(::geteuid());
}

} // namespace

namespace file_locks {

namespace {

Attempt tryWholeFile(int descriptor, short type)
{
    struct flock lock = wholeFile(type);
    while (::fcntl(descriptor, F_OFD_SETLK, &lock) != 0) {
        if (errno == EINTR)
            continue;
        return errno == EAGAIN || errno == EACCES ? Attempt::Busy : Attempt::Unavailable;
    }
    return Attempt::Taken;
}

} // namespace

Attempt tryLock(int descriptor)
{
    return tryWholeFile(descriptor, F_WRLCK);
}

Attempt tryShare(int descriptor)
{
    return tryWholeFile(descriptor, F_RDLCK);
}

} // namespace file_locks

LockOwner FileLock::thisProgram()
{
    LockOwner owner;
    owner.user = utf8ToCp1252(userName());
    char host[HOST_NAME_MAX + 1] = {};
    if (::gethostname(host, sizeof host - 1) == 0)
        owner.computer = utf8ToCp1252(host);
    owner.process = ::getpid();
    const std::time_t now = std::time(nullptr);
    struct tm local {};
    char since[32] = {};
    if (::localtime_r(&now, &local) != nullptr && std::strftime(since, sizeof since, "%Y-%m-%d %H:%M:%S", &local) > 0)
        owner.since = since;
    return owner;
}

FileLock::State FileLock::acquire(const std::filesystem::path& target)
{
    release();
    m_owner = {};
    const std::string targetName = target.filename().string();
    if (targetName.empty() || targetName == "." || targetName == "..")
        return m_state = State::Unavailable;
    const std::filesystem::path folderPath = target.has_parent_path() ? target.parent_path() : ".";
    const std::string name = lockFileName(targetName);

    // From the lock file's creation to its listing no stop signal may come in between, so
    // that a stop never leaves a lock file that this program made.
    const temporary_files::SignalBlock block;
    const int folder = ::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return m_state = State::Unavailable;
    const auto unavailable = [&](int descriptor) {
        if (descriptor >= 0)
            ::close(descriptor);
        ::close(folder);
        return m_state = State::Unavailable;
    };

    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        // A link planted under the name is never followed, and a FIFO never waited on.
        const int descriptor
            = ::openat(folder, name.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
        if (descriptor < 0) {
            // A lock file of another user, which this one may not write: its holder can still
            // be learnt; one that nobody holds is removed, as its maker would have, and the
            // next attempt makes a new one.
            if (errno != EACCES && errno != EPERM)
                return unavailable(-1);
            const int readOnly = ::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
            if (readOnly < 0)
                return unavailable(-1);
            if (file_locks::tryShare(readOnly) != file_locks::Attempt::Taken) {
                m_owner = readOwner(readOnly);
                ::close(readOnly);
                ::close(folder);
                return m_state = State::InUse;
            }
            const bool removed = stillNamed(folder, name.c_str(), readOnly) && ::unlinkat(folder, name.c_str(), 0) == 0;
            ::close(readOnly);
            if (!removed)
                return unavailable(-1);
            continue;
        }
        struct stat status {};
        if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode))
            return unavailable(descriptor);
        switch (file_locks::tryLock(descriptor)) {
        case file_locks::Attempt::Busy:
            m_owner = readOwner(descriptor);
            ::close(descriptor);
            ::close(folder);
            return m_state = State::InUse;
        case file_locks::Attempt::Unavailable:
            return unavailable(descriptor);
        case file_locks::Attempt::Taken:
            break;
        }
        // Its holder removed the file after it was opened here: it locks nothing any more,
        // and the next attempt makes a new one.
        if (!stillNamed(folder, name.c_str(), descriptor)) {
            ::close(descriptor);
            continue;
        }
        const int entry = temporary_files::add(folder, name);
        if (entry < 0) {
            ::unlinkat(folder, name.c_str(), 0);
            return unavailable(descriptor);
        }
        writeOwner(descriptor);
        m_folder = folder;
        m_descriptor = descriptor;
        m_name = name;
        m_entry = entry;
        return m_state = State::Held;
    }
    return unavailable(-1);
}

void FileLock::release()
{
    if (m_descriptor >= 0) {
        const temporary_files::SignalBlock block;
        // Removed while still held: whoever locks the file afterwards finds it nameless and
        // makes a new one, so that two holders never lock two files of one name.
        if (stillNamed(m_folder, m_name.c_str(), m_descriptor))
            ::unlinkat(m_folder, m_name.c_str(), 0);
        temporary_files::remove(m_entry);
        ::close(m_descriptor);
        ::close(m_folder);
    }
    m_entry = -1;
    m_descriptor = -1;
    m_folder = -1;
    m_name.clear();
    if (m_state == State::Held)
        m_state = State::Released;
}

std::optional<FileStamp> stampOf(const std::filesystem::path& path)
{
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return std::nullopt;
    struct stat status {};
    const bool known = ::fstat(descriptor, &status) == 0;
    ::close(descriptor);
    if (!known)
        return std::nullopt;
    FileStamp stamp;
    stamp.device = static_cast<std::uint64_t>(status.st_dev);
    stamp.file = static_cast<std::uint64_t>(status.st_ino);
    stamp.size = static_cast<std::int64_t>(status.st_size);
    stamp.modifiedSeconds = static_cast<std::int64_t>(status.st_mtim.tv_sec);
    stamp.modifiedNanoseconds = static_cast<std::int64_t>(status.st_mtim.tv_nsec);
    stamp.changedSeconds = static_cast<std::int64_t>(status.st_ctim.tv_sec);
    stamp.changedNanoseconds = static_cast<std::int64_t>(status.st_ctim.tv_nsec);
    return stamp;
}

} // namespace records
