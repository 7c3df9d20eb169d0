#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "records/file_lock.h"
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

// The lock file of a program that was killed names it still, but its lock went with it.
TEST(FileLock, ALockFileLeftBehindBlocksNobody)
{
    TempRoot root;
    root.write("c/TCU117", "an earlier file");
    root.write("c/~TCU117.lock", "utente=mario\r\ncomputer=UFFICIO2\r\nprocesso=1\r\ndal=2017-03-15 10:32:05\r\n");
    FileLock lock;
    ASSERT_EQ(lock.acquire(root.path() / "c/TCU117"), FileLock::State::Held);
    EXPECT_EQ(FileLock::parseOwner(root.read("c/~TCU117.lock")).process, ::getpid());
    lock.release();
    EXPECT_EQ(namesIn(root.path() / "c"), std::vector<std::string>{"TCU117"});
}

TEST(FileLock, WhereNoLockCanBeHadTheWorkGoesOnUnguardedAndNothingIsTouched)
{
    TempRoot root;
    const fs::path outside = root.write("outside", "not ours");
    fs::create_directories(root.path() / "c/folder/~TCU117.lock");
    fs::create_directories(root.path() / "c/link");
    fs::create_symlink(outside, root.path() / "c/link/~TCU117.lock");
    fs::create_directories(root.path() / "c/fifo");
    ASSERT_EQ(::mkfifo((root.path() / "c/fifo/~TCU117.lock").c_str(), 0644), 0);
    for (const char* folder : {"c/missing", "c/folder", "c/link", "c/fifo"}) {
        SCOPED_TRACE(folder);
        FileLock lock;
        EXPECT_EQ(lock.acquire(root.path() / folder / "TCU117"), FileLock::State::Unavailable);
        lock.release();
    }
    EXPECT_FALSE(fs::exists(root.path() / "c/missing"));
    EXPECT_TRUE(fs::is_directory(root.path() / "c/folder/~TCU117.lock"));
    EXPECT_TRUE(fs::is_symlink(root.path() / "c/link/~TCU117.lock"));
    EXPECT_EQ(root.read("outside"), "not ours");
    EXPECT_TRUE(fs::is_fifo(root.path() / "c/fifo/~TCU117.lock"));
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

TEST(FileStamp, ARewriteACutOrAReplacementChangesTheStampAndNothingElseDoes)
{
    TempRoot root;
    const fs::path archive = root.write("c/DCU1.017", std::string(3000, 'A'));
    const auto before = records::stampOf(archive);
    ASSERT_TRUE(before.has_value());
    const auto sameAgain = records::stampOf(archive);
    EXPECT_EQ(sameAgain, before);
    (void)TempRoot::readFile(archive);
    EXPECT_EQ(records::stampOf(archive), before) << "reading changes nothing";

    const struct {
        const char* what;
        void (*change)(const fs::path& file);
    } changes[] = {
        {"a later modification time", [](const fs::path& file) {
             const timespec times[2] = {{0, UTIME_OMIT}, {2'000'000'000, 0}};
             ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
         }},
        {"an earlier modification time", [](const fs::path& file) {
             const timespec times[2] = {{0, UTIME_OMIT}, {1'000'000'000, 0}};
             ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
         }},
        {"cut short", [](const fs::path& file) { fs::resize_file(file, 1900); }},
        {"replaced by another file", [](const fs::path& file) {
             const fs::path other = file.parent_path() / "new";
             {
                 std::ofstream out(other, std::ios::binary);
                 out << std::string(3000, 'A');
             }
             fs::rename(other, file);
         }},
    };
    for (const auto& c : changes) {
        root.write("c/DCU1.017", std::string(3000, 'A'));
        const auto stamp = records::stampOf(archive);
        c.change(archive);
        EXPECT_NE(records::stampOf(archive), stamp) << c.what;
    }
    fs::remove(archive);
    EXPECT_FALSE(records::stampOf(archive).has_value());
}
