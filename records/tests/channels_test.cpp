#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "records/channels.h"
#include "records/host_paths.h"
#include "records/output_file.h"
#include "records/temporary_files.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_root.h"

using records::Channels;
using records::PathMapper;
using records::testing::ScriptedPrompter;
using records::testing::TempRoot;

namespace {

struct ChannelsTest : ::testing::Test {
    TempRoot root;
    PathMapper paths{root.path()};
    ScriptedPrompter prompter;
    Channels channels{paths, prompter};
};

} // namespace

TEST_F(ChannelsTest, ReadRecordTakesExactlyOneRecord)
{
    root.write("c/data.dat", "0123456789");
    channels.select(3, "c:\\data.dat", 10);
    channels.openBinary();
    channels.setRecordNumber(1);
    channels.readRecord();
    EXPECT_EQ(channels.channel(3).recordBuffer, "0123456789");
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(ChannelsTest, ReadPastTheEndShowsTheMessageAndLeavesTheBufferEmpty)
{
    root.write("c/data.dat", "0123456789");
    channels.select(3, "c:\\data.dat", 10);
    channels.openBinary();
    channels.setRecordNumber(1);
    channels.readRecord();
    channels.setRecordNumber(2);
    channels.readRecord();
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.last().text, "Errore di lettura tipo  62 nel file binario c:\\data.dat al record  2");
    EXPECT_EQ(prompter.last().title, "");
    EXPECT_EQ(prompter.last().icon, records::Icon::None);
    EXPECT_EQ(channels.channel(3).recordBuffer, "");
    EXPECT_EQ(channels.lastError(), 62);
}

TEST_F(ChannelsTest, AShortFileIsAFailedRead)
{
    root.write("c/short.dat", "12345");
    channels.select(1, "c:\\short.dat", 10);
    channels.openBinary();
    channels.setRecordNumber(1);
    channels.readRecord();
    EXPECT_EQ(channels.channel(1).recordBuffer, "");
    EXPECT_EQ(channels.lastError(), 62);
}

TEST_F(ChannelsTest, GetRecordHasItsOwnMessage)
{
    root.write("c/tab.dat", "");
    channels.select(10, "\\tab.dat", 200);
    channels.openBinary();
    channels.setRecordNumber(4);
    channels.getRecord();
    EXPECT_EQ(prompter.last().text, "Errore di lettura tipo  62 nel file \\tab.dat al record  4");
}

TEST_F(ChannelsTest, WriteRecordPlacesTheBufferAtItsRecord)
{
    channels.select(8, "c:\\out.dat", 1900);
    channels.createFile();
    channels.openBinary();
    channels.channel(8).outputBuffer = "ABC";
    channels.setRecordNumber(3);
    channels.writeRecord();
    channels.closeAll();
    const std::string bytes = root.read("c/out.dat");
    ASSERT_EQ(bytes.size(), 3803u);
    EXPECT_EQ(bytes.substr(3800), "ABC");
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(ChannelsTest, AShortOutputBufferLeavesTheRestOfTheSlotAsItWas)
{
    root.write("c/out.dat", "xxxxxxxxxxyyyyyyyyyy");
    channels.select(2, "c:\\out.dat", 10);
    channels.openBinary();
    channels.channel(2).outputBuffer = "AB";
    channels.setRecordNumber(2);
    channels.writeRecord();
    channels.closeAll();
    EXPECT_EQ(root.read("c/out.dat"), "xxxxxxxxxxAByyyyyyyy");
}

TEST_F(ChannelsTest, CreateThenOpenEmptiesAnExistingFile)
{
    root.write("c/old.dat", "old contents");
    channels.select(8, "c:\\old.dat", 10);
    channels.createFile();
    EXPECT_FALSE(channels.isOpen(8));
    channels.openBinary();
    EXPECT_TRUE(channels.isOpen(8));
    channels.closeAll();
    EXPECT_EQ(root.read("c/old.dat"), "");
}

TEST_F(ChannelsTest, CreateInAMissingFolderShowsOneMessageWithPathNotFound)
{
    channels.select(8, "c:\\nowhere\\file.dat", 10);
    channels.createFile();
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.last().text, "Errore tipo  76 nella creazione del file ");
    EXPECT_FALSE(channels.isOpen(8));
    channels.openBinary();
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.last().text, "Errore tipo  76 nell'apertura del  file binarioc:\\nowhere\\file.dat");
}

