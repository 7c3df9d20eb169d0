#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "records/file_lock.h"
#include "records/output_file.h"
#include "testing/temp_root.h"

using records::FileLock;
using records::LockOwner;
using records::testing::TempRoot;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(FileLock, OneHolderAtATimeAndTheOthersLearnWho)
{
    TempRoot root;
    const fs::path target = root.path() / "c/TCU117";
    FileLock first;
    ASSERT_EQ(first.acquire(target), FileLock::State::Held);
    EXPECT_EQ(namesIn(root.path() / "c"), std::vector<std::string>{"~TCU117.lock"});
    const LockOwner written = FileLock::parseOwner(root.read("c/~TCU117.lock"));
    EXPECT_EQ(written.process, ::getpid());
    EXPECT_FALSE(written.user.empty());

    // Another object of the same program is kept off like another program.
    FileLock second;
    EXPECT_EQ(second.acquire(target), FileLock::State::InUse);
    EXPECT_EQ(second.owner().user, written.user);
    EXPECT_EQ(second.owner().computer, written.computer);
    EXPECT_EQ(second.owner().process, ::getpid());
    EXPECT_TRUE(records::inUseMessage("C:\\TCU117", second.owner())
                    .starts_with("Il file C:\\TCU117 e' in uso da " + written.user + " su " + written.computer + " dal "));

    // Moved, the lock stays held; given back, the lock file goes and the next one takes it.
    FileLock moved = std::move(first);
    EXPECT_EQ(second.acquire(target), FileLock::State::InUse);
    moved.release();
    EXPECT_TRUE(namesIn(root.path() / "c").empty());
    EXPECT_EQ(second.acquire(target), FileLock::State::Held);
    EXPECT_EQ(FileLock().acquire(target), FileLock::State::InUse);
    second.release();
    EXPECT_TRUE(namesIn(root.path() / "c").empty());
}

TEST(FileLock, TheSecondClerkIsToldWhoHoldsTheFileAsFarAsItsLockFileSays)
{
    const LockOwner mario{"mario", "UFFICIO2", 4242, "2017-03-15 10:32:05"};
    const struct {
        const char* lockFile;
        const char* told;
    } cases[] = {
        {"utente=mario\r\ncomputer=UFFICIO2\r\nprocesso=4242\r\ndal=2017-03-15 10:32:05\r\n",
         "Il file C:\\nolv\\TCU117 e' in uso da mario su UFFICIO2 dal 15/03/2017 alle 10:32 "},
        {"utente=mario\r\ndal=ieri\r\n", "Il file C:\\nolv\\TCU117 e' in uso da mario "},
        {"computer=UFFICIO2\r\n", "Il file C:\\nolv\\TCU117 e' in uso da un utente su UFFICIO2 "},
        // Written by its holder after the lock was taken: for an instant it says nothing.
        {"", "Il file C:\\nolv\\TCU117 e' in uso da un altro programma "},
        {"utente=\x1B[2J\r\n", "Il file C:\\nolv\\TCU117 e' in uso da un altro programma "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(records::inUseMessage("C:\\nolv\\TCU117", FileLock::parseOwner(c.lockFile)), c.told) << c.lockFile;
    EXPECT_EQ(FileLock::ownerText(mario), cases[0].lockFile);
}

// In an office the clerks are different users, and a lock file or a temporary file left by
// one may be written by its maker only: it is honoured while held, and taken over or removed
// once its holder is gone, whoever made it.
TEST(FileLock, AnotherUsersFilesAreHonouredWhileHeldAndRemovedOnceTheirHolderIsGone)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "acting as another user needs root";
    TempRoot root;
    const fs::path folder = root.path() / "c";
    fs::permissions(folder, fs::perms::all);
    FileLock held;
    ASSERT_EQ(held.acquire(folder / "TCU117"), FileLock::State::Held);
    root.write("c/~TCU217.lock", "utente=mario\r\n");
    root.write("c/~TCU217.Ab12Cd.tmp", "A");

    // Another user: 0 when everything is as it should be, else the number of what was not.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(1);
        FileLock other;
        if (other.acquire(folder / "TCU117") != FileLock::State::InUse || other.owner().process != ::getppid())
            ::_exit(2);
        if (other.acquire(folder / "TCU217") != FileLock::State::Held)
            ::_exit(3);
        if (records::OutputFile::removeLeftovers(folder) != std::vector<std::string>{"~TCU217.Ab12Cd.tmp"})
            ::_exit(4);
        other.release();
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(namesIn(folder), std::vector<std::string>{"~TCU117.lock"});
}
