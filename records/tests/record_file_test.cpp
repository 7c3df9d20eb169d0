#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "records/host_paths.h"
#include "records/output_file.h"
#include "records/record_file.h"
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

    // The names of the temporary files left in a folder of the root.
    std::vector<std::string> temporaryFilesIn(const std::string& folder) const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(root.path() / folder)) {
            if (records::OutputFile::isTemporaryName(entry.path().filename().string()))
                names.push_back(entry.path().filename().string());
        }
        return names;
    }
};

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

// Every way in: a missing folder is 76, a name with a control character 64, and each says so
// in the words of its own operation.
TEST_F(RecordFileTest, EachOpeningNamesItsFailureInItsOwnWords)
{
    const std::string missing = "c:\\nowhere\\file.dat";
    const std::string control = std::string("c:\\TCU117\0.tmp", 14);
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
        expectResult(way.open(control), 64, "Errore tipo  64" + way.message + (way.named ? control : ""));
    }
    EXPECT_EQ(fs::directory_iterator(root.path() / "c"), fs::directory_iterator());
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
        expectResult(RecordFile(paths, name, 10).openForReading(), c.reading, c.reading == 0 ? "" : reading + name);
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
    expectResult(file.write(1, "AAAABBBB"), 0, "");
    expectResult(file.write(3, "CCCC"), 0, "");
    EXPECT_EQ(root.read("c/TCU117"), "an earlier file");
    expectResult(file.commit(), 0, "");
    EXPECT_EQ(root.read("c/TCU117"), "AAAABBBBCCCC");
    EXPECT_FALSE(fs::exists(temporary));
    EXPECT_FALSE(file.isOpen());
    expectResult(file.commit(), 52, "Errore di scrittura tipo  52 nel file binario c:\\TCU117 al record  3");

    NewFile lines = NewFile::ofLines(paths, "\\NOLV\\report.txt");
    fs::create_directories(root.path() / "c/nolv");
    ASSERT_TRUE(lines.create().ok());
    ASSERT_TRUE(lines.writeLine("ECHO OFF").ok());
    // A block that a writer thread could not write, written again at its place.
    ASSERT_TRUE(lines.writeLinesAt(10, "exit\r\n", 2).ok());
    ASSERT_TRUE(lines.commit().ok());
    EXPECT_EQ(root.read("c/nolv/report.txt"), "ECHO OFF\r\nexit\r\n");
    EXPECT_TRUE(temporaryFilesIn("c/nolv").empty());
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
    EXPECT_EQ(root.read("c/dati/TCU117/kept.dat"), "kept");
    EXPECT_TRUE(temporaryFilesIn("c/dati").empty());
    // A folder of the name refuses the new file at once: it could never take its name.
    expectResult(NewFile::ofRecords(paths, "c:\\dati\\TCU117", 4).create(), 75,
                 "Errore tipo  75 nella creazione del file ");
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