TEST_F(ChannelsTest, OpenBinaryCreatesAMissingFileEmpty)
{
    channels.select(10, "c:\\disco.ute", 10);
    channels.openBinary();
    EXPECT_TRUE(std::filesystem::exists(root.path() / "c" / "disco.ute"));
    channels.setRecordNumber(1);
    channels.readRecord();
    EXPECT_EQ(prompter.last().text, "Errore di lettura tipo  62 nel file binario c:\\disco.ute al record  1");
}

// A link planted under a name the program creates a file of (to nothing, or to a file of
// somebody else) is never followed: nothing appears, and nothing changes, outside.
TEST_F(ChannelsTest, NoFileIsCreatedOrEmptiedThroughALink)
{
    namespace fs = std::filesystem;
    const fs::path nowhere = root.path() / "fuori" / "nulla.dat";
    const fs::path other = root.write("fuori/altro.dat", "somebody else's");
    const struct {
        const char* what;
        fs::path target;
        std::function<void()> procedure;
        const char* message; // nullptr: none
        bool replaced;       // the link has given way to a file of the program
    } cases[] = {
        {"open binary, link to nothing", nowhere, [&] { channels.openBinary(); },
         "Errore tipo  53 nell'apertura del  file binarioc:\\new.dat", false},
        {"create file, link to nothing", nowhere, [&] { channels.createFile(); }, nullptr, true},
        {"create file, link to a file", other, [&] { channels.createFile(); }, nullptr, true},
        {"open sequential, link to a file", other, [&] { channels.openSequential(); },
         "Errore tipo  75 nell'apertura del file sequenzialec:\\new.dat", false},
        {"open sequential, link to nothing", nowhere, [&] { channels.openSequential(); },
         "Errore tipo  75 nell'apertura del file sequenzialec:\\new.dat", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(root.path() / "c/new.dat");
        fs::create_symlink(c.target, root.path() / "c/new.dat");
        prompter.shown.clear();
        channels.select(4, "c:\\new.dat", 10);
        c.procedure();
        channels.closeAll();
        EXPECT_EQ(prompter.texts(), c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        EXPECT_FALSE(fs::exists(nowhere));
        EXPECT_EQ(root.read("fuori/altro.dat"), "somebody else's");
        EXPECT_EQ(fs::is_symlink(root.path() / "c/new.dat"), !c.replaced);
    }
}

// Reading only: nothing is created, and whatever is not a plain file is refused at once,
// a FIFO without waiting for its writer.
TEST_F(ChannelsTest, OpeningForReadingTakesOnlyAPlainFileThatExists)
{
    namespace fs = std::filesystem;
    root.write("c/short.dat", "12345");
    fs::create_directories(root.path() / "c/folder.dat");
    ASSERT_EQ(::mkfifo((root.path() / "c/fifo.dat").c_str(), 0644), 0);
    fs::create_symlink(root.path() / "fuori/nulla.dat", root.path() / "c/link.dat");
    const struct {
        const char* name;
        int error;
    } cases[] = {
        {"short.dat", 0}, {"missing.dat", 53}, {"link.dat", 53}, {"nofolder\\x.dat", 76},
        {"folder.dat", 75}, {"fifo.dat", 75},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompter.shown.clear();
        channels.select(5, std::string("c:\\") + c.name, 10);
        channels.openBinaryForReading();
        EXPECT_EQ(channels.lastError(), c.error);
        EXPECT_EQ(channels.isOpen(5), c.error == 0);
        const std::vector<std::string> told = {"Errore tipo  " + std::to_string(c.error)
                                               + " nell'apertura del  file binarioc:\\" + c.name};
        EXPECT_EQ(prompter.texts(), c.error == 0 ? std::vector<std::string>{} : told);
        channels.closeAll();
    }
    EXPECT_FALSE(fs::exists(root.path() / "c/missing.dat"));
    EXPECT_FALSE(fs::exists(root.path() / "fuori"));
    EXPECT_EQ(root.read("c/short.dat"), "12345");
}

TEST_F(ChannelsTest, SequentialLinesEndInCrLf)
{
    channels.select(3, "c:\\lines.txt", 128);
    channels.openSequential();
    channels.channel(3).outputBuffer = "<DenunceMensili>";
    channels.writeLine();
    channels.channel(3).outputBuffer = "x";
    channels.writeLine();
    channels.closeAll();
    EXPECT_EQ(root.read("c/lines.txt"), "<DenunceMensili>\r\nx\r\n");
}

TEST_F(ChannelsTest, OpenSequentialMessageHasNoBlankBeforeTheName)
{
    channels.select(3, "c:\\missing\\x.xml", 128);
    channels.openSequential();
    EXPECT_EQ(prompter.last().text, "Errore tipo  76 nell'apertura del file sequenzialec:\\missing\\x.xml");
}

TEST_F(ChannelsTest, WriteLineOnAClosedChannelNamesTheLineCounter)
{
    channels.select(2, "c:\\wnolv\\emens.tmp", 81);
    channels.setLineCounter(7);
    channels.channel(2).outputBuffer = "x";
    channels.writeLine();
    EXPECT_EQ(prompter.last().text, "Errore di scrittura tipo  52 nel file c:\\wnolv\\emens.tmp al record  7");
}

TEST_F(ChannelsTest, ChannelsOutsideTheTableAreRefusedNotOverrun)
{
    for (int bad : {-1, 0, 11, 1000}) {
        prompter.shown.clear();
        channels.select(bad, "c:\\x.dat", 10);
        channels.openBinary();
        channels.setRecordNumber(1);
        channels.readRecord();
        channels.writeRecord();
        channels.createFile();
        ASSERT_EQ(prompter.shown.size(), 4u) << bad;
        EXPECT_EQ(prompter.shown[0].text.substr(0, 16), "Errore tipo  52 ") << bad;
    }
    EXPECT_FALSE(std::filesystem::exists(root.path() / "c" / "x.dat"));
}

TEST_F(ChannelsTest, RecordNumbersThatNameNoRecordAreRefused)
{
    root.write("c/data.dat", "0123456789abcdefghij");
    channels.select(2, "c:\\data.dat", 10);
    channels.openBinary();
    channels.setRecordNumber(1);
    channels.readRecord();
    for (double number : {0.0, -3.0}) {
        channels.setRecordNumber(number);
        channels.readRecord();
        EXPECT_EQ(channels.lastError(), 63);
        EXPECT_EQ(channels.channel(2).recordBuffer, "") << number;
    }
    channels.setRecordNumber(1e12);
    channels.readRecord();
    EXPECT_EQ(channels.lastError(), 6);
    channels.channel(2).outputBuffer = "ZZ";
    channels.setRecordNumber(0);
    channels.writeRecord();
    channels.closeAll();
    EXPECT_EQ(root.read("c/data.dat"), "0123456789abcdefghij");
}

TEST_F(ChannelsTest, ThePositionIsRoundedHalfToEven)
{
    root.write("c/data.dat", "0123456789abcdefghij");
    channels.select(2, "c:\\data.dat", 2);
    channels.openBinary();
    channels.setRecordNumber(1.25); // position 1.5 -> 2
    channels.readRecord();
    EXPECT_EQ(channels.channel(2).recordBuffer, "12");
    channels.setRecordNumber(1.75); // position 2.5 -> 2
    channels.readRecord();
    EXPECT_EQ(channels.channel(2).recordBuffer, "12");
}

TEST_F(ChannelsTest, AReadOnlyFileCanBeReadButNotWritten)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root ignores file permissions";
    const auto file = root.write("c/ro.dat", "0123456789");
    ::chmod(file.c_str(), 0444);
    channels.select(1, "c:\\ro.dat", 10);
    channels.openBinary();
    channels.setRecordNumber(1);
    channels.readRecord();
    EXPECT_EQ(channels.channel(1).recordBuffer, "0123456789");
    channels.channel(1).outputBuffer = "xx";
    channels.writeRecord();
    EXPECT_EQ(channels.lastError(), 75);
}

TEST_F(ChannelsTest, ReopeningAChannelClosesItsPreviousFile)
{
    root.write("c/a.dat", "AAAAAAAAAA");
    root.write("c/b.dat", "BBBBBBBBBB");
    channels.select(1, "c:\\a.dat", 10);
    channels.openBinary();
    channels.select(1, "c:\\b.dat", 10);
    channels.openBinary();
    channels.setRecordNumber(1);
    channels.readRecord();
    EXPECT_EQ(channels.channel(1).recordBuffer, "BBBBBBBBBB");
}

TEST_F(ChannelsTest, HeldFailuresAreShownOnlyWhenTheCallerSaysSo)
{
    root.write("c/data.dat", "0123456789");
    channels.select(3, "c:\\data.dat", 10);
    channels.openBinary();
    channels.setRecordNumber(2);
    channels.setHoldFailures(true);
    channels.readRecord();
    channels.setHoldFailures(false);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(channels.lastError(), 62);
    EXPECT_EQ(channels.channel(3).recordBuffer, "");

    const records::Failure failure = channels.takeHeldFailure();
    EXPECT_EQ(failure.error, 62);
    EXPECT_EQ(failure.message, "Errore di lettura tipo  62 nel file binario c:\\data.dat al record  2");
    EXPECT_EQ(channels.takeHeldFailure().error, 0); // taken once

    channels.setRecordNumber(1);
    channels.readRecord(); // a success clears the last error
    EXPECT_EQ(channels.lastError(), 0);
    channels.showFailure(failure);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.last().text, failure.message);
    EXPECT_EQ(prompter.last().title, "");
    EXPECT_EQ(prompter.last().icon, records::Icon::None);
    EXPECT_EQ(channels.lastError(), 62);
}

