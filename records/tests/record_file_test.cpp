#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "records/host_paths.h"
#include "records/output_file.h"
#include "records/record_file.h"
#include "records/temporary_files.h"
#include "testing/file_size_limit.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_root.h"

using records::FileResult;
using records::NewFile;
using records::PathMapper;
using records::RecordFile;
using records::TextFile;
using records::testing::FileSizeLimit;
using records::testing::ScriptedPrompter;
using records::testing::TempRoot;
namespace fs = std::filesystem;

namespace {

struct RecordFileTest : ::testing::Test {
    TempRoot root;
    PathMapper paths{root.path()};

    std::vector<std::string> temporaryFilesIn(const std::string& folder) const { return root.temporaryFilesIn(folder); }
};

// The names in a folder, sorted.
std::vector<std::string> entriesOf(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Runs `work` in a child process and returns what it returned, or -1 when the child did not
// end by itself (a crash). With `unprivileged`, a child of the superuser first becomes the
// user "nobody", for whom file and folder permissions count.
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

// Error number and message of a result, compared in one go.
void expectResult(const FileResult& result, int error, const std::string& message)
{
    EXPECT_EQ(result.error, error);
    EXPECT_EQ(result.message, message);
    EXPECT_EQ(result.ok(), error == 0);
}

} // namespace

TEST_F(RecordFileTest, ARecordIsReadWholeAndAReadPastTheEndLeavesItEmpty)
{
    root.write("c/data.dat", "0123456789");
    RecordFile file(paths, "c:\\data.dat", 10);
    expectResult(file.open(), 0, "");
    std::string record = "previous record";
    expectResult(file.read(1, record), 0, "");
    EXPECT_EQ(record, "0123456789");
    expectResult(file.read(2, record), 62, "Errore di lettura tipo  62 nel file binario c:\\data.dat al record  2");
    EXPECT_EQ(record, "");
    // A file shorter than one record gives no record at all, not the bytes it has.
    root.write("c/short.dat", "12345");
    RecordFile shortFile(paths, "c:\\short.dat", 10);
    ASSERT_TRUE(shortFile.open().ok());
    record = "previous record";
    expectResult(shortFile.read(1, record), 62,
                 "Errore di lettura tipo  62 nel file binario c:\\short.dat al record  1");
    EXPECT_EQ(record, "");
    // The table lookup names the file without "binario".
    RecordFile table(paths, "\\tab.dat", 200);
    ASSERT_TRUE(table.open().ok());
    expectResult(table.lookUp(4, record), 62, "Errore di lettura tipo  62 nel file \\tab.dat al record  4");
}

// The numbers a failed transfer gives, and the buffer it leaves.
TEST_F(RecordFileTest, RecordsThatCannotBeAddressedHaveTheirOwnErrorNumbers)
{
    root.write("c/data.dat", "0123456789abcdefghij");
    RecordFile open(paths, "c:\\data.dat", 10);
    ASSERT_TRUE(open.open().ok());
    RecordFile closed(paths, "c:\\data.dat", 10);
    RecordFile noLength(paths, "c:\\data.dat", 0);
    ASSERT_TRUE(noLength.open().ok());
    const struct {
        const char* what;
        const RecordFile& file;
        std::int64_t number;
        const char* read;
    } cases[] = {
        {"record 0", open, 0, "Errore di lettura tipo  63 nel file binario c:\\data.dat al record  0"},
        {"a negative record", open, -3, "Errore di lettura tipo  63 nel file binario c:\\data.dat al record -3"},
        {"a position beyond 32 bits", open, 1000000000,
         "Errore di lettura tipo  6 nel file binario c:\\data.dat al record  1000000000"},
        {"a record number beyond 32 bits", open, 1000000000000,
         "Errore di lettura tipo  6 nel file binario c:\\data.dat al record  1000000000000"},
        {"a position below 32 bits", open, -1000000000,
         "Errore di lettura tipo  6 nel file binario c:\\data.dat al record -1000000000"},
        {"the last record a 32-bit position reaches", open, 214748365,
         "Errore di lettura tipo  62 nel file binario c:\\data.dat al record  214748365"},
        {"the first record beyond it", open, 214748366,
         "Errore di lettura tipo  6 nel file binario c:\\data.dat al record  214748366"},
        {"a file not open", closed, 1, "Errore di lettura tipo  52 nel file binario c:\\data.dat al record  1"},
        {"no record length", noLength, 1, "Errore di lettura tipo  59 nel file binario c:\\data.dat al record  1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string record = "previous record";
        const FileResult result = c.file.read(c.number, record);
        EXPECT_EQ(result.message, c.read);
        EXPECT_EQ(record, "");
    }
    // A write to a record that cannot be addressed changes nothing.
    expectResult(open.write(0, "ZZ"), 63, "Errore di scrittura tipo  63 nel file binario c:\\data.dat al record  0");
    open.close();
    EXPECT_EQ(root.read("c/data.dat"), "0123456789abcdefghij");
}

TEST_F(RecordFileTest, WritesLandAtTheirRecordAndLeaveTheRestOfItAsItWas)
{
    const struct {
        const char* what;
        std::string before; // empty: the file is made by create()
        int recordLength;
        std::int64_t number;
        std::string bytes;
        std::string after;
    } cases[] = {
        {"record 3 of an empty file of 1900-byte records", "", 1900, 3, "ABC", std::string(3800, '\0') + "ABC"},
        {"bytes shorter than the record", "xxxxxxxxxxyyyyyyyyyy", 10, 2, "AB", "xxxxxxxxxxAByyyyyyyy"},
        {"bytes shorter than the record, at the end", "xxxxxxxxxx", 10, 2, "AB", "xxxxxxxxxxAB"},
        {"two records at once", "xxxxxxxxxxyyyyyyyyyy", 10, 1, std::string(20, 'Z'), std::string(20, 'Z')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordFile file(paths, "c:\\out.dat", c.recordLength);
        if (c.before.empty())
            expectResult(file.create(), 0, "");
        else
            root.write("c/out.dat", c.before);
        ASSERT_TRUE(file.open().ok());
        expectResult(file.write(c.number, c.bytes), 0, "");
        file.close();
        EXPECT_EQ(root.read("c/out.dat"), c.after);
    }
}

TEST_F(RecordFileTest, CreateEmptiesAFileAndOpenThenTakesItEmpty)
{
    root.write("c/old.dat", "old contents");
    RecordFile file(paths, "c:\\old.dat", 10);
    ASSERT_TRUE(file.open().ok());
    expectResult(file.create(), 0, "");
    EXPECT_FALSE(file.isOpen());
    ASSERT_TRUE(file.open().ok());
    EXPECT_TRUE(file.isOpen());
    EXPECT_EQ(root.read("c/old.dat"), "");
}

// Every way in: a missing folder is 76, a name with a control character 64 before the host is
// asked anything, and each says so in the words of its own operation.
TEST_F(RecordFileTest, EachOpeningNamesItsFailureInItsOwnWords)
{
    root.write("c/TCU117", "an earlier file");
    const std::string missing = "c:\\nowhere\\file.dat";
    const std::string controls[] = {
        std::string("c:\\TCU117\0.tmp", 14), // the host would take it for TCU117
        "c:\\TCU117\x1B[2J",
        "c:\\dir\x7F\\TCU117",
        "c:\\TCU\x81" "117",
    };
    const struct {
        const char* what;
        std::function<FileResult(const std::string&)> open;
        std::string message; // up to where the name follows
        bool named;          // the file name follows the message
    } ways[] = {
        {"open", [&](const std::string& n) { return RecordFile(paths, n, 10).open(); },
         " nell'apertura del  file binario", true},
        {"open for reading", [&](const std::string& n) { return RecordFile(paths, n, 10).openForReading(); },
         " nell'apertura del  file binario", true},
        {"create", [&](const std::string& n) { return RecordFile(paths, n, 10).create(); },
         " nella creazione del file ", false},
        {"text file", [&](const std::string& n) { return TextFile(paths, n).open(); },
         " nell'apertura del file sequenziale", true},
        {"new file of records", [&](const std::string& n) { return NewFile::ofRecords(paths, n, 10).create(); },
         " nella creazione del file ", false},
        {"new file of lines", [&](const std::string& n) { return NewFile::ofLines(paths, n).create(); },
         " nell'apertura del file sequenziale", true},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.what);
        expectResult(way.open(missing), 76, "Errore tipo  76" + way.message + (way.named ? missing : ""));
        for (const std::string& control : controls)
            expectResult(way.open(control), 64, "Errore tipo  64" + way.message + (way.named ? control : ""));
    }
    EXPECT_EQ(entriesOf(root.path() / "c"), std::vector<std::string>{"TCU117"});
    EXPECT_EQ(root.read("c/TCU117"), "an earlier file");
}

// Reading only: nothing is created, and whatever is not a plain file is refused at once, a
// FIFO without waiting for its writer; a link never leads to a file being made outside.
TEST_F(RecordFileTest, LinksFifosAndFoldersAreRefusedAsTheyAlwaysWere)
{
    root.write("c/short.dat", "12345");
    fs::create_directories(root.path() / "c/folder.dat");
    ASSERT_EQ(::mkfifo((root.path() / "c/fifo.dat").c_str(), 0644), 0);
    fs::create_symlink(root.path() / "fuori/nulla.dat", root.path() / "c/link.dat");
    const struct {
        const char* name;
        int reading; // open for reading
        int binary;  // open (creates a missing file)
        int text;    // text file
    } cases[] = {
        {"short.dat", 0, 0, -1},     {"missing.dat", 53, 0, -1}, {"link.dat", 53, 53, 75},
        {"folder.dat", 75, 75, 75}, {"fifo.dat", 75, -1, 68}, // a FIFO without a reader
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string name = std::string("c:\\") + c.name;
        const std::string reading = "Errore tipo  " + std::to_string(c.reading) + " nell'apertura del  file binario";
        RecordFile forReading(paths, name, 10);
        expectResult(forReading.openForReading(), c.reading, c.reading == 0 ? "" : reading + name);
        EXPECT_EQ(forReading.isOpen(), c.reading == 0);
        EXPECT_EQ(fs::exists(root.path() / "c" / c.name), c.reading != 53); // nothing made, not even through a link
        if (c.binary >= 0) {
            EXPECT_EQ(RecordFile(paths, name, 10).open().error, c.binary);
        }
        if (c.text >= 0) {
            expectResult(TextFile(paths, name).open(), c.text,
                         "Errore tipo  " + std::to_string(c.text) + " nell'apertura del file sequenziale" + name);
        }
    }
    EXPECT_TRUE(fs::is_regular_file(root.path() / "c/missing.dat")); // made empty by open()
    EXPECT_EQ(root.read("c/missing.dat"), "");
    EXPECT_FALSE(fs::exists(root.path() / "fuori"));
    EXPECT_EQ(root.read("c/short.dat"), "12345");
}

// A link planted under a name the program makes a file of (to nothing, or to a file of
// somebody else) is never followed: nothing appears, and nothing changes, outside.
TEST_F(RecordFileTest, NoFileIsCreatedOrEmptiedThroughALink)
{
    const fs::path nowhere = root.path() / "fuori" / "nulla.dat";
    const fs::path other = root.write("fuori/altro.dat", "somebody else's");
    // Where an earlier new file might have been written beside its name.
    fs::create_symlink(other, root.path() / "c/new.dat.tmp");
    const auto newFile = [&] {
        NewFile file = NewFile::ofRecords(paths, "c:\\new.dat", 4);
        FileResult result = file.create();
        if (result.ok())
            result = file.write(1, "AAAA");
        return result.ok() ? file.commit() : result;
    };
    const struct {
        const char* what;
        fs::path target;
        std::function<FileResult()> procedure;
        int error;
        const char* message;
        const char* after;   // the file of the program that took the link's place; nullptr: the link stays
    } cases[] = {
        {"open, link to nothing", nowhere, [&] { return RecordFile(paths, "c:\\new.dat", 10).open(); }, 53,
         "Errore tipo  53 nell'apertura del  file binarioc:\\new.dat", nullptr},
        {"create, link to nothing", nowhere, [&] { return RecordFile(paths, "c:\\new.dat", 10).create(); }, 0, "", ""},
        {"create, link to a file", other, [&] { return RecordFile(paths, "c:\\new.dat", 10).create(); }, 0, "", ""},
        {"text file, link to a file", other, [&] { return TextFile(paths, "c:\\new.dat").open(); }, 75,
         "Errore tipo  75 nell'apertura del file sequenzialec:\\new.dat", nullptr},
        {"text file, link to nothing", nowhere, [&] { return TextFile(paths, "c:\\new.dat").open(); }, 75,
         "Errore tipo  75 nell'apertura del file sequenzialec:\\new.dat", nullptr},
        {"new file, link to a file", other, newFile, 0, "", "AAAA"},
        {"new file, link to nothing", nowhere, newFile, 0, "", "AAAA"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(root.path() / "c/new.dat");
        fs::create_symlink(c.target, root.path() / "c/new.dat");
        expectResult(c.procedure(), c.error, c.message);
        EXPECT_FALSE(fs::exists(nowhere));
        EXPECT_EQ(root.read("fuori/altro.dat"), "somebody else's");
        EXPECT_EQ(fs::is_symlink(root.path() / "c/new.dat"), c.after == nullptr);
        if (c.after != nullptr) {
            EXPECT_EQ(root.read("c/new.dat"), c.after);
        }
    }
    EXPECT_TRUE(temporaryFilesIn("c").empty());
}

// The system keeps a file that may only be read from being written; the superuser, whom the
// system lets write anything, takes the place of a clerk for this.
TEST_F(RecordFileTest, AReadOnlyFileCanBeReadButNotWritten)
{
    const fs::path file = root.write("c/ro.dat", "0123456789");
    fs::permissions(file, fs::perms(0444));
    const int written = inChildProcess(
        [&] {
            RecordFile readOnly(paths, "c:\\ro.dat", 10);
            std::string record;
            if (readOnly.open().failed() || readOnly.read(1, record).failed() || record != "0123456789")
                return 200;
            const FileResult result = readOnly.write(1, "xx");
            if (result.message != "Errore di scrittura tipo  75 nel file binario c:\\ro.dat al record  1")
                return 201;
            return result.error;
        },
        true);
    EXPECT_EQ(written, 75);
    EXPECT_EQ(root.read("c/ro.dat"), "0123456789");
}

TEST_F(RecordFileTest, PathsTheHostCannotFollowGiveAnErrorNumberNotACrash)
{
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
    const struct {
        const char* what;
        std::function<FileResult(const PathMapper&, const std::string&)> open;
    } ways[] = {
        {"open", [](const PathMapper& p, const std::string& n) { return RecordFile(p, n, 10).open(); }},
        {"new file", [](const PathMapper& p, const std::string& n) { return NewFile::ofRecords(p, n, 10).create(); }},
        {"text file", [](const PathMapper& p, const std::string& n) { return TextFile(p, n).open(); }},
    };
    for (const auto& c : cases) {
        for (const auto& way : ways) {
            const int error = inChildProcess(
                [&] {
                    const PathMapper mapper(c.installationRoot);
                    if (mapper.fileExists(c.name) || mapper.hostPath(c.name).empty())
                        return 253;
                    return way.open(mapper, c.name).error;
                },
                c.unprivileged);
            EXPECT_EQ(error, c.error) << c.what << ", " << way.what;
        }
    }
    fs::permissions(root.path() / "locked", fs::perms::owner_all);
}

TEST_F(RecordFileTest, ABatchReadGivesTheRecordsWholeAndNamesTheFirstMissing)
{
    root.write("c/una.dat", "AAAABBBBCCCCDDDDEE"); // four records of 4 and half a fifth
    RecordFile file(paths, "c:\\una.dat", 4);
    ASSERT_TRUE(file.openForReading().ok());
    const struct {
        std::int64_t first;
        std::int64_t count;
        const char* records;
        const char* message;
    } cases[] = {
        {1, 4, "AAAABBBBCCCCDDDD", ""},
        {2, 2, "BBBBCCCC", ""},
        {3, 1, "CCCC", ""},
        {1, 0, "", ""},
        {2, 5, "BBBBCCCCDDDD", "Errore di lettura tipo  62 nel file binario c:\\una.dat al record  5"},
        {6, 2, "", "Errore di lettura tipo  62 nel file binario c:\\una.dat al record  6"},
        {0, 2, "", "Errore di lettura tipo  63 nel file binario c:\\una.dat al record  0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.first) + "+" + std::to_string(c.count));
        std::string records = "previous";
        const FileResult result = file.readRecords(c.first, c.count, records);
        EXPECT_EQ(records, c.records);
        EXPECT_EQ(result.message, c.message);
        EXPECT_EQ(result.error, *c.message ? (c.first == 0 ? 63 : 62) : 0);
    }
}

TEST_F(RecordFileTest, TextLinesEndInCrLfAndAFailureNamesItsLine)
{
    TextFile file(paths, "c:\\lines.txt");
    expectResult(file.open(), 0, "");
    expectResult(file.writeLine("<DenunceMensili>"), 0, "");
    expectResult(file.writeLines("a\r\nb\r\n", 2), 0, "");
    expectResult(file.writeLine("x"), 0, "");
    EXPECT_EQ(file.lineCount(), 4);
    file.close();
    EXPECT_EQ(root.read("c/lines.txt"), "<DenunceMensili>\r\na\r\nb\r\nx\r\n");
    expectResult(file.writeLine("y"), 52, "Errore di scrittura tipo  52 nel file c:\\lines.txt al record  5");
    // Opened again, the file is emptied and its lines counted from 1.
    ASSERT_TRUE(file.open().ok());
    EXPECT_EQ(file.lineCount(), 0);
    file.close();
    EXPECT_EQ(root.read("c/lines.txt"), "");
}

TEST_F(RecordFileTest, ANewFileTakesItsNameWholeOnlyWhenCommitted)
{
    root.write("c/TCU117", "an earlier file");
    NewFile file = NewFile::ofRecords(paths, "c:\\TCU117", 4);
    expectResult(file.create(), 0, "");
    const fs::path temporary = file.temporaryHostPath();
    EXPECT_TRUE(fs::exists(temporary));
    EXPECT_EQ(file.targetHostPath(), root.path() / "c" / "TCU117");
    expectResult(file.write(1, "AAAABBBB"), 0, "");
    expectResult(file.write(3, "CCCC"), 0, "");
    EXPECT_EQ(root.read("c/TCU117"), "an earlier file");
    expectResult(file.commit(), 0, "");
    EXPECT_EQ(root.read("c/TCU117"), "AAAABBBBCCCC");
    EXPECT_FALSE(fs::exists(temporary));
    EXPECT_FALSE(file.isOpen());
    EXPECT_TRUE(file.targetHostPath().empty());
    EXPECT_EQ(records::temporary_files::count(), 0); // nothing left for a stop to remove
    expectResult(file.commit(), 52, "Errore di scrittura tipo  52 nel file binario c:\\TCU117 al record  3");

    root.write("c/nolv/report.txt", "an earlier report\r\n");
    NewFile lines = NewFile::ofLines(paths, "\\NOLV\\report.txt");
    ASSERT_TRUE(lines.create().ok());
    // The folders as they are spelt on the disk.
    EXPECT_EQ(lines.targetHostPath(), root.path() / "c" / "nolv" / "report.txt");
    ASSERT_TRUE(lines.writeLine("ECHO OFF").ok());
    // A block that a writer thread could not write, written again at its place.
    ASSERT_TRUE(lines.writeLinesAt(10, "exit\r\n", 2).ok());
    EXPECT_EQ(root.read("c/nolv/report.txt"), "an earlier report\r\n");
    ASSERT_TRUE(lines.commit().ok());
    EXPECT_EQ(root.read("c/nolv/report.txt"), "ECHO OFF\r\nexit\r\n");
    EXPECT_TRUE(temporaryFilesIn("c/nolv").empty());
}

// Asking the system to start writing a file to the disk changes none of its bytes, and asks
// nothing of a file not created.
TEST_F(RecordFileTest, StartingTheWritebackChangesNothingThatWasWritten)
{
    NewFile file = NewFile::ofRecords(paths, "c:\\out.dat", 4);
    ASSERT_TRUE(file.create().ok());
    ASSERT_TRUE(file.write(2, "ABCD").ok());
    file.startWriteback();
    NewFile::ofRecords(paths, "c:\\other.dat", 4).startWriteback();
    expectResult(file.write(3, "EF"), 0, "");
    expectResult(file.commit(), 0, "");
    EXPECT_EQ(root.read("c/out.dat"), std::string(4, '\0') + "ABCDEF");
    EXPECT_EQ(entriesOf(root.path() / "c"), std::vector<std::string>{"out.dat"});
}

// A new file takes the permissions of the earlier file of its name, so that replacing a file
// opens it to nobody who could not read it before.
TEST_F(RecordFileTest, ANewFileKeepsThePermissionsOfTheFileItReplaces)
{
    const fs::path earlier = root.write("c/TCU117", "an earlier file");
    fs::permissions(earlier, fs::perms(0640));
    NewFile file = NewFile::ofRecords(paths, "c:\\TCU117", 4);
    ASSERT_TRUE(file.create().ok());
    ASSERT_TRUE(file.write(1, "AAAA").ok());
    expectResult(file.commit(), 0, "");
    EXPECT_EQ(fs::status(earlier).permissions(), fs::perms(0640));
    EXPECT_EQ(root.read("c/TCU117"), "AAAA");
}

TEST_F(RecordFileTest, ANewFileNotCommittedLeavesNothingAndTheEarlierFileAsItWas)
{
    const struct {
        const char* what;
        std::function<void(NewFile&)> leave;
    } endings[] = {
        {"discarded", [](NewFile& f) { f.discard(); }},
        {"created again", [](NewFile& f) { ASSERT_TRUE(f.create().ok()); f.discard(); }},
        {"replaced by another", [](NewFile& f) { f = NewFile(); }},
        {"gone", [](NewFile& f) { NewFile gone = std::move(f); }},
    };
    for (const auto& ending : endings) {
        SCOPED_TRACE(ending.what);
        root.write("c/TCU117", "an earlier file");
        NewFile file = NewFile::ofRecords(paths, "c:\\TCU117", 4);
        ASSERT_TRUE(file.create().ok());
        ASSERT_TRUE(file.write(1, "AAAA").ok());
        ending.leave(file);
        EXPECT_EQ(root.read("c/TCU117"), "an earlier file");
        EXPECT_TRUE(temporaryFilesIn("c").empty());
        EXPECT_EQ(records::temporary_files::count(), 0);
    }
}

TEST_F(RecordFileTest, ANewFileThatCannotBeWrittenOrNamedSaysWhereAndLeavesTheEarlierOne)
{
    root.write("c/TCU117", "an earlier file");
    {
        NewFile file = NewFile::ofRecords(paths, "c:\\TCU117", 4);
        ASSERT_TRUE(file.create().ok());
        const FileSizeLimit limit(4); // the second record finds the disk full
        expectResult(file.write(1, "AAAA"), 0, "");
        expectResult(file.write(2, "BBBB"), 61,
                     "Errore di scrittura tipo  61 nel file binario c:\\TCU117 al record  2");
    }
    EXPECT_EQ(root.read("c/TCU117"), "an earlier file");

    NewFile file = NewFile::ofLines(paths, "c:\\dati\\TCU117");
    fs::create_directories(root.path() / "c/dati");
    ASSERT_TRUE(file.create().ok());
    ASSERT_TRUE(file.writeLine("AAAA").ok());
    root.write("c/dati/TCU117/kept.dat", "kept"); // meanwhile a folder of that name appears
    expectResult(file.commit(), 75, "Errore tipo  75 nella creazione del file c:\\dati\\TCU117");
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(root.read("c/dati/TCU117/kept.dat"), "kept");
    EXPECT_TRUE(temporaryFilesIn("c/dati").empty());
}

// Where a new file could never take its name, nothing is created and the refusal comes at once.
TEST_F(RecordFileTest, ANewFileIsRefusedAtOnceWhereItCouldNeverTakeItsName)
{
    root.write("c/dati/TCU117/kept.dat", "kept");
    const struct {
        const char* name;
        int error;
    } cases[] = {
        {"c:\\manca\\TCU117", 76}, // no such folder
        {"c:\\dati\\", 75},        // the folder itself
        {"c:\\dati\\TCU117", 75},  // a folder of the name
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        NewFile file = NewFile::ofRecords(paths, c.name, 4);
        expectResult(file.create(), c.error, "Errore tipo  " + std::to_string(c.error) + " nella creazione del file ");
        EXPECT_FALSE(file.isOpen());
    }
    EXPECT_EQ(entriesOf(root.path() / "c"), std::vector<std::string>{"dati"});
    EXPECT_EQ(entriesOf(root.path() / "c/dati"), std::vector<std::string>{"TCU117"});
    EXPECT_EQ(entriesOf(root.path() / "c/dati/TCU117"), std::vector<std::string>{"kept.dat"});
}

TEST_F(RecordFileTest, AFailureIsShownAsTheRecordFilesAlwaysShowedItAndASuccessNotAtAll)
{
    ScriptedPrompter prompter;
    records::showFailure(prompter, {});
    records::showFailures(prompter, {{}, {53, "first"}, {}, {76, "second"}});
    ASSERT_EQ(prompter.texts(), (std::vector<std::string>{"first", "second"}));
    for (const auto& shown : prompter.shown) {
        EXPECT_EQ(shown.title, "");
        EXPECT_EQ(shown.icon, records::Icon::None);
        EXPECT_FALSE(shown.question);
    }
}
