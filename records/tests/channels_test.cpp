#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "records/channels.h"
#include "records/host_paths.h"
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