TEST_F(ChannelsTest, AFailureHoldGivesThePreviousSettingBack)
{
    channels.select(4, "c:\\nothing.dat", 10);
    {
        const records::FailureHold hold(channels);
        EXPECT_TRUE(channels.holdsFailures());
        {
            const records::FailureHold show(channels, false);
            channels.readRecord(); // not open: shown
            EXPECT_EQ(prompter.shown.size(), 1u);
        }
        EXPECT_TRUE(channels.holdsFailures());
        channels.readRecord(); // held
        EXPECT_EQ(prompter.shown.size(), 1u);
    }
    EXPECT_FALSE(channels.holdsFailures());
    EXPECT_EQ(channels.takeHeldFailure().error, 52);
}

TEST_F(ChannelsTest, StartingTheWritebackChangesNothingThatWasWritten)
{
    channels.select(8, "c:\\out.dat", 4);
    channels.createFile();
    channels.openBinary();
    channels.channel(8).outputBuffer = "ABCD";
    channels.setRecordNumber(2);
    channels.writeRecord();
    channels.startWriteback(8);
    channels.startWriteback(9); // nothing open there: nothing happens
    EXPECT_TRUE(channels.flush(8));
    EXPECT_EQ(root.read("c/out.dat"), std::string(4, '\0') + "ABCD");
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(channels.lastError(), 0);
}

