#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "cu/telematic/field_writer.h"
#include "cu/telematic/tests/telematic_test_support.h"

using namespace cu::telematic;
using cu::telematic::testing::TelematicFileTest;
namespace support = cu::telematic::testing;

namespace {

// The 16-character value of the only field of a record G written by `write`.
struct AmountTest : TelematicFileTest {
    template <typename Write>
    std::string valueOf(Write write)
    {
        writer.startRecord("G");
        write();
        const std::string_view buffer = writer.buffered();
        return buffer.size() == 1 ? std::string("(none)") : std::string(buffer.substr(9));
    }
};

} // namespace

TEST_F(AmountTest, AmountWithCentsFollowsTheWorkedExamples)
{
    const struct {
        double amount;
        const char* value;
    } cases[] = {
        {1234.5, "         1234,50"},  {15, "           15,00"},      {0.07, "0000000000000,07"},
        {0.006, "0000000000000,01"},   {999.999, "         1000,00"},   {12.996, "           13,00"},
        {1234.5678, "         1234,57"}, {2.345, "            2,34"},   {9999999999999.99, "9999999999999,99"},
        {0, "(none)"},                 {-5, "(none)"},                {0.004, "(none)"},
        {0.005, "(none)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.amount);
        EXPECT_EQ(valueOf([&] { writer.writeAmount("DB001001", c.amount); }), c.value);
    }
    EXPECT_EQ(writer.gFieldCount(), 9);
}

TEST_F(AmountTest, AmountsReturnTheRoundedValueEvenWhenNothingIsWritten)
{
    writer.startRecord("G");
    EXPECT_DOUBLE_EQ(writer.writeAmount("DB001001", 1234.5678), 1234.57);
    EXPECT_DOUBLE_EQ(writer.writeAmount("DB001001", -1.234), -1.23);
    EXPECT_EQ(writer.writeAmount("DB001001", 0.005), 0);
    EXPECT_DOUBLE_EQ(writer.writeWhole("DB001341", 7.996), 8.0);
    EXPECT_EQ(writer.gFieldCount(), 2);
}

TEST_F(AmountTest, WholeAmountWritesBlanksBelowOne)
{
    EXPECT_EQ(valueOf([&] { writer.writeWhole("DB001341", 0.4); }), std::string(16, ' '));
    EXPECT_EQ(valueOf([&] { writer.writeWhole("DB001341", 7.9); }), std::string(15, ' ') + "7");
    EXPECT_EQ(valueOf([&] { writer.writeWhole("DB001341", 1234567890123456.0); }), "1234567890123456");
    EXPECT_EQ(valueOf([&] { writer.writeWhole("DB001341", 0.004); }), "(none)");
    EXPECT_EQ(valueOf([&] { writer.writeWhole("DB001341", -3); }), "(none)");
}

TEST_F(AmountTest, AmountsInCentsWriteWhatTheRoundedAmountsWrite)
{
    // Every length of whole part and every pair of decimals, with zeros inside; each
    // amount is written both ways and the fields and returned amounts must agree.
    std::mt19937_64 random(1900);
    std::vector<std::int64_t> amounts{0, 1, 7, 99, 100, 101, 999, 1000, 10000000, 99999999, 9999999999,
                                      10000000000, 100000000000000, 999999999999999, -1, -250};
    for (std::int64_t scale = 1; scale < 1'000'000'000'000'000; scale *= 10) {
        for (int n = 0; n < 400; ++n)
            amounts.push_back(static_cast<std::int64_t>(random() % static_cast<std::uint64_t>(scale * 10)));
        amounts.push_back(scale * 10 - 1);
        amounts.push_back(scale);
    }
    for (const std::int64_t cents : amounts) {
        SCOPED_TRACE(cents);
        const double amount = static_cast<double>(cents) / 100;
        const std::string amountField = valueOf([&] { EXPECT_EQ(writer.writeRoundedAmount("DB001001", amount), amount); });
        EXPECT_EQ(valueOf([&] { EXPECT_EQ(writer.writeCentsAmount("DB001001", cents), amount); }), amountField);
        const std::string wholeField = valueOf([&] { EXPECT_EQ(writer.writeRoundedWhole("DB001341", amount), amount); });
        EXPECT_EQ(valueOf([&] { EXPECT_EQ(writer.writeCentsWhole("DB001341", cents), amount); }), wholeField);
        writer.resetFieldCounts();
        if (::testing::Test::HasFailure())
            break;
    }
    EXPECT_EQ(valueOf([&] { writer.writeCentsAmount("DB001001", 123456789012345); }), "1234567890123,45");
    EXPECT_EQ(valueOf([&] { writer.writeCentsAmount("DB001001", 100000000); }), "      1000000,00");
    EXPECT_EQ(valueOf([&] { writer.writeCentsAmount("DB001001", 5); }), "0000000000000,05");
    EXPECT_EQ(valueOf([&] { writer.writeCentsWhole("DB001341", 99); }), std::string(16, ' '));
    EXPECT_EQ(valueOf([&] { writer.writeCentsWhole("DB001341", 123456789012345678); }), "1234567890123456");
}

TEST_F(AmountTest, AmountsTooLargeForTheFieldStopTheRun)
{
    writer.startRecord("G");
    try {
        writer.writeAmount("DB001001", 10000000000000.0);
        FAIL() << "no stop";
    } catch (const RunStopped& stop) {
        EXPECT_STREQ(stop.what(), "Importo non rappresentabile nel campo DB001001 ");
    }
    try {
        writer.writeWhole("DB001490", 1e16);
        FAIL() << "no stop";
    } catch (const RunStopped& stop) {
        EXPECT_STREQ(stop.what(), "Importo non rappresentabile nel campo DB001490 ");
    }
    try {
        writer.writeCentsAmount("DB001002", 1'000'000'000'000'000);
        FAIL() << "no stop";
    } catch (const RunStopped& stop) {
        EXPECT_STREQ(stop.what(), "Importo non rappresentabile nel campo DB001002 ");
    }
    try {
        writer.writeCentsWhole("DB001491", 1'000'000'000'000'000'000);
        FAIL() << "no stop";
    } catch (const RunStopped& stop) {
        EXPECT_STREQ(stop.what(), "Importo non rappresentabile nel campo DB001491 ");
    }
    EXPECT_EQ(writer.gFieldCount(), 0);
}

TEST(TextCheck, SkipsTextsThatBeginWithABlankAZeroBlankOrTwoNuls)
{
    EXPECT_TRUE(textCheck(" ABC").skip);
    EXPECT_TRUE(textCheck("0 ABC").skip);
    EXPECT_TRUE(textCheck(std::string(16, '\0')).skip);
    EXPECT_FALSE(textCheck("0").skip);
    EXPECT_EQ(textCheck("0").value, "0" + std::string(15, ' '));
    const TextCheck trailing = textCheck("MILANO    ");
    EXPECT_FALSE(trailing.skip);
    EXPECT_EQ(trailing.value, "MILANO          ");
    EXPECT_FALSE(textCheck("0A").skip);
}

TEST_F(TelematicFileTest, AnEmptyRecordIsBlankUpToTheEndMarker)
{
    writer.startRecord(std::string(89, 'x'));
    writer.flush();
    const std::string file = telematicFile();
    ASSERT_EQ(file.size(), 1900u);
    EXPECT_EQ(file, std::string(89, 'x') + std::string(1808, ' ') + "A\r\n");
    EXPECT_EQ(writer.totalRecords(), 1);
}

TEST_F(TelematicFileTest, FieldsArePaddedAndNeverLeaveTheirSlot)
{
    writer.startRecord("C");
    writer.writeDField("CT001001ABC");
    writer.writeDField("CT001002" + std::string(20, '9')); // 28 characters: cut to 24
    writer.writeDField("CT001003X");
    writer.flush();
    const std::string file = telematicFile();
    EXPECT_EQ(file.substr(1, 24), "CT001001ABC" + std::string(13, ' '));
    EXPECT_EQ(file.substr(25, 24), "CT001002" + std::string(16, '9'));
    EXPECT_EQ(file.substr(49, 24), "CT001003X" + std::string(15, ' '));
}

TEST_F(TelematicFileTest, TheSeventyFifthDFieldContinuesInANewRecordD)
{
    RecordKeys& keys = sampleKeys(41);
    keys.replacedSubmission = "12345" + std::string(12, ' ');
    keys.replacedCertificate = "7     ";
    keys.operation = 'S';
    writer.startRecord(recordDPositional(keys));
    for (int i = 1; i <= 76; ++i)
        writer.writeDField("DA001001F" + std::to_string(i));
    EXPECT_EQ(writer.dFieldCount(), 1);
    EXPECT_EQ(writer.countD, 1);
    EXPECT_EQ(keys.certificationNumber, 42);
    ++writer.countD;
    writer.flush();

    const std::string file = telematicFile();
    ASSERT_EQ(file.size(), 3800u);
    const std::string first = file.substr(0, 1900);
    const std::string second = file.substr(1900);
    const std::string positional41 = "D01234567890     00000001RSSMRA70A01F205X00041" "00000000000012345" "000007"
        + std::string(14, ' ') + "S    1";
    ASSERT_EQ(positional41.size(), 89u);
    EXPECT_EQ(first.substr(0, 89), positional41);
    EXPECT_EQ(first.substr(89 + 74 * 24, 24), "DA001001F75" + std::string(13, ' '));
    EXPECT_EQ(first.substr(1889), std::string(8, ' ') + "A\r\n");
    std::string positional42 = positional41;
    positional42.replace(41, 5, "00042");
    EXPECT_EQ(second.substr(0, 89), positional42);
    EXPECT_EQ(second.substr(89, 24), "DA001001F76" + std::string(13, ' '));
    EXPECT_EQ(second.substr(113, 1784), std::string(1784, ' '));
}

// Fields handed over together, as the withholding agent's part of quadro DA is, fill a
// record D and continue in the next exactly as one by one.
TEST_F(TelematicFileTest, DFieldsHandedOverTogetherContinueInANewRecordD)
{
    RecordKeys& keys = sampleKeys(41);
    writer.startRecord(recordDPositional(keys));
    for (int i = 1; i <= 70; ++i)
        writer.writeDField("DA001001F" + std::to_string(i));
    std::string slots;
    for (int i = 71; i <= 77; ++i)
        slots += "DA001001F" + std::to_string(i) + std::string(13, ' ');
    writer.writeDSlots(slots.data(), 7);
    EXPECT_EQ(writer.dFieldCount(), 2);
    EXPECT_EQ(writer.countD, 1);
    EXPECT_EQ(keys.certificationNumber, 42);
    writer.flush();

    const std::string file = telematicFile();
    ASSERT_EQ(file.size(), 3800u);
    EXPECT_EQ(file.substr(89 + 69 * 24, 24), "DA001001F70" + std::string(13, ' '));
    EXPECT_EQ(file.substr(89 + 70 * 24, 24), "DA001001F71" + std::string(13, ' '));
    EXPECT_EQ(file.substr(89 + 74 * 24, 24), "DA001001F75" + std::string(13, ' '));
    EXPECT_EQ(file.substr(1889, 11), std::string(8, ' ') + "A\r\n");
    EXPECT_EQ(file.substr(1900 + 41, 5), "00042");
    EXPECT_EQ(file.substr(1900 + 89, 48), "DA001001F76" + std::string(13, ' ') + "DA001001F77" + std::string(13, ' '));
    EXPECT_EQ(file.substr(1900 + 137, 1760), std::string(1760, ' '));
}

TEST_F(TelematicFileTest, AFullRecordGContinuesWithTheSameCertificationNumber)
{
    RecordKeys& keys = sampleKeys(3);
    writer.startRecord(recordGPositional(keys));
    writer.countG = 1;
    for (int i = 0; i < 75; ++i)
        writer.writeGField("DB001001            1,00");
    EXPECT_EQ(writer.gFieldCount(), 0);
    EXPECT_EQ(writer.countG, 2);
    writer.flush(); // the continuation, with its positional part only

    const std::string file = telematicFile();
    ASSERT_EQ(file.size(), 3800u);
    const std::string positional = "G01234567890     00000001RSSMRA70A01F205X00003" + std::string(43, ' ');
    EXPECT_EQ(file.substr(0, 89), positional);
    EXPECT_EQ(file.substr(1900, 89), positional);
    EXPECT_EQ(file.substr(1989, 1808), std::string(1808, ' '));
    EXPECT_EQ(file.substr(3797), "A\r\n");
    EXPECT_EQ(keys.certificationNumber, 3);
}

TEST_F(TelematicFileTest, ACertificationNumberBeyondFiveDigitsStopsTheRun)
{
    RecordKeys keys;
    keys.certificationNumber = 99999;
    EXPECT_EQ(recordDPositional(keys).size(), 89u);
    EXPECT_EQ(recordGPositional(keys).substr(41, 5), "99999");
    keys.certificationNumber = 100000;
    EXPECT_THROW(recordDPositional(keys), RunStopped);
    EXPECT_THROW(recordGPositional(keys), RunStopped);
}

TEST_F(TelematicFileTest, AWriteErrorIsShownOnceAndStopsTheRun)
{
    file.discard(); // nothing open: the write fails
    writer.startRecord("A");
    try {
        writer.flush();
        FAIL() << "no stop";
    } catch (const RunStopped& stop) {
        EXPECT_STREQ(stop.what(), "");
    }
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_TRUE(prompter.last().text.starts_with("Errore di scrittura tipo  52 nel file binario "));
}

namespace {

// A record whose positional part tells its number: "G" and the number in five digits.
std::string numbered(int number)
{
    char text[8];
    std::snprintf(text, sizeof text, "G%05d", number);
    return text;
}

std::string numberedRecord(int number)
{
    return numbered(number) + std::string(kBodyLength - 6, ' ') + "A\r\n";
}

} // namespace

TEST_F(TelematicFileTest, FinishedRecordsAreWrittenABatchAtATime)
{
    constexpr int kBatch = TelematicWriter::kBatchRecords;
    for (int n = 1; n < kBatch; ++n) {
        writer.startRecord(numbered(n));
        writer.finishRecord();
    }
    EXPECT_EQ(writer.pendingRecords(), kBatch - 1);
    EXPECT_EQ(telematicFile(), "");
    writer.startRecord(numbered(kBatch));
    writer.finishRecord();
    EXPECT_EQ(writer.pendingRecords(), 0); // handed to the writer thread
    writer.writePending();
    EXPECT_EQ(telematicFile().size(), static_cast<std::size_t>(kBatch) * kTelematicRecordLength);

    writer.startRecord(numbered(kBatch + 1));
    writer.finishRecord();
    writer.startRecord(numbered(kBatch + 2));
    writer.flush();
    const auto records = support::splitRecords(telematicFile());
    ASSERT_EQ(records.size(), static_cast<std::size_t>(kBatch + 2));
    for (int n = 1; n <= kBatch + 2; ++n)
        EXPECT_EQ(records[static_cast<std::size_t>(n - 1)], numberedRecord(n));
    EXPECT_EQ(writer.totalRecords(), kBatch + 2);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(TelematicFileTest, ManyBatchesReachTheFileWholeAndInOrder)
{
    constexpr int kRecords = 6 * TelematicWriter::kBatchRecords + 7;
    for (int n = 1; n <= kRecords; ++n) {
        writer.startRecord(numbered(n));
        writer.finishRecord();
    }
    writer.startRecord(numbered(kRecords + 1));
    writer.flush();
    const auto records = support::splitRecords(telematicFile());
    ASSERT_EQ(records.size(), static_cast<std::size_t>(kRecords + 1));
    for (int n = 1; n <= kRecords + 1; ++n)
        ASSERT_EQ(records[static_cast<std::size_t>(n - 1)], numberedRecord(n)) << "record " << n;
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(TelematicFileTest, WritingThePendingRecordsKeepsTheRecordBeingBuilt)
{
    writer.startRecord(numbered(1));
    writer.finishRecord();
    writer.startRecord(numbered(2));
    writer.writeGField("DB001001            1,00");
    writer.writePending();
    EXPECT_EQ(telematicFile(), numberedRecord(1));
    writer.writeGField("DB001002            2,00");
    writer.flush();
    const auto records = support::splitRecords(telematicFile());
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].substr(0, 54), numbered(2) + "DB001001            1,00DB001002            2,00");
    EXPECT_EQ(records[1].substr(54, 1843), std::string(1843, ' '));
}

TEST_F(TelematicFileTest, AWriteFailingInTheMiddleOfABatchNamesTheRecordThatFailed)
{
    std::string file;
    {
        // Five records and 100 bytes of the sixth fit.
        const support::FileSizeLimit limit(5 * kTelematicRecordLength + 100);
        for (int n = 1; n <= 8; ++n) {
            writer.startRecord(numbered(n));
            writer.finishRecord();
        }
        writer.startRecord(numbered(9));
        try {
            writer.flush();
            FAIL() << "no stop";
        } catch (const RunStopped& stop) {
            EXPECT_STREQ(stop.what(), "");
        }
        file = telematicFile();
    }
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.last().text, "Errore di scrittura tipo  61 nel file binario c:\\out.tel al record  6");
    EXPECT_EQ(writer.pendingRecords(), 0);
    ASSERT_EQ(file.size(), 5u * kTelematicRecordLength + 100);
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(file.substr(static_cast<std::size_t>(n - 1) * kTelematicRecordLength, kTelematicRecordLength),
                  numberedRecord(n));
}

TEST_F(TelematicFileTest, ABatchThatCannotBeWrittenStopsTheRunBeforeTheNextIsWritten)
{
    std::string file;
    int finished = 0;
    {
        const support::FileSizeLimit limit(20 * kTelematicRecordLength);
        try {
            for (int n = 1; n <= 3 * TelematicWriter::kBatchRecords; ++n) {
                writer.startRecord(numbered(n));
                writer.finishRecord();
                ++finished;
            }
            FAIL() << "no stop";
        } catch (const RunStopped& stop) {
            EXPECT_STREQ(stop.what(), "");
        }
        file = telematicFile();
    }
    // The first batch failed while the second was built; the stop comes when the second is
    // full, before any of it is written.
    EXPECT_EQ(finished, 2 * TelematicWriter::kBatchRecords - 1);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.last().text, "Errore di scrittura tipo  61 nel file binario c:\\out.tel al record  21");
    EXPECT_EQ(file.size(), 20u * kTelematicRecordLength);
    EXPECT_EQ(writer.pendingRecords(), 0);
    writer.writePending();
    EXPECT_EQ(prompter.shown.size(), 1u);
}

TEST_F(TelematicFileTest, ABatchOnAClosedFileShowsOneMessageForItsFirstRecord)
{
    writer.startRecord(numbered(1));
    writer.finishRecord();
    file.discard();
    writer.startRecord(numbered(2));
    writer.finishRecord();
    writer.startRecord(numbered(3));
    EXPECT_THROW(writer.flush(), RunStopped);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.last().text, "Errore di scrittura tipo  52 nel file binario c:\\out.tel al record  1");
    // Nothing is left to be written after the stop.
    EXPECT_EQ(writer.pendingRecords(), 0);
    writer.writePending();
    EXPECT_EQ(prompter.shown.size(), 1u);
}
