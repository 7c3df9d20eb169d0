// A CU run among other runs and programs: two clerks writing one telematic file, an archive
// that another program rewrites while the run reads it, the files of a run that was killed.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <latch>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "cu/telematic/run.h"
#include "cu/telematic/tests/telematic_test_support.h"
#include "testing/installation_values.h"

using namespace cu::telematic;
using namespace cu::telematic::testing;
using records::testing::RecordingLauncher;
using records::testing::ScriptedPrompter;
namespace fs = std::filesystem;

namespace {

constexpr const char* kDataFolder = "c/nolv/nv770/2016/dati/";
constexpr const char* kSuccess = "Memorizazione regolarmente effettuata...";
constexpr const char* kInUse = "Il file C:\\nolv\\nv770\\2016\\dati\\TCU317 e' in uso da ";

// One clerk: the installation as his program sees it, his answers and what he was shown.
struct Clerk {
    explicit Clerk(const fs::path& root)
        : shared(root)
    {
        shared.installation.drivePrefix = "C:";
        shared.installation.dataDirectory = "C:\\nolv\\nv770\\2016\\dati\\";
    }
    RunResult run(const RunProgress& progress = {})
    {
        RunRequest request;
        request.archive = "3";
        request.outputFolder = "C:\\nolv\\nv770\\2016\\dati\\";
        request.outputName = "TCU317";
        return cu::telematic::run(shared.workplace(prompter, launcher), request, progress);
    }

    records::testing::InstallationValues shared;
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
};

struct RunGuardTest : ::testing::Test {
    records::testing::TempRoot root;
    const fs::path data = root.path() / kDataFolder;

    void SetUp() override
    {
        root.write(std::string(kDataFolder) + "FCU3.017",
                   payroll::packHeaderRecord(sampleHeader()) + secondHeaderRecord('1', "0003"));
        root.write(std::string(kDataFolder) + "DCU3.017", archive());
    }

    // Rossi, Bianchi (a record not in use) and Neri; Verdi lies past the count of the header,
    // where the run never reads.
    static std::string archive()
    {
        return archiveFile({payroll::packArchiveRecord(sampleEmployee("RSSMRA70A01F205X", "ROSSI", "MARIO")),
                            payroll::packArchiveRecord(sampleEmployee("BNCGNN80A01F205Y", "BIANCHI", "GIANNI"), ' '),
                            payroll::packArchiveRecord(sampleEmployee("NREFNC65A41F205W", "NERI", "FRANCA")),
                            payroll::packArchiveRecord(sampleEmployee("VRDLGU75A01F205Z", "VERDI", "LUIGI"))});
    }

    // The names in the data folder, in order.
    std::vector<std::string> names() const
    {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(data))
            found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }
};

} // namespace

// Both runs are started at once, and the first to write a record waits until the other run has
// ended: where the file's lock did not keep them apart, both would be writing the file now.
TEST_F(RunGuardTest, TwoRunsOfOneFileNeverBothStoreIt)
{
    Clerk alone(root.path());
    ASSERT_EQ(alone.run().outcome, RunOutcome::Completed);
    const std::string expected = root.read(std::string(kDataFolder) + "TCU317");
    int wins[2] = {0, 0};
    int refused = 0;
    for (int round = 0; round < 100; ++round) {
        SCOPED_TRACE(round);
        fs::remove(data / "TCU317");
        std::mutex mutex;
        std::condition_variable changed;
        int writing = 0;
        int ended = 0;
        bool together = false;
        std::latch start(2);
        Clerk clerks[2] = {Clerk(root.path()), Clerk(root.path())};
        RunResult results[2];
        const auto work = [&](int k) {
            bool first = true;
            RunProgress progress;
            progress.advanced = [&](std::int64_t, double) {
                if (!std::exchange(first, false))
                    return;
                std::unique_lock lock(mutex);
                together |= ++writing == 2;
                changed.notify_all();
                changed.wait_for(lock, std::chrono::seconds(10), [&] { return ended > 0 || writing == 2; });
            };
            start.arrive_and_wait();
            results[k] = clerks[k].run(progress);
            const std::lock_guard lock(mutex);
            ++ended;
            changed.notify_all();
        };
        std::thread other(work, 1);
        work(0);
        other.join();

        EXPECT_FALSE(together);
        const int winner = results[0].outcome == RunOutcome::Completed ? 0 : 1;
        ++wins[winner];
        const Clerk& loser = clerks[1 - winner];
        refused += loser.prompter.shown.size() == 1 && loser.prompter.last().text.starts_with(kInUse) ? 1 : 0;
        EXPECT_EQ(results[winner].outcome, RunOutcome::Completed);
        EXPECT_EQ(clerks[winner].prompter.texts(), std::vector<std::string>{kSuccess});
        EXPECT_EQ(results[1 - winner].outcome, RunOutcome::Stopped);
        ASSERT_EQ(loser.prompter.shown.size(), 1u);
        EXPECT_TRUE(loser.prompter.last().text.starts_with(kInUse)) << loser.prompter.last().text;
        EXPECT_EQ(loser.prompter.last().title, "Accesso");
        EXPECT_EQ(loser.prompter.last().icon, records::Icon::Stop);
        EXPECT_EQ(root.read(std::string(kDataFolder) + "TCU317"), expected);
        EXPECT_EQ(names(), (std::vector<std::string>{"DCU3.017", "FCU3.017", "TCU317"}));
    }
    std::cout << "two runs of one file, 100 rounds: stored by the first clerk " << wins[0] << " times, by the second "
              << wins[1] << " times; the other run refused as in use " << refused << " times\n";
}

