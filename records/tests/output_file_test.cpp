#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "records/file_lock.h"
#include "records/host_paths.h"
#include "records/output_file.h"
#include "records/record_file.h"
#include "records/temporary_files.h"
#include "records/write_behind.h"
#include "testing/temp_root.h"

using records::OutputFile;
using records::testing::TempRoot;
namespace fs = std::filesystem;

TEST(OutputFile, TemporaryNamesAreRecognisableAndNeverTooLong)
{
    EXPECT_EQ(OutputFile::temporaryName("TCU117", "aB3xY9"), "~TCU117.aB3xY9.tmp");
    EXPECT_TRUE(OutputFile::isTemporaryName("~TCU117.aB3xY9.tmp"));
    EXPECT_TRUE(OutputFile::isTemporaryName("~report.txt.000000.tmp"));
    for (const char* name :
         {"TCU117", "TCU117.tmp", "emens.tmp", "~TCU117.tmp", "~TCU117.aB3-Y9.tmp", "TCU117.aB3xY9.tmp"})
        EXPECT_FALSE(OutputFile::isTemporaryName(name)) << name;

    // A name of 255 bytes keeps its first 200; a character of two bytes is never cut in two.
    const std::string longName = std::string(199, 'a') + "\xC3\xA8" + std::string(54, 'b');
    const std::string temporary = OutputFile::temporaryName(longName, "QQQQQQ");
    EXPECT_EQ(temporary, "~" + std::string(199, 'a') + ".QQQQQQ.tmp");
    EXPECT_TRUE(OutputFile::isTemporaryName(temporary));
}

TEST(OutputFile, ALinkPlantedUnderATemporaryNameIsPassedOverNotFollowed)
{
    TempRoot root;
    const fs::path outside = root.write("outside.dat", "not ours");
    const fs::path folder = root.path() / "c";
    fs::create_symlink(outside, folder / "~TCU117.AAAAAA.tmp");
    root.write("c/~TCU117.BBBBBB.tmp", "a file of somebody else");
    const char* tags[] = {"AAAAAA", "BBBBBB", "CCCCCC"};
    int next = 0;

    OutputFile file;
    ASSERT_EQ(file.create(folder / "TCU117", [&] { return std::string(tags[next++]); }), 0);
    EXPECT_EQ(file.temporaryPath(), folder / "~TCU117.CCCCCC.tmp");
    ASSERT_EQ(::write(file.descriptor(), "new", 3), 3);
    EXPECT_EQ(file.commit().error, 0);

    EXPECT_EQ(root.read("outside.dat"), "not ours");
    EXPECT_TRUE(fs::is_symlink(folder / "~TCU117.AAAAAA.tmp"));
    EXPECT_EQ(root.read("c/~TCU117.BBBBBB.tmp"), "a file of somebody else");
    EXPECT_EQ(root.read("c/TCU117"), "new");
    EXPECT_FALSE(fs::exists(folder / "~TCU117.CCCCCC.tmp"));
}

namespace {

// What a run does before it is stopped: an earlier telematic file lies in the folder, and
// the new one, whose lock the run holds, is half written, in part by a writer thread that is
// still there. Tells `ready` when the file is half written, then waits for a word on `go` (a
// signal ends the wait) and ends the program with exit() without closing its files.
[[noreturn]] void writeUntilStopped(const fs::path& installationRoot, int ready, int go)
{
    // SIGQUIT would leave a core file behind.
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    records::PathMapper paths(installationRoot);
    records::FileLock lock;
    const bool held = lock.acquire(installationRoot / "c/TCU117") == records::FileLock::State::Held;
    records::NewFile file = records::NewFile::ofRecords(paths, "c:\\TCU117", 4);
    const bool created = held && file.create().ok();
    const bool first = file.write(1, "AAAA").ok();
    records::WriteBehind behind;
    std::string block = "BBBB";
    const bool written = behind.write(file.duplicateDescriptor(), block, 4) && behind.wait();
    const char state = created && first && written ? 'y' : 'n';
    char word = 0;
    if (::write(ready, &state, 1) != 1 || ::read(go, &word, 1) != 1)
        ::_exit(90);
    std::exit(7);
}

} // namespace

// A stop leaves neither the temporary file nor the lock; a kill, which nothing can catch,
// leaves both, and the next run in the folder removes them, but not a file still being written.
TEST(OutputFile, AStopBySignalOrExitRemovesTheTemporaryFileAndEndsTheProgramAsBefore)
{
    const struct {
        const char* what;
        int signal; // 0: the program calls exit()
    } stops[] = {{"SIGTERM", SIGTERM}, {"SIGINT", SIGINT}, {"SIGHUP", SIGHUP},
                 {"SIGQUIT", SIGQUIT}, {"exit", 0},         {"SIGKILL", SIGKILL}};
    for (const auto& stop : stops) {
        TempRoot root;
        root.write("c/TCU117", "an earlier file");
        int ready[2];
        int go[2];
        ASSERT_EQ(::pipe(ready), 0);
        ASSERT_EQ(::pipe(go), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            writeUntilStopped(root.path(), ready[1], go[0]);
        char state = 0;
        ASSERT_EQ(::read(ready[0], &state, 1), 1) << stop.what;
        EXPECT_EQ(state, 'y') << stop.what;
        bool temporaryWhileWriting = false;
        for (const auto& entry : fs::directory_iterator(root.path() / "c"))
            temporaryWhileWriting |= OutputFile::isTemporaryName(entry.path().filename().string());
        EXPECT_TRUE(temporaryWhileWriting) << stop.what;
        // Held by the other program, which the lock file names.
        records::FileLock lock;
        EXPECT_EQ(lock.acquire(root.path() / "c/TCU117"), records::FileLock::State::InUse) << stop.what;
        EXPECT_EQ(lock.owner().process, child) << stop.what;

        if (stop.signal != 0)
            ::kill(child, stop.signal);
        else
            EXPECT_EQ(::write(go[1], "x", 1), 1);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        if (stop.signal != 0) {
            ASSERT_TRUE(WIFSIGNALED(status)) << stop.what;
            EXPECT_EQ(WTERMSIG(status), stop.signal) << stop.what;
        } else {
            ASSERT_TRUE(WIFEXITED(status)) << stop.what;
            EXPECT_EQ(WEXITSTATUS(status), 7);
        }
        for (const int end : {ready[0], ready[1], go[0], go[1]})
            ::close(end);
        if (stop.signal == SIGKILL) {
            const std::vector<std::string> killed = root.temporaryFilesIn("c");
            ASSERT_EQ(killed.size(), 1u);
            EXPECT_TRUE(fs::exists(root.path() / "c/~TCU117.lock"));
            OutputFile beingWritten;
            ASSERT_EQ(beingWritten.create(root.path() / "c/OTHER"), 0);
            EXPECT_EQ(OutputFile::removeLeftovers(root.path() / "c"), killed);
            EXPECT_EQ(root.temporaryFilesIn("c"), std::vector<std::string>{beingWritten.temporaryPath().filename().string()});
            beingWritten.discard();
        }
        std::vector<std::string> left;
        for (const auto& entry : fs::directory_iterator(root.path() / "c"))
            left.push_back(entry.path().filename().string());
        EXPECT_EQ(left, std::vector<std::string>{"TCU117"}) << stop.what;
        EXPECT_EQ(root.read("c/TCU117"), "an earlier file") << stop.what;
    }
}