namespace {

// Runs `work` in a child process and returns what it returned, or -1 when the child did not
// end by itself (a crash). With `unprivileged`, a child of the superuser first becomes the
// user "nobody", for whom folder permissions count.
int inChildProcess(const std::function<int()>& work, bool unprivileged = false)
{
    const pid_t child = ::fork();
    if (child == 0) {
        int result = 255;
        if (!unprivileged || ::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0)) {
            try {
                result = work();
            } catch (...) {
                result = 254;
            }
        }
        ::_exit(result);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> entriesOf(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST_F(ChannelsTest, AFileNameWithAControlCharacterIsRefusedBeforeTheHostIsAsked)
{
    root.write("c/TCU117", "an earlier file");
    const std::filesystem::path drive = root.path() / "c";
    const std::vector<std::string> before = entriesOf(drive);
    const std::string names[] = {
        std::string("c:\\TCU117\0.tmp", 14), // the host would take it for TCU117
        "c:\\TCU117\x1B[2J",
        "c:\\dir\x7F\\TCU117",
        "c:\\TCU\x81" "117",
    };
    const struct {
        const char* name;
        void (Channels::*open)();
        const char* message; // up to the file name
    } procedures[] = {
        {"open binary", &Channels::openBinary, "Errore tipo  64 nell'apertura del  file binario"},
        {"open sequential", &Channels::openSequential, "Errore tipo  64 nell'apertura del file sequenziale"},
        {"create file", &Channels::createFile, "Errore tipo  64 nella creazione del file "},
        {"open new binary", &Channels::openNewBinary, "Errore tipo  64 nella creazione del file "},
        {"open new sequential", &Channels::openNewSequential, "Errore tipo  64 nell'apertura del file sequenziale"},
    };
    for (const std::string& name : names) {
        for (const auto& procedure : procedures) {
            prompter.shown.clear();
            channels.select(8, name, 10);
            (channels.*procedure.open)();
            EXPECT_EQ(channels.lastError(), 64) << procedure.name;
            EXPECT_FALSE(channels.isOpen(8)) << procedure.name;
            ASSERT_EQ(prompter.shown.size(), 1u) << procedure.name;
            EXPECT_TRUE(prompter.last().text.starts_with(procedure.message))
                << procedure.name << ": " << prompter.last().text;
        }
    }
    EXPECT_EQ(entriesOf(drive), before);
    EXPECT_EQ(root.read("c/TCU117"), "an earlier file");
}

TEST_F(ChannelsTest, PathsTheHostCannotFollowGiveAnErrorNumberNotACrash)
{
    namespace fs = std::filesystem;
    fs::create_directory_symlink("loop", root.path() / "c" / "loop");
    const fs::path longRoot = root.path() / std::string(300, 'r');
    const fs::path lockedRoot = root.path() / "locked" / "inst";
    fs::create_directories(lockedRoot / "c");
    fs::permissions(root.path() / "locked", fs::perms::none);
    const struct {
        const char* what;
        fs::path installationRoot;
        std::string name;
        int error;
        bool unprivileged;
    } cases[] = {
        {"output folder a loop of links", root.path(), "c:\\loop\\TCU117", 75, false},
        {"root with a component over 255 bytes", longRoot, "c:\\TCU117", 64, false},
        {"file name over 255 bytes", root.path(), "c:\\" + std::string(300, 'n'), 64, false},
        {"root below a folder that cannot be entered", lockedRoot, "c:\\TCU117", 70, true},
    };
    for (const auto& c : cases) {
        for (void (Channels::*open)() : {&Channels::openBinary, &Channels::openNewBinary, &Channels::openSequential}) {
            const int error = inChildProcess(
                [&] {
                    PathMapper mapper(c.installationRoot);
                    ScriptedPrompter quiet;
                    Channels own(mapper, quiet);
                    if (mapper.fileExists(c.name) || mapper.hostPath(c.name).empty())
                        return 253;
                    own.select(8, c.name, 10);
                    (own.*open)();
                    return own.lastError();
                },
                c.unprivileged);
            EXPECT_EQ(error, c.error) << c.what;
        }
    }
    fs::permissions(root.path() / "locked", fs::perms::owner_all);
}

namespace {

// The temporary files that a folder holds.
std::vector<std::string> temporaryFilesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const std::string& name : entriesOf(folder)) {
        if (records::OutputFile::isTemporaryName(name))
            names.push_back(name);
    }
    return names;
}

} // namespace

TEST_F(ChannelsTest, ANewFileReplacesTheEarlierOneWholeOnlyWhenItIsGivenItsName)
{
    root.write("c/TCU117", "an earlier file");
    channels.select(8, "c:\\TCU117", 4);
    channels.openNewBinary();
    ASSERT_TRUE(channels.holdsNewFile(8));
    const std::string temporary = channels.newFileHostPath(8);
    EXPECT_TRUE(std::filesystem::exists(temporary));
    for (const char* record : {"AAAA", "BBBB", "CCCC"}) {
        channels.channel(8).outputBuffer = record;
        channels.setRecordNumber(channels.recordNumber() + 1);
        channels.writeRecord();
    }
    EXPECT_EQ(root.read("c/TCU117"), "an earlier file");
    EXPECT_TRUE(channels.commitNewFile(8));
    EXPECT_EQ(root.read("c/TCU117"), "AAAABBBBCCCC");
    EXPECT_FALSE(std::filesystem::exists(temporary));
    EXPECT_FALSE(channels.isOpen(8));
    EXPECT_FALSE(channels.holdsNewFile(8));
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(records::temporary_files::count(), 0);
}

TEST_F(ChannelsTest, ASequentialNewFileIsWrittenLineByLine)
{
    root.write("c/nolv/report.txt", "an earlier report\r\n");
    channels.select(3, "\\NOLV\\report.txt", 0);
    channels.openNewSequential();
    for (const char* line : {"ECHO OFF", "exit"}) {
        channels.channel(3).outputBuffer = line;
        channels.writeLine();
    }
    EXPECT_EQ(root.read("c/nolv/report.txt"), "an earlier report\r\n");
    EXPECT_TRUE(channels.commitNewFile(3));
    EXPECT_EQ(root.read("c/nolv/report.txt"), "ECHO OFF\r\nexit\r\n");
    EXPECT_TRUE(temporaryFilesIn(root.path() / "c" / "nolv").empty());
}

TEST_F(ChannelsTest, ANewFileThatIsNotGivenItsNameLeavesNothingAndTheEarlierFileAsItWas)
{
    const struct {
        const char* what;
        std::function<void(std::unique_ptr<Channels>&)> leave;
    } endings[] = {
        {"discarded", [](auto& c) { c->discardNewFile(8); }},
        {"closed", [](auto& c) { c->close(8); }},
        {"all files closed", [](auto& c) { c->closeAll(); }},
        {"channel opened again", [](auto& c) { c->openBinary(); }},
        {"channels gone", [](auto& c) { c.reset(); }},
    };
    for (const auto& ending : endings) {
        root.write("c/TCU117", "an earlier file");
        auto own = std::make_unique<Channels>(paths, prompter);
        own->select(8, "c:\\TCU117", 4);
        own->openNewBinary();
        own->channel(8).outputBuffer = "AAAA";
        own->setRecordNumber(1);
        own->writeRecord();
        ending.leave(own);
        EXPECT_EQ(root.read("c/TCU117"), "an earlier file") << ending.what;
        EXPECT_TRUE(temporaryFilesIn(root.path() / "c").empty()) << ending.what;
        EXPECT_EQ(records::temporary_files::count(), 0) << ending.what;
    }
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(ChannelsTest, ANewFileNeverWritesThroughALinkPlantedUnderItsName)
{
    const auto outside = root.write("outside.dat", "not ours");
    std::filesystem::create_symlink(outside, root.path() / "c" / "TCU117");
    std::filesystem::create_symlink(outside, root.path() / "c" / "TCU117.tmp");
    channels.select(8, "c:\\TCU117", 4);
    channels.openNewBinary();
    channels.channel(8).outputBuffer = "AAAA";
    channels.setRecordNumber(1);
    channels.writeRecord();
    EXPECT_TRUE(channels.commitNewFile(8));
    EXPECT_EQ(root.read("outside.dat"), "not ours");
    EXPECT_FALSE(std::filesystem::is_symlink(root.path() / "c" / "TCU117"));
    EXPECT_EQ(root.read("c/TCU117"), "AAAA");
}

TEST_F(ChannelsTest, ANewFileThatCannotBeWrittenLeavesTheEarlierOneUntouched)
{
    root.write("c/TCU117", "an earlier file");
    channels.select(8, "c:\\TCU117", 4);
    channels.openNewBinary();
    // A file size limit of one record makes the second write fail as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit limited = previous;
    limited.rlim_cur = 4;
    ::setrlimit(RLIMIT_FSIZE, &limited);
    for (const char* record : {"AAAA", "BBBB"}) {
        channels.channel(8).outputBuffer = record;
        channels.setRecordNumber(channels.recordNumber() + 1);
        channels.writeRecord();
    }
    ::setrlimit(RLIMIT_FSIZE, &previous);
    EXPECT_EQ(prompter.last().text, "Errore di scrittura tipo  61 nel file binario c:\\TCU117 al record  2");
    channels.discardNewFile(8);
    EXPECT_EQ(root.read("c/TCU117"), "an earlier file");
    EXPECT_TRUE(temporaryFilesIn(root.path() / "c").empty());
}

TEST_F(ChannelsTest, ANewFileThatCannotTakeItsNameIsRemovedAndTheTargetUntouched)
{
    channels.select(8, "c:\\TCU117", 4);
    channels.openNewBinary();
    channels.channel(8).outputBuffer = "AAAA";
    channels.setRecordNumber(1);
    channels.writeRecord();
    // Meanwhile a folder of that name appears, with something in it.
    root.write("c/TCU117/kept.dat", "kept");
    EXPECT_FALSE(channels.commitNewFile(8));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.last().text, "Errore tipo  75 nella creazione del file c:\\TCU117");
    EXPECT_EQ(channels.lastError(), 75);
    EXPECT_EQ(root.read("c/TCU117/kept.dat"), "kept");
    EXPECT_TRUE(temporaryFilesIn(root.path() / "c").empty());
    EXPECT_FALSE(channels.isOpen(8));
}

TEST_F(ChannelsTest, ANewFileIsRefusedAtOnceWhereItCouldNeverTakeItsName)
{
    std::filesystem::create_directories(root.path() / "c" / "dati");
    const struct {
        const char* name;
        const char* message;
    } cases[] = {
        {"c:\\manca\\TCU117", "Errore tipo  76 nella creazione del file "},
        {"c:\\dati\\", "Errore tipo  75 nella creazione del file "}, // the folder itself
    };
    for (const auto& c : cases) {
        prompter.shown.clear();
        channels.select(8, c.name, 4);
        channels.openNewBinary();
        EXPECT_FALSE(channels.isOpen(8)) << c.name;
        ASSERT_EQ(prompter.shown.size(), 1u) << c.name;
        EXPECT_EQ(prompter.last().text, c.message);
    }
    EXPECT_EQ(entriesOf(root.path() / "c"), std::vector<std::string>{"dati"});
    EXPECT_TRUE(entriesOf(root.path() / "c" / "dati").empty());
}

TEST_F(ChannelsTest, ANewFileKeepsThePermissionsOfTheFileItReplaces)
{
    const auto file = root.write("c/TCU117", "an earlier file");
    std::filesystem::permissions(file, std::filesystem::perms(0640));
    channels.select(8, "c:\\TCU117", 4);
    channels.openNewBinary();
    EXPECT_TRUE(channels.commitNewFile(8));
    EXPECT_EQ(std::filesystem::status(file).permissions(), std::filesystem::perms(0640));
}