// Another program changes the CU files after the run has stamped them: the run stops before
// the file gets its name, and an earlier telematic file stays as it was.
TEST_F(RunGuardTest, ACuFileChangedUnderTheRunStopsItAndStoresNothing)
{
    const auto later = [](const fs::path& file) {
        const timespec times[2] = {{0, UTIME_OMIT}, {2'000'000'000, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    };
    const auto rewriteInPlace = [](const fs::path& file, std::size_t at) {
        // Past the clock's tick, so that the system can tell the write's time from the run's
        // start, as any rewrite that takes longer than a few milliseconds is.
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
        std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
        out.seekp(static_cast<std::streamoff>(at));
        out << "VRDLGU75A01F205Z";
    };
    const struct {
        const char* what;
        const char* file;
        std::function<void(const fs::path& file)> change;
    } cases[] = {
        {"rewritten in place", "DCU3.017", [&](const fs::path& file) { rewriteInPlace(file, 6000 * 2 + 1); }},
        {"cut short", "DCU3.017", [](const fs::path& file) { fs::resize_file(file, 3 * 6000); }},
        {"grown", "DCU3.017",
         [](const fs::path& file) {
             std::ofstream out(file, std::ios::binary | std::ios::app);
             out << payroll::packArchiveRecord(sampleEmployee("VRDLGU75A01F205Z", "VERDI", "LUIGI"));
         }},
        {"replaced by a new archive", "DCU3.017",
         [](const fs::path& file) {
             const fs::path made = file.parent_path() / "DCU3.new";
             std::ofstream(made, std::ios::binary) << archive();
             fs::rename(made, file);
         }},
        {"touched", "DCU3.017", later},
        {"header rewritten in place", "FCU3.017", [&](const fs::path& file) { rewriteInPlace(file, 2); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        root.write(std::string(kDataFolder) + "TCU317", "an earlier file");
        Clerk clerk(root.path());
        bool changed = false;
        RunProgress progress;
        progress.advanced = [&](std::int64_t, double) {
            if (!std::exchange(changed, true))
                c.change(data / c.file);
        };
        const RunResult result = clerk.run(progress);
        EXPECT_EQ(result.outcome, RunOutcome::Stopped);
        EXPECT_EQ(result.stopMessage, "L'archivio C:\\nolv\\nv770\\2016\\dati\\" + std::string(c.file)
                                          + " e' stato modificato durante la creazione del file telematico: nessun "
                                            "file memorizzato ");
        ASSERT_EQ(clerk.prompter.shown.size(), 1u);
        EXPECT_EQ(clerk.prompter.last().title, "Accesso");
        EXPECT_EQ(root.read(std::string(kDataFolder) + "TCU317"), "an earlier file");
        EXPECT_EQ(names(), (std::vector<std::string>{"DCU3.017", "FCU3.017", "TCU317"}));
    }
}

// A run killed while it writes (SIGKILL, a power cut) leaves its temporary file and its lock
// file; the next run in the folder removes both and says so.
TEST_F(RunGuardTest, AKilledRunsFilesAreRemovedByTheNextRunWhichSaysSo)
{
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Clerk killed(root.path());
        RunProgress progress;
        progress.advanced = [](std::int64_t, double) { ::raise(SIGKILL); };
        killed.run(progress);
        ::_exit(90);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    const std::vector<std::string> left = root.temporaryFilesIn(kDataFolder);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(fs::exists(data / "~TCU317.lock"));

    Clerk next(root.path());
    ASSERT_EQ(next.run().outcome, RunOutcome::Completed);
    ASSERT_EQ(next.prompter.shown.size(), 2u);
    EXPECT_EQ(next.prompter.shown[0].text,
              "Rimosso il file temporaneo " + left[0] + " lasciato da un'elaborazione interrotta ");
    EXPECT_EQ(next.prompter.shown[0].icon, records::Icon::Information);
    EXPECT_EQ(next.prompter.shown[1].text, kSuccess);
    EXPECT_EQ(names(), (std::vector<std::string>{"DCU3.017", "FCU3.017", "TCU317"}));
    EXPECT_EQ(recordTypes(splitRecords(root.read(std::string(kDataFolder) + "TCU317"))), "ABDGDGZ");
}
