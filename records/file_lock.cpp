#include "records/file_lock.h"

#include <utility>

#include "records/host_paths.h"
#include "records/text.h"

// What the lock files are and say, the same on every host; taking and giving back the lock
// is the host's (file_lock_posix.cpp).
namespace records {

namespace {

constexpr std::string_view kPrefix = "~";
constexpr std::string_view kSuffix = ".lock";
// Room left for the target's name inside a host file name of 255 bytes, as for the
// temporary files.
constexpr std::size_t kTargetNameRoom = 200;

constexpr std::string_view kUserKey = "utente=";
constexpr std::string_view kComputerKey = "computer=";
constexpr std::string_view kProcessKey = "processo=";
constexpr std::string_view kSinceKey = "dal=";

// "2017-03-15 10:32:05" as "15/03/2017 alle 10:32"; empty for any other text.
std::string shownTime(std::string_view since)
{
    if (since.size() < 16 || since[4] != '-' || since[7] != '-' || since[10] != ' ' || since[13] != ':')
        return {};
    for (const std::size_t digit : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u, 11u, 12u, 14u, 15u}) {
        if (since[digit] < '0' || since[digit] > '9')
            return {};
    }
    return std::string(since.substr(8, 2)) + "/" + std::string(since.substr(5, 2)) + "/"
        + std::string(since.substr(0, 4)) + " alle " + std::string(since.substr(11, 5));
}

} // namespace

FileLock::FileLock(FileLock&& other) noexcept
    : m_state(std::exchange(other.m_state, State::Released))
    , m_owner(std::move(other.m_owner))
    , m_folder(std::exchange(other.m_folder, -1))
    , m_descriptor(std::exchange(other.m_descriptor, -1))
    , m_name(std::move(other.m_name))
    , m_entry(std::exchange(other.m_entry, -1))
{
}

FileLock& FileLock::operator=(FileLock&& other) noexcept
{
    if (this != &other) {
        release();
        m_state = std::exchange(other.m_state, State::Released);
        m_owner = std::move(other.m_owner);
        m_folder = std::exchange(other.m_folder, -1);
        m_descriptor = std::exchange(other.m_descriptor, -1);
        m_name = std::move(other.m_name);
        m_entry = std::exchange(other.m_entry, -1);
    }
    return *this;
}

std::string FileLock::lockFileName(std::string_view targetName)
{
    std::size_t keep = std::min(targetName.size(), kTargetNameRoom);
    // Never cut a UTF-8 character in two.
    while (keep > 0 && keep < targetName.size() && (static_cast<unsigned char>(targetName[keep]) & 0xC0) == 0x80)
        --keep;
    std::string name(kPrefix);
    name.append(targetName.substr(0, keep));
    name.append(kSuffix);
    return name;
}

bool FileLock::isLockFileName(std::string_view name)
{
    return name.size() > kPrefix.size() + kSuffix.size() && name.starts_with(kPrefix) && name.ends_with(kSuffix);
}

std::string FileLock::ownerText(const LockOwner& owner)
{
    std::string text;
    const auto line = [&text](std::string_view key, std::string_view value) {
        text.append(key);
        text.append(value);
        text.append("\r\n");
    };
    line(kUserKey, owner.user);
    line(kComputerKey, owner.computer);
    line(kProcessKey, std::to_string(owner.process));
    line(kSinceKey, owner.since);
    return text;
}

LockOwner FileLock::parseOwner(std::string_view text)
{
    LockOwner owner;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        // A text that names nothing shown (a control character) is no owner's name.
        if (hasControlCharacter(line))
            continue;
        if (line.starts_with(kUserKey))
            owner.user = std::string(line.substr(kUserKey.size()));
        else if (line.starts_with(kComputerKey))
            owner.computer = std::string(line.substr(kComputerKey.size()));
        else if (line.starts_with(kSinceKey))
            owner.since = std::string(line.substr(kSinceKey.size()));
        else if (line.starts_with(kProcessKey) && line.size() > kProcessKey.size() && line.size() < kProcessKey.size() + 12
                 && allDigits(line.substr(kProcessKey.size())))
            owner.process = std::stoll(std::string(line.substr(kProcessKey.size())));
    }
    return owner;
}

std::string inUseMessage(std::string_view fileName, const LockOwner& owner)
{
    std::string who;
    if (!owner.known()) {
        who = "un altro programma";
    } else {
        who = owner.user.empty() ? "un utente" : owner.user;
        if (!owner.computer.empty())
            who += " su " + owner.computer;
        if (const std::string since = shownTime(owner.since); !since.empty())
            who += " dal " + since;
    }
    return "Il file " + std::string(fileName) + " e' in uso da " + who + " ";
}

} // namespace records
