#include <gtest/gtest.h>

#include <string>

#include "payroll/field_layout.h"
#include "payroll/record_fields.h"

using payroll::RecordFields;

namespace {

// A record of 40 bytes: field 1 at 1-3, field 2 at 4-15 (12 bytes), field 3 at 16-20 (5),
// field 4 at 21-40 (20).
constexpr payroll::FieldRun kRuns[] = {{1, 1, 3, 1}, {2, 2, 12, 4}, {3, 3, 5, 16}, {4, 4, 20, 21}};
const payroll::FieldLayout& layout()
{
    static const payroll::FieldLayout made("test", 40, kRuns);
    return made;
}

// A blank record with `stored` at the position of `field`.
std::string recordWith(int field, const std::string& stored)
{
    std::string record(40, ' ');
    record.replace(static_cast<std::size_t>(layout().slot(field).position - 1), stored.size(), stored);
    return record;
}

} // namespace

// A field reads as its stored text without the blanks around it; control characters (codes
// 0 to 31) read as blanks, inside the text too; other bytes stay as they are.
TEST(RecordFields, AFieldIsItsTextWithoutBlanksAndControlCharacters)
{
    const struct {
        int field;
        std::string stored;
        std::string text;
    } cases[] = {
        {2, "  ROSSI     ", "ROSSI"},
        {2, std::string("ROSSI\0\0\0\0\0\0\0", 12), "ROSSI"},
        {2, "RO\tSSI      ", "RO SSI"},
        {2, "\x01ROSSI MARIO", "ROSSI MARIO"},
        {2, "            ", ""},
        {3, "  7  ", "7"},
        {3, std::string("\0\0\0\0\0", 5), ""},
        {3, "A\x1f" "B  ", "A B"},
        {3, "ABCDE", "ABCDE"},
        {4, "NICOL\xD2              ", "NICOL\xD2"},
        {4, "XXXXXXXXXXXXXXXXXXXX", "XXXXXXXXXXXXXXXXXXXX"},
        {4, "X                  Y", "X                  Y"},
        {4, "         \x7f" "         ", "\x7f"},
        {4, "                 \r\nZ", "Z"},
        {1, "\x02" "1\x03", "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string record = recordWith(c.field, c.stored);
        const RecordFields fields(layout(), record);
        EXPECT_EQ(fields[c.field], c.text);
        EXPECT_EQ(fields[c.field], c.text) << "read again";
    }
}

// A record cut short holds the start of the field it ends in and none of the fields after;
// fields past the last one asked for, and numbers outside the layout, are empty.
TEST(RecordFields, ShortRecordsLastFieldAndNumbersOutsideTheLayout)
{
    const std::string record = "$01ROSSI       00310  NICOL";
    const RecordFields fields(layout(), record);
    EXPECT_EQ(fields[1], "$01");
    EXPECT_EQ(fields[2], "ROSSI");
    EXPECT_EQ(fields[3], "00310");
    EXPECT_EQ(fields[4], "NICOL");
    EXPECT_EQ(fields[0], "");
    EXPECT_EQ(fields[5], "");
    EXPECT_EQ(fields[-1], "");
    EXPECT_EQ(fields.number(3), 310);

    const RecordFields cut(layout(), std::string_view(record).substr(0, 17), 3);
    EXPECT_EQ(cut[2], "ROSSI");
    EXPECT_EQ(cut[3], "00");
    EXPECT_EQ(cut[4], "");
    EXPECT_EQ(cut.number(4), 0);

    // The same object reads the next record afresh.
    RecordFields reused(layout());
    const std::string first = recordWith(2, "BIANCHI");
    reused.reset(first);
    EXPECT_EQ(reused[2], "BIANCHI");
    const std::string next = recordWith(2, "VERDI");
    reused.reset(next);
    EXPECT_EQ(reused[2], "VERDI");
}

// Whether a field is above zero, as its numeric value says, also for the texts judged by
// their digits alone.
TEST(RecordFields, APositiveFieldIsOneWhoseValueIsAboveZero)
{
    const struct {
        std::string stored;
        bool positive;
        double value;
    } cases[] = {
        {"", false, 0},           {"0", false, 0},         {"0.00", false, 0},       {"000.000", false, 0},
        {"0.01", true, 0.01},     {"123.45", true, 123.45}, {"25000.00", true, 25000}, {".5", true, 0.5},
        {"-1", false, -1},        {"+1", true, 1},          {"1E2", true, 100},        {"1 2", true, 12},
        {"0.", false, 0},         {"-0.00", false, 0},      {"ABC", false, 0},         {"1E-400", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        const std::string record = recordWith(2, c.stored);
        const RecordFields judged(layout(), record);
        EXPECT_EQ(judged.positive(2), c.positive);
        const RecordFields read(layout(), record);
        EXPECT_EQ(read.number(2), c.value);
        EXPECT_EQ(read.positive(2), c.positive) << "after the value was read";
    }
}
