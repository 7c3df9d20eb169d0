#include "records/output_file.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include "records/file_lock.h"
#include "records/temporary_files.h"

namespace fs = std::filesystem;

namespace records {

namespace {

constexpr std::string_view kPrefix = "~";
constexpr std::string_view kSuffix = ".tmp";
constexpr std::size_t kTagLength = 6;
// Room left for the target's name inside a host file name of 255 bytes.
constexpr std::size_t kTargetNameRoom = 200;
// Names tried before giving up, should every one be taken.
constexpr int kAttempts = 100;

// A new file, and only a new one: an entry of the name, a link to nothing included, is
// never opened or followed.
constexpr int kExclusiveCreation = O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
constexpr mode_t kNewFileMode = 0644;

constexpr char kTagLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

bool isTagLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

std::string randomTag(int attempt)
{
    unsigned char bytes[kTagLength] = {};
    if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
        // No random bytes yet (early at boot): the clock and the process number still make
        // a clash unlikely, and a clash only costs another try.
        auto mix = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count())
            ^ (static_cast<unsigned long long>(::getpid()) << 20)
            ^ (static_cast<unsigned long long>(attempt + 1) * 0x9E3779B97F4A7C15ull);
        for (unsigned char& byte : bytes) {
            byte = static_cast<unsigned char>(mix);
            mix = mix * 6364136223846793005ull + 1442695040888963407ull;
            byte ^= static_cast<unsigned char>(mix >> 33);
        }
    }
    std::string tag;
    for (const unsigned char byte : bytes)
        tag.push_back(kTagLetters[byte % (sizeof kTagLetters - 1)]);
    return tag;
}

// Locks the temporary file just made, so that the next run in its folder knows it is being
// written (see removeLeftovers()). False when that run holds it, or has removed it already;
// true also where the file system gives no lock: the file is then written unguarded, and no
// run can take it for a leftover, since none can lock it either.
bool lockWhileWritten(int folder, const std::string& name, int descriptor)
{
    switch (file_locks::tryLock(descriptor)) {
    case file_locks::Attempt::Busy:
        return false;
    case file_locks::Attempt::Unavailable:
        return true;
    case file_locks::Attempt::Taken:
        break;
    }
    struct stat named {};
    struct stat open {};
    return ::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && ::fstat(descriptor, &open) == 0
        && named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

} // namespace

std::string OutputFile::temporaryName(std::string_view targetName, std::string_view tag)
{
    std::size_t keep = std::min(targetName.size(), kTargetNameRoom);
    // Never cut a UTF-8 character in two.
    while (keep > 0 && keep < targetName.size() && (static_cast<unsigned char>(targetName[keep]) & 0xC0) == 0x80)
        --keep;
    std::string name(kPrefix);
    name.append(targetName.substr(0, keep));
    name.push_back('.');
    name.append(tag);
    name.append(kSuffix);
    return name;
}

bool OutputFile::isTemporaryName(std::string_view name)
{
    const std::size_t fixed = kPrefix.size() + 1 + kTagLength + kSuffix.size();
    if (name.size() < fixed || !name.starts_with(kPrefix) || !name.ends_with(kSuffix))
        return false;
    const std::string_view tag = name.substr(name.size() - kSuffix.size() - kTagLength, kTagLength);
    if (name[name.size() - kSuffix.size() - kTagLength - 1] != '.')
        return false;
    for (const char c : tag) {
        if (!isTagLetter(c))
            return false;
    }
    return true;
}

std::vector<std::string> OutputFile::removeLeftovers(const fs::path& folderPath)
{
    const int folder = ::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return {};
    std::vector<std::string> candidates;
    if (const int listing = ::fcntl(folder, F_DUPFD_CLOEXEC, 0); listing >= 0) {
        if (DIR* entries = ::fdopendir(listing)) {
            while (const dirent* entry = ::readdir(entries)) {
                const std::string_view name = entry->d_name;
                if (isTemporaryName(name) || FileLock::isLockFileName(name))
                    candidates.emplace_back(name);
            }
            ::closedir(entries);
        } else {
            ::close(listing);
        }
    }
    std::sort(candidates.begin(), candidates.end());

    std::vector<std::string> removed;
    for (const std::string& name : candidates) {
        // Only a plain file is looked at: a link is never followed, a FIFO never waited on.
        // Reading is enough to share its lock, so that the files of every user are looked at.
        const int descriptor = ::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (descriptor < 0)
            continue;
        struct stat open {};
        struct stat named {};
        // Removed while its lock is shared here, and only while the name is still the file
        // locked: a writer that locks its new file finds out whether it was taken for a
        // leftover.
        if (::fstat(descriptor, &open) == 0 && S_ISREG(open.st_mode)
            && file_locks::tryShare(descriptor) == file_locks::Attempt::Taken
            && ::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_dev == open.st_dev
            && named.st_ino == open.st_ino && ::unlinkat(folder, name.c_str(), 0) == 0 && isTemporaryName(name))
            removed.push_back(name);
        ::close(descriptor);
    }
    ::close(folder);
    return removed;
}

