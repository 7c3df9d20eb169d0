// Bad input and I/O faults on the command line: none of them may cost a file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <thread>

#include "app/cli.h"
#include "cu/telematic/tests/telematic_test_support.h"
#include "demo/demo_installation.h"
#include "records/file_lock.h"
#include "records/output_file.h"
#include "testing/temp_root.h"

using cu::telematic::testing::FileSizeLimit;
using cu::telematic::testing::recordTypes;
using cu::telematic::testing::splitRecords;
using records::testing::TempRoot;
namespace fs = std::filesystem;

namespace {

constexpr const char* kEarlierFile = "an earlier telematic file";
constexpr const char* kReportQuestion = "Vuoi creare un report della memorizzazione del file ? [Si]\n";

// Every entry below `folder`: the bytes of a file, the target of a link.
std::map<std::string, std::string> snapshot(const fs::path& folder)
{
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_symlink())
            entries[entry.path().string()] = "-> " + fs::read_symlink(entry.path()).string();
        else
            entries[entry.path().string()] = entry.is_regular_file() ? TempRoot::readFile(entry.path()) : "/";
    }
    return entries;
}

std::vector<std::string> temporaryFilesBelow(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (records::OutputFile::isTemporaryName(entry.path().filename().string()))
            names.push_back(entry.path().string());
    }
    return names;
}

// An error stream that calls `onLine` whenever a line is flushed to it, as the console
// prompter does after each message.
class WatchedStream : public std::stringbuf {
public:
    std::function<void(const std::string& text)> onLine;

protected:
    int sync() override
    {
        if (onLine)
            onLine(str());
        return 0;
    }
};

struct CliSafetyTest : ::testing::Test {
    TempRoot root;
    std::ostringstream out;
    WatchedStream errBuffer;
    std::ostream err{&errBuffer};
    const fs::path data = root.path() / "c/nolv/nv770/2016/dati";

    void SetUp() override
    {
        demo::writeDemoInstallation(root.path());
        root.write("c/nolv/nv770/2016/dati/TCU117", kEarlierFile);
    }

    int run(const std::string& command, std::vector<std::string> options)
    {
        out.str({});
        errBuffer.str({});
        std::vector<std::string> argv = {"telematico-cli", command, "--root", root.path().string()};
        argv.insert(argv.end(), options.begin(), options.end());
        return app::cli::main(argv, out, err);
    }
    std::string errText() const { return errBuffer.str(); }
};

// How a run of the built program ended.
struct Ended {
    int exitStatus = -1; // -1 when a signal ended it
    int signal = 0;
    std::string err;
};

// Runs the built program with `arguments`; `prepare` runs in the child just before the
// program starts (limits, user).
Ended runProgram(const std::vector<std::string>& arguments, const std::function<void()>& prepare = {})
{
    int errPipe[2];
    if (::pipe(errPipe) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(errPipe[1], STDERR_FILENO);
        const int nothing = ::open("/dev/null", O_WRONLY);
        ::dup2(nothing, STDOUT_FILENO);
        if (prepare)
            prepare();
        std::vector<char*> argv;
        const std::string program = TELEMATICO_CLI;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(errPipe[1]);
    Ended ended;
    char buffer[4096];
    for (ssize_t n; (n = ::read(errPipe[0], buffer, sizeof buffer)) > 0;)
        ended.err.append(buffer, static_cast<std::size_t>(n));
    ::close(errPipe[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status))
        ended.exitStatus = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        ended.signal = WTERMSIG(status);
    return ended;
}

void dropPrivileges()
{
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
        ::_exit(126);
}

} // namespace

