#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace records {

// Who holds a file, as the lock file beside it tells: the user and the computer of the
// program that holds it, the program's process number and since when (local time,
// "2017-03-15 10:32:05"). Texts are Windows-1252.
struct LockOwner {
    std::string user;
    std::string computer;
    std::int64_t process = 0;
    std::string since;

    bool known() const { return !user.empty() || !computer.empty(); }
};

// One clerk at a time per file: while a program holds the lock of a file (the telematic file
// of a CU run, the XML file of a UniEmens series, a register file being saved), every other
// program, and every other object of the same program, that asks for it is refused and
// learns who holds it.
//
// The lock is a lock file beside the target ("~" + the target's name + ".lock") that names
// its holder, and the system's lock on that lock file, which alone decides. That lock works
// between the computers that share a folder, and it goes with the program that held it, also
// when the program is killed or its computer stops: a lock file left behind blocks nobody,
// the next holder takes it over. The holder removes the lock file when it releases the lock;
// so does a stop by a signal (see temporary_files.h).
//
// Where no lock can be had (the folder is missing or may not be written, the name is taken
// by something that is not a plain file, the file system knows no locks) the state is
// Unavailable and the work goes on unguarded, as it always did: whatever then fails on the
// target itself is told with its usual message.
class FileLock {
public:
    enum class State {
        Released,    // not asked for, or given back
        Held,        // this object holds the lock
        InUse,       // another program, or another object, holds it: see owner()
        Unavailable, // no lock can be had there
    };

    FileLock() = default;
    ~FileLock() { release(); }
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Asks once for the lock of the file `target` (a host path; the file need not exist),
    // without waiting. A lock this object holds is released first.
    State acquire(const std::filesystem::path& target);
    // Removes the lock file and gives the lock back; nothing when none is held.
    void release();

    State state() const { return m_state; }
    bool held() const { return m_state == State::Held; }
    bool inUse() const { return m_state == State::InUse; }
    // InUse: the holder, as far as its lock file tells (nothing known while the holder has
    // not written it yet).
    const LockOwner& owner() const { return m_owner; }

    // The lock file's name for a target named `targetName` (a host name; a long one is cut
    // as the temporary files cut it), and whether a name is one of those.
    static std::string lockFileName(std::string_view targetName);
    static bool isLockFileName(std::string_view name);
    // The lock file's text for `owner` (CR LF lines "utente=", "computer=", "processo=",
    // "dal="), and the owner a text names (what it lacks stays empty).
    static std::string ownerText(const LockOwner& owner);
    static LockOwner parseOwner(std::string_view text);
    // This program, now.
    static LockOwner thisProgram();

private:
    State m_state = State::Released;
    LockOwner m_owner;
    int m_folder = -1;     // the lock file's folder, open while the lock is held
    int m_descriptor = -1; // the lock file, open while the lock is held
    std::string m_name;    // the lock file's name in its folder
    int m_entry = -1;      // in the table of files that a stop removes
};

// What the second clerk is told: "Il file " + name + " e' in uso da " + who + " ", `fileName`
// in the installation's notation, who as the lock file names the holder ("mario su UFFICIO2
// dal 15/03/2017 alle 10:32"), or "un altro programma" when it names nobody.
std::string inUseMessage(std::string_view fileName, const LockOwner& owner);

// The exclusive lock of one opening of a file, as the lock files and the temporary files of
// the outputs hold it.
namespace file_locks {

enum class Attempt {
    Taken,       // held by this opening until its last descriptor is closed
    Busy,        // another opening holds it, in this program or another one
    Unavailable, // the file system gives no lock
};

// Tries once, without waiting, to take the lock of the whole file open on `descriptor` (open
// for writing): what a writer or a lock holder takes.
Attempt tryLock(int descriptor);
// Tries once, without waiting, to take a share of the lock of the whole file open on
// `descriptor` (open for reading will do): it is had only while nobody holds the lock, and
// keeps everyone from taking it meanwhile. What a run takes that removes the files of
// writers that are gone, whoever made them.
Attempt tryShare(int descriptor);

} // namespace file_locks

// What tells one state of a file on the disk from another: which file has the name, its size,
// and when its bytes and its entry last changed. A rewrite in place changes the times (and
// mostly the size), a new file put in its place the identity.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    std::int64_t changedSeconds = 0;
    std::int64_t changedNanoseconds = 0;

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp of the file `path` (a host path) as its file system tells it now: the file is
// opened afresh (for reading, without waiting on a FIFO), which makes a shared folder ask its
// server rather than answer from what it keeps. Nothing when it cannot be opened.
std::optional<FileStamp> stampOf(const std::filesystem::path& path);

} // namespace records
