#include <gtest/gtest.h>

#include "payroll/cu_archive.h"

using namespace payroll;

namespace {
// A record whose every position holds a character derived from the position, so that an
// entry shows exactly which positions it was cut from.
std::string numberedRecord(std::size_t length)
{
    std::string record(length, ' ');
    for (std::size_t i = 0; i < length; ++i)
        record[i] = static_cast<char>('!' + (i % 90));
    return record;
}

std::string positions(const std::string& record, int from, int to)
{
    return record.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - from + 1));
}
} // namespace

TEST(ArchiveRecord, LayoutCoversPositions2To5259WithoutGaps)
{
    int next = 2;
    bool firstTable = true;
    for (const std::span<const payroll::EntryRun> layout : {payroll::cuFieldLayout(), payroll::secondCuFieldLayout()}) {
        int expectedEntry = 1;
        for (const payroll::EntryRun& run : layout) {
            if (firstTable && expectedEntry == 49)
                expectedEntry = 50; // entry 49 has no field
            EXPECT_EQ(run.first, expectedEntry);
            EXPECT_EQ(run.position, next) << "entry " << run.first;
            next = run.position + (run.last - run.first + 1) * run.length;
            expectedEntry = run.last + 1;
        }
        EXPECT_EQ(expectedEntry, firstTable ? payroll::kCuFieldCount + 1 : payroll::kSecondCuFieldCount + 1);
        firstTable = false;
    }
    EXPECT_EQ(next, 5260);
}

TEST(ArchiveRecord, UnpacksEntriesAtTheirPositions)
{
    const std::string record = numberedRecord(payroll::kArchiveRecordLength);
    payroll::CuFields fields;
    payroll::unpackArchiveRecord(record, fields);
    EXPECT_EQ(fields.cu[1], positions(record, 2, 17));
    EXPECT_EQ(fields.cu[48], positions(record, 498, 509));
    EXPECT_EQ(fields.cu[50], positions(record, 510, 512));
    EXPECT_EQ(fields.cu[49], "");
    EXPECT_EQ(fields.cu[0], "");
    EXPECT_EQ(fields.cu[500], positions(record, 4112, 4117));
    EXPECT_EQ(fields.cu2[1], positions(record, 4118, 4129));
    EXPECT_EQ(fields.cu2[103], positions(record, 5248, 5259));
    EXPECT_EQ(fields.cu[430], positions(record, 3602, 3641));
    EXPECT_EQ(fields.cu2[100], positions(record, 5160, 5229));
    EXPECT_EQ(payroll::cuFieldSlot(27).position, 294);
    EXPECT_EQ(payroll::secondCuFieldSlot(74).position, 4690);
}

TEST(ArchiveRecord, FiscalCodeIsTakenWithItsBlanks)
{
    std::string record(payroll::kArchiveRecordLength, ' ');
    record.replace(1, 16, "RSSMRA80A01 H501");
    payroll::CuFields fields;
    payroll::unpackArchiveRecord(record, fields);
    EXPECT_EQ(fields.cu[1], "RSSMRA80A01 H501");
}

TEST(ArchiveRecord, AShortBufferCutsEntriesShortAndEmptiesTheRest)
{
    const std::string record = numberedRecord(100);
    payroll::CuFields fields;
    fields.cu2[5] = "stale";
    payroll::unpackArchiveRecord(record, fields);
    EXPECT_EQ(fields.cu[6], positions(record, 75, 98));
    EXPECT_EQ(fields.cu[7], positions(record, 99, 100));
    EXPECT_EQ(fields.cu[8], "");
    EXPECT_EQ(fields.cu[500], "");
    EXPECT_EQ(fields.cu2[5], "");
}

TEST(ArchiveRecord, PackIsTheReverseOfUnpack)
{
    payroll::CuFields fields;
    fields.cu[1] = "RSSMRA80A01H501U";
    fields.cu[2] = "ROSSI";
    fields.cu[27] = "365";
    fields.cu2[103] = "123.45";
    fields.cu[5] = "far too long for eight";
    const std::string record = payroll::packArchiveRecord(fields);
    ASSERT_EQ(record.size(), 6000u);
    EXPECT_EQ(record[0], '$');
    payroll::CuFields back;
    payroll::unpackArchiveRecord(record, back);
    EXPECT_EQ(back.cu[1], "RSSMRA80A01H501U");
    EXPECT_EQ(back.cu[2], "ROSSI                   ");
    EXPECT_EQ(back.cu[5], "far too ");
    EXPECT_EQ(back.cu2[103], "123.45      ");
}