int createExclusively(const fs::path& path)
{
    return ::open(path.c_str(), kExclusiveCreation, kNewFileMode);
}

fs::path OutputFile::temporaryPath() const
{
    if (m_temporaryName.empty())
        return {};
    return m_target.parent_path() / m_temporaryName;
}

int OutputFile::create(const fs::path& target, const UniqueTags& uniqueTags)
{
    discard();
    const std::string name = target.filename().string();
    if (name.empty() || name == "." || name == "..")
        return EISDIR; // the path names a folder
    const fs::path folderPath = target.has_parent_path() ? target.parent_path() : fs::path(".");

    // From the creation to the listing in the table no stop signal may come in between.
    const temporary_files::SignalBlock block;
    const int folder = ::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return errno;
    const auto fail = [&](int error) {
        ::close(folder);
        return error;
    };

    // The target is looked at before any byte is written, so that a run never writes a
    // whole file only to learn that it cannot have that name.
    struct stat existing {};
    bool keepMode = false;
    if (::fstatat(folder, name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(existing.st_mode))
            return fail(EISDIR);
        keepMode = S_ISREG(existing.st_mode);
    } else if (errno != ENOENT) {
        return fail(errno);
    }

    int descriptor = -1;
    std::string temporary;
    for (int attempt = 0; attempt < kAttempts && descriptor < 0; ++attempt) {
        temporary = temporaryName(name, uniqueTags ? uniqueTags() : randomTag(attempt));
        descriptor = ::openat(folder, temporary.c_str(), kExclusiveCreation, kNewFileMode);
        if (descriptor < 0 && errno != EEXIST && errno != EINTR)
            return fail(errno);
        if (descriptor >= 0 && !lockWhileWritten(folder, temporary, descriptor)) {
            // Another run took it for a file left by a killed run in the instant between
            // its creation and its lock, and removes it: another name is tried.
            ::close(descriptor);
            descriptor = -1;
        }
    }
    if (descriptor < 0)
        return fail(EEXIST);

    const int entry = temporary_files::add(folder, temporary);
    if (entry < 0) {
        ::close(descriptor);
        ::unlinkat(folder, temporary.c_str(), 0);
        return fail(EMFILE);
    }
    if (keepMode)
        ::fchmod(descriptor, existing.st_mode & 0777);

    m_target = target;
    m_targetName = name;
    m_temporaryName = std::move(temporary);
    m_folder = folder;
    m_descriptor = descriptor;
    m_entry = entry;
    return 0;
}

OutputFile::Outcome OutputFile::commit()
{
    if (m_folder < 0)
        return {EBADF, Step::Sync};
    {
        const temporary_files::SignalBlock block;
        int error = 0;
        while (::fsync(m_descriptor) != 0) {
            if (errno == EINTR)
                continue;
            if (errno != EINVAL) // a file system that cannot sync has nothing to push
                error = errno;
            break;
        }
        // The lock goes with the last descriptor of the file: one is kept until the file has
        // its name, so that no run takes it for a leftover meanwhile.
        const int lockHolder = ::fcntl(m_descriptor, F_DUPFD_CLOEXEC, 0);
        // Some file systems report a failed write only when the file is closed.
        if (::close(m_descriptor) != 0 && error == 0 && errno != EINTR)
            error = errno;
        m_descriptor = lockHolder;
        if (error != 0) {
            discard();
            return {error, Step::Sync};
        }
        if (::renameat(m_folder, m_temporaryName.c_str(), m_folder, m_targetName.c_str()) != 0) {
            error = errno;
            discard();
            return {error, Step::Rename};
        }
        if (m_descriptor >= 0)
            ::close(m_descriptor);
        m_descriptor = -1;
        temporary_files::remove(m_entry);
        m_entry = -1;
        m_temporaryName.clear();
    }
    // The new name itself reaches the disk with the folder.
    int error = 0;
    if (::fsync(m_folder) != 0 && errno != EINVAL)
        error = errno;
    release();
    return {error, error == 0 ? Step::None : Step::Sync};
}

void OutputFile::discard()
{
    if (m_folder < 0)
        return;
    const temporary_files::SignalBlock block;
    // Removed while still locked, so that no other run locks it in between.
    if (!m_temporaryName.empty())
        ::unlinkat(m_folder, m_temporaryName.c_str(), 0);
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
    release();
}

void OutputFile::release()
{
    temporary_files::remove(m_entry);
    m_entry = -1;
    if (m_folder >= 0)
        ::close(m_folder);
    m_folder = -1;
    m_temporaryName.clear();
    m_targetName.clear();
}

} // namespace records