TEST_F(CliSafetyTest, AMalformedOptionTextIsRefusedBeforeAnythingIsTouched)
{
    const auto before = snapshot(root.path());
    const struct {
        const char* command;
        const char* option;
        std::string value;
        int badByte; // position of the first bad byte, from 1
    } cases[] = {
        {"cu", "out-name", "TCU117\xC0\x80", 7}, // overlong NUL: the earlier file would go
        {"cu", "out-name", "DCU1.017\xC0\x80", 9}, // ... or the archive itself
        {"cu", "out-dir", "C:\xC0\xAF" "etc\\", 3}, // overlong "/"
        {"cu", "protocol-id", "\xED\xA0\x80" "1", 1}, // a surrogate
        {"cu", "out-name", "TCU\xE2\x82", 4},         // a character cut short
        {"cu", "archive", "1\xF4\x90\x80\x80", 2},    // above U+10FFFF
        {"uniemens", "company", "00\xC1\xB1", 3},
        {"anagrafiche", "root", "x\xC0\x80", 2},
        {"demo", "root", "y\xC0\xAF" "z", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        std::vector<std::string> options = {"--" + std::string(c.option), c.value};
        if (std::string(c.command) == "cu" && std::string(c.option) != "archive")
            options.insert(options.end(), {"--archive", "1"});
        if (std::string(c.command) == "uniemens")
            options.insert(options.end(), {"--month", "3"});
        EXPECT_EQ(run(c.command, options), 2);
        EXPECT_EQ(errText(), "telematico-cli " + std::string(c.command) + ": il valore di --" + c.option
                                 + " non e' testo UTF-8 valido (byte " + std::to_string(c.badByte) + ")\n"
                                 + "vedere: telematico-cli " + c.command + " --help\n");
        EXPECT_EQ(out.str(), "");
    }
    EXPECT_EQ(snapshot(root.path()), before);
}

TEST_F(CliSafetyTest, ALinkPlantedAtTheOutputNameIsReplacedNeverWrittenThrough)
{
    const fs::path outside = root.write("outside.dat", "not ours");
    fs::remove(data / "TCU117");
    fs::create_symlink(outside, data / "TCU117");
    fs::create_symlink(outside, data / "TCU117.tmp");
    ASSERT_EQ(run("cu", {"--archive", "1"}), 0) << errText();
    EXPECT_EQ(root.read("outside.dat"), "not ours");
    EXPECT_FALSE(fs::is_symlink(data / "TCU117"));
    EXPECT_EQ(recordTypes(splitRecords(TempRoot::readFile(data / "TCU117"))), "ABCDGDGDGDGZ");
    EXPECT_TRUE(temporaryFilesBelow(root.path()).empty());
}

TEST_F(CliSafetyTest, TheTelematicFileNeverReplacesTheRunsOwnArchive)
{
    fs::create_symlink("DCU1.017", data / "ALIAS");
    const auto before = snapshot(root.path());
    const std::vector<std::vector<std::string>> cases = {
        {"--out-name", "DCU1.017"},
        {"--out-name", "fcu1.017"},
        {"--out-dir", "C:\\NOLV\\nv770\\\\2016\\x\\..\\DATI\\", "--out-name", "Dcu1.017"},
        {"--out-dir", "\\nolv\\nv770\\2016\\dati\\", "--out-name", "ALIAS"},
    };
    for (std::vector<std::string> options : cases) {
        SCOPED_TRACE(options.back());
        options.insert(options.end(), {"--archive", "1", "--report"});
        EXPECT_EQ(run("cu", options), 1);
        EXPECT_EQ(errText(),
                  std::string(kReportQuestion) + "Accesso: Il file telematico non puo' sostituire un archivio della CU \n");
        EXPECT_EQ(snapshot(root.path()), before);
    }
}

// The telematic file is stored: the status tells the failed report apart from a run that
// stored nothing (1).
TEST_F(CliSafetyTest, AReportThatFillsTheDiskLeavesTheEarlierReportAndExits3)
{
    root.write("c/nolv/nv770/2016/dati/report.txt", "an earlier report");
    // Once the telematic file is complete, no file may grow beyond 100 bytes: the second
    // line of the report does not fit.
    std::optional<FileSizeLimit> limit;
    errBuffer.onLine = [&](const std::string& text) {
        if (!limit && text.find("Memorizazione regolarmente effettuata...") != std::string::npos)
            limit.emplace(100);
    };
    const int status = run("cu", {"--archive", "1", "--report"});
    limit.reset();

    EXPECT_EQ(status, 3);
    EXPECT_EQ(out.str(), (data / "TCU117").string() + "\n");
    EXPECT_EQ(errText(), std::string(kReportQuestion)
                             + "Creazione Telematico: Memorizazione regolarmente effettuata...\n"
                               "Errore di scrittura tipo  61 nel file C:\\nolv\\NV770\\2016\\dati\\report.txt al record  2\n");
    EXPECT_EQ(root.read("c/nolv/nv770/2016/dati/report.txt"), "an earlier report");
    EXPECT_FALSE(fs::exists(root.path() / "c/nolv/nv770/2016/avstp.bat"));
    EXPECT_EQ(recordTypes(splitRecords(TempRoot::readFile(data / "TCU117"))), "ABCDGDGDGDGZ");
    EXPECT_TRUE(temporaryFilesBelow(root.path()).empty());
}

// The built program, where only a process of its own can show the fault.
// Another clerk's program is writing the file: the command stops at once with exit 1, says
// who holds the file, and changes nothing.
TEST_F(CliSafetyTest, AFileAnotherClerkIsWritingIsExit1AndSaysWhoHoldsIt)
{
    const records::LockOwner me = records::FileLock::thisProgram();
    const struct {
        const char* command;
        std::vector<std::string> options;
        fs::path target;
        std::string fileName;
    } cases[] = {
        {"cu", {"--archive", "1"}, data / "TCU117", "C:\\nolv\\nv770\\2016\\dati\\TCU117"},
        {"uniemens", {"--month", "3", "--company", "001"},
         root.path() / "c/Program Files/INPS/INPS uniEmens individuale/fc0010316.xml",
         "C:\\Program Files\\INPS\\INPS uniEmens individuale\\fc0010316.xml"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        records::FileLock otherClerk;
        ASSERT_EQ(otherClerk.acquire(c.target), records::FileLock::State::Held);
        const auto before = snapshot(root.path());
        EXPECT_EQ(run(c.command, c.options), 1);
        const std::string told = errText();
        EXPECT_TRUE(
            told.starts_with("Accesso: Il file " + c.fileName + " e' in uso da " + me.user + " su " + me.computer + " dal "))
            << told;
        EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1);
        EXPECT_EQ(out.str(), "");
        EXPECT_EQ(snapshot(root.path()), before);
    }
}

TEST_F(CliSafetyTest, PathsTheHostCannotFollowEndWithExit1AndAMessage)
{
    fs::create_directory_symlink("loop", root.path() / "c/loop");
    const fs::path longRoot = root.path() / std::string(300, 'r');
    const fs::path lockedRoot = root.path() / "locked/installation";
    demo::writeDemoInstallation(lockedRoot);
    fs::permissions(root.path() / "locked", fs::perms::none);
    const auto before = snapshot(root.path() / "c");

    const struct {
        const char* what;
        fs::path root;
        std::vector<std::string> options;
        bool unprivileged;
        const char* told; // a line of the error stream
    } cases[] = {
        {"output folder a loop of links", root.path(), {"--out-dir", "C:\\loop\\"}, false,
         "Errore tipo  75 nella creazione del file \n"},
        {"root with a component over 255 bytes", longRoot, {}, false,
         "Errore tipo  64 nell'apertura del  file binarioc:\\disco.ute\n"},
        {"root below a folder that cannot be entered", lockedRoot, {}, true,
         "Errore tipo  70 nell'apertura del  file binarioc:\\disco.ute\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> arguments = {"cu", "--root", c.root.string(), "--archive", "1"};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const Ended ended = runProgram(arguments, c.unprivileged ? dropPrivileges : std::function<void()>());
        EXPECT_EQ(ended.exitStatus, 1) << "signal " << ended.signal;
        EXPECT_NE(ended.err.find(c.told), std::string::npos) << ended.err;
    }
    fs::permissions(root.path() / "locked", fs::perms::owner_all);
    EXPECT_EQ(snapshot(root.path() / "c"), before);
}

TEST_F(CliSafetyTest, AFileOverTheSizeLimitIsAWriteErrorNotAKill)
{
    const Ended ended = runProgram({"cu", "--root", root.path().string(), "--archive", "1"}, [] {
        // The program must ignore SIGXFSZ itself: the test's own setting is not inherited.
        ::signal(SIGXFSZ, SIG_DFL);
        const rlimit limit{2 * 1900 + 100, RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    EXPECT_EQ(ended.exitStatus, 1) << "signal " << ended.signal;
    EXPECT_EQ(ended.err,
              "Errore di scrittura tipo  61 nel file binario C:\\nolv\\nv770\\2016\\dati\\TCU117 al record  3\n");
    EXPECT_EQ(root.read("c/nolv/nv770/2016/dati/TCU117"), kEarlierFile);
    EXPECT_TRUE(temporaryFilesBelow(root.path()).empty());
}

TEST_F(CliSafetyTest, ASigtermWhileTheFileIsWrittenLeavesNoTemporaryFile)
{
    root.write("c/nolv/nv770/2016/dati/TCU717", kEarlierFile);
    // The error stream is a pipe that is already full: the program stops at its first line,
    // the confirmation of the annulment, with records A, B and D in its temporary file.
    int errPipe[2];
    ASSERT_EQ(::pipe2(errPipe, O_NONBLOCK), 0);
    const std::string filler(4096, 'x');
    while (::write(errPipe[1], filler.data(), filler.size()) > 0) {
    }
    ::fcntl(errPipe[1], F_SETFL, 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(errPipe[1], STDERR_FILENO);
        const int nothing = ::open("/dev/null", O_WRONLY);
        ::dup2(nothing, STDOUT_FILENO);
        const std::string program = TELEMATICO_CLI, rootText = root.path().string();
        ::execl(program.c_str(), program.c_str(), "cu", "--root", rootText.c_str(), "--archive", "7", "--supply", "A",
                "--protocol-id", "17030612345678901", "--protocol-number", "000123", "--record", "1", "--yes",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(errPipe[1]);

    std::vector<std::string> temporary;
    for (int wait = 0; wait < 1000 && temporary.empty(); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        temporary = temporaryFilesBelow(root.path());
    }
    ASSERT_EQ(temporary.size(), 1u);
    // Written up to the question: records A, B and the first part of D.
    for (int wait = 0; wait < 1000 && fs::file_size(temporary[0]) < 2 * 1900; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(fs::file_size(temporary[0]), 2 * 1900u);
    ::kill(child, SIGTERM);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(errPipe[0]);

    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    EXPECT_TRUE(temporaryFilesBelow(root.path()).empty());
    EXPECT_EQ(root.read("c/nolv/nv770/2016/dati/TCU717"), kEarlierFile);
}

namespace {

// Closes the given standard streams of the child just before the program starts, as a
// service manager or "2>&-" would.
std::function<void()> startedWithout(std::vector<int> streams)
{
    return [streams] {
        for (const int stream : streams)
            ::close(stream);
    };
}

} // namespace

TEST_F(CliSafetyTest, ClosedStandardStreamsNeverReceiveTheInstallationsFiles)
{
    const std::string rootText = root.path().string();
    const std::string yearFile = "c/WNOLV/anno1.dat";
    const std::string driveFile = "c/disco.ute";
    const fs::path xml = root.path() / "c/Program Files/INPS/INPS uniEmens individuale/fc0010316.xml";
    const std::vector<std::string> series = {"uniemens", "--root", rootText, "--month", "3", "--company", "001",
                                             "--company", "002"};
    const std::string year = root.read(yearFile);
    const std::string drive = root.read(driveFile);

    // "uniemens ... 2>&-": the year file would take descriptor 2 and the messages after it.
    Ended ended = runProgram(series, startedWithout({STDERR_FILENO}));
    EXPECT_EQ(ended.exitStatus, 0) << "signal " << ended.signal;
    EXPECT_EQ(root.read(yearFile), year);
    EXPECT_EQ(root.read(driveFile), drive);
    // Each case starts from the installation's own files.
    const auto restore = [&] {
        root.write(yearFile, year);
        root.write(driveFile, drive);
    };
    restore();

    // "cu --report 2>&-": a file of the installation opened while the error stream is closed
    // would take its place, and with it the report question and the success message.
    ended = runProgram({"cu", "--root", rootText, "--archive", "1", "--report"}, startedWithout({STDERR_FILENO}));
    EXPECT_EQ(ended.exitStatus, 0) << "signal " << ended.signal;
    EXPECT_EQ(root.read(driveFile), drive);
    EXPECT_EQ(recordTypes(splitRecords(TempRoot::readFile(data / "TCU117"))), "ABCDGDGDGDGZ");
    restore();

    // All three closed: the declaration is exactly the one of a run with its streams.
    ended = runProgram(series, startedWithout({STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}));
    EXPECT_EQ(ended.exitStatus, 0) << "signal " << ended.signal;
    const std::string withoutStreams = TempRoot::readFile(xml);
    ended = runProgram(series);
    ASSERT_EQ(ended.exitStatus, 0) << ended.err;
    EXPECT_TRUE(withoutStreams.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<DenunceMensili>"));
    EXPECT_EQ(withoutStreams, TempRoot::readFile(xml));
    EXPECT_EQ(root.read(yearFile), year);
    EXPECT_EQ(root.read(driveFile), drive);
    EXPECT_TRUE(temporaryFilesBelow(root.path()).empty());
}

TEST_F(CliSafetyTest, AReaderThatGoesAwayCostsOnlyTheMessages)
{
    // "uniemens ... 2>&1 | head -n 1": the reader has gone before the second line. Here it
    // has gone before the first, so that every line meets a closed pipe.
    const fs::path xml = root.path() / "c/Program Files/INPS/INPS uniEmens individuale/fc0010316.xml";
    const Ended ended = runProgram({"uniemens", "--root", root.path().string(), "--month", "3", "--company", "001",
                                    "--company", "002"},
                                   [] {
                                       int gone[2];
                                       if (::pipe(gone) != 0)
                                           ::_exit(125);
                                       ::close(gone[0]);
                                       ::dup2(gone[1], STDOUT_FILENO);
                                       ::dup2(gone[1], STDERR_FILENO);
                                       // The program must ignore SIGPIPE itself.
                                       ::signal(SIGPIPE, SIG_DFL);
                                   });
    EXPECT_EQ(ended.exitStatus, 0) << "signal " << ended.signal;
    EXPECT_TRUE(temporaryFilesBelow(root.path()).empty());
    const std::string declaration = TempRoot::readFile(xml);
    EXPECT_TRUE(declaration.ends_with("</Azienda>\r\n</DenunceMensili>\r\n"));
    const std::size_t first = declaration.find("<Azienda>");
    EXPECT_NE(declaration.find("<Azienda>", first + 1), std::string::npos); // both companies
}

TEST_F(CliSafetyTest, ASigquitInTheMiddleOfASeriesLeavesNoTemporaryFile)
{
    const fs::path folder = root.path() / "c/Program Files/INPS/INPS uniEmens individuale";
    root.write("c/Program Files/INPS/INPS uniEmens individuale/fc0010316.xml", "an earlier declaration");
    // The error stream is a pipe that is already full: the program stops at its first line,
    // the message of the first company stored, with the series file open.
    int errPipe[2];
    ASSERT_EQ(::pipe2(errPipe, O_NONBLOCK), 0);
    const std::string filler(4096, 'x');
    while (::write(errPipe[1], filler.data(), filler.size()) > 0) {
    }
    ::fcntl(errPipe[1], F_SETFL, 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(errPipe[1], STDERR_FILENO);
        const int nothing = ::open("/dev/null", O_WRONLY);
        ::dup2(nothing, STDOUT_FILENO);
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        ::signal(SIGQUIT, SIG_DFL);
        const std::string program = TELEMATICO_CLI, rootText = root.path().string();
        ::execl(program.c_str(), program.c_str(), "uniemens", "--root", rootText.c_str(), "--month", "3",
                "--company", "001", "--company", "002", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(errPipe[1]);

    std::vector<std::string> temporary;
    for (int wait = 0; wait < 1000 && temporary.empty(); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        temporary = temporaryFilesBelow(folder);
    }
    ASSERT_EQ(temporary.size(), 1u);
    // The first company is in it when the message is written.
    for (int wait = 0; wait < 1000 && TempRoot::readFile(temporary[0]).find("</Azienda>") == std::string::npos;
         ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ::kill(child, SIGQUIT);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(errPipe[0]);

    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGQUIT) << status;
    EXPECT_TRUE(temporaryFilesBelow(root.path()).empty());
    EXPECT_EQ(TempRoot::readFile(folder / "fc0010316.xml"), "an earlier declaration");
}