// Records of every length from empty to whole, unpacked one after the other into the same
// tables (entries of stale lengths, cut short or emptied), give each entry exactly the
// characters of its slot that the record holds: the copy of runs wholly within the record
// and the entry-by-entry copy at the record's end agree with cutting the slot out.
TEST(ArchiveRecord, ReusedTablesHoldExactlyTheSlotsOfEachRecord)
{
    const std::string whole = numberedRecord(payroll::kArchiveRecordLength);
    payroll::CuFields fields;
    const auto expectSlots = [&](const std::string& record) {
        for (int entry = 1; entry <= payroll::kCuFieldCount; ++entry) {
            const payroll::EntrySlot slot = payroll::cuFieldSlot(entry);
            if (slot.position == 0)
                continue;
            const auto start = static_cast<std::size_t>(slot.position - 1);
            const std::string expected = start < record.size() ? record.substr(start, static_cast<std::size_t>(slot.length)) : "";
            ASSERT_EQ(fields.cu[static_cast<std::size_t>(entry)], expected) << "length " << record.size() << " entry " << entry;
        }
        for (int entry = 1; entry <= payroll::kSecondCuFieldCount; ++entry) {
            const payroll::EntrySlot slot = payroll::secondCuFieldSlot(entry);
            const auto start = static_cast<std::size_t>(slot.position - 1);
            const std::string expected = start < record.size() ? record.substr(start, static_cast<std::size_t>(slot.length)) : "";
            ASSERT_EQ(fields.cu2[static_cast<std::size_t>(entry)], expected) << "length " << record.size() << " entry " << entry;
        }
    };
    for (std::size_t length : {std::size_t{6000}, std::size_t{0}, std::size_t{6000}, std::size_t{5259}, std::size_t{5260},
                               std::size_t{1}, std::size_t{17}, std::size_t{3640}, std::size_t{6000}}) {
        std::string record = whole.substr(0, length);
        if (length > 1)
            record[length / 2] = static_cast<char>('a' + length % 26); // a change from one record to the next
        payroll::unpackArchiveRecord(record, fields);
        expectSlots(record);
    }
    for (std::size_t length = 0; length <= 5300; length += 7) {
        payroll::unpackArchiveRecord(std::string_view(whole).substr(0, length), fields);
        expectSlots(whole.substr(0, length));
    }
}

// The views of a record see the same characters as the unpacked entries: at their
// positions in a whole record, cut short or empty at the end of a shorter one, and nothing
// left over from the record viewed before.
TEST(ArchiveRecord, ViewsSeeEachEntryWhereItLies)
{
    const std::string whole = numberedRecord(payroll::kArchiveRecordLength);
    struct Case {
        std::size_t length; // of the record viewed
        bool second;        // CU2 table
        int entry;
        int from;           // positions expected, 0 for an empty entry
        int to;
    };
    const Case cases[] = {
        {6000, false, 1, 2, 17},       {6000, false, 27, 294, 296},  {6000, false, 48, 498, 509},
        {6000, false, 49, 0, 0},       {6000, false, 0, 0, 0},       {6000, false, 430, 3602, 3641},
        {6000, false, 500, 4112, 4117}, {6000, true, 1, 4118, 4129}, {6000, true, 100, 5160, 5229},
        {6000, true, 103, 5248, 5259}, {100, false, 6, 75, 98},      {100, false, 7, 99, 100},
        {100, false, 8, 0, 0},         {100, true, 5, 0, 0},         {98, false, 7, 0, 0},
        {5255, true, 103, 5248, 5255}, {5247, true, 103, 0, 0},      {0, false, 1, 0, 0},
    };
    payroll::CuEntries entries;
    for (const Case& c : cases) {
        const std::string record = whole.substr(0, c.length);
        // As read by the run: 16 blanks appended, which no entry sees, and the views marked
        // as lying in a record that can be read that far past its end.
        std::string read = record;
        payroll::CuEntries readEntries;
        payroll::viewReadRecord(read, readEntries);
        EXPECT_EQ(read, record + std::string(16, ' '));
        EXPECT_EQ(readEntries.readable.data(), read.data());
        EXPECT_EQ(readEntries.readable.size(), record.size());
        payroll::viewArchiveRecord(record, entries);
        EXPECT_TRUE(entries.readable.empty());
        for (const payroll::CuEntries* viewed : {&entries, &readEntries}) {
            const std::string_view seen = c.second ? viewed->cu2[static_cast<std::size_t>(c.entry)]
                                                   : viewed->cu[static_cast<std::size_t>(c.entry)];
            const std::string expected = c.from == 0 ? "" : positions(record, c.from, c.to);
            EXPECT_EQ(seen, expected) << "length " << c.length << " entry " << c.entry << (c.second ? " of CU2" : "");
        }
    }

    payroll::CuFields fields;
    fields.cu[27] = "365";
    fields.cu2[18] = " 700";
    payroll::viewFields(fields, entries);
    EXPECT_EQ(entries.cu[27], "365");
    EXPECT_EQ(entries.cu2[18], " 700");
    EXPECT_EQ(entries.cu[26], "");
}
