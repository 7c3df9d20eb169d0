#include <gtest/gtest.h>

#include "records/cp1252.h"
#include "records/text.h"

using namespace records;

TEST(Text, TrimsOnlyBlanks)
{
    EXPECT_EQ(trim("  a b  "), "a b");
    EXPECT_EQ(trim("      "), "");
    EXPECT_EQ(trim("\tx\t"), "\tx\t");
    EXPECT_EQ(trimLeft("  x "), "x ");
    EXPECT_EQ(trimRight("  x "), "  x");
}

TEST(Text, CutsAndPads)
{
    EXPECT_EQ(fitRight("abc", 5), "abc  ");
    EXPECT_EQ(fitRight("abcdef", 3), "abc");
    EXPECT_EQ(padLeft("7", 3, '0'), "007");
    EXPECT_EQ(padLeft("1234", 3, '0'), "1234");
    EXPECT_EQ(padRight("ab", 4), "ab  ");
    EXPECT_EQ(mid("abcdef", 2, 3), "bcd");
    EXPECT_EQ(mid("abcdef", 5, 3), "ef");
    EXPECT_EQ(mid("abcdef", 7, 3), "");
    EXPECT_EQ(mid("abcdef", 0, 3), "");
}

TEST(Text, UpperCaseCoversTheAccentedLettersOfTheCodePage)
{
    EXPECT_EQ(toUpper("rossi mario"), "ROSSI MARIO");
    EXPECT_EQ(toUpper("citt\xE0 \xE8 \xF7"), "CITT\xC0 \xC8 \xF7");
    EXPECT_EQ(toUpper(std::string("a\0b", 3)), std::string("A\0B", 3));
}

TEST(Text, NumbersPrintWithASignPosition)
{
    EXPECT_EQ(signedNumberText(62), " 62");
    EXPECT_EQ(signedNumberText(2), " 2");
    EXPECT_EQ(signedNumberText(-3), "-3");
    EXPECT_EQ(signedNumberText(0), " 0");
    EXPECT_EQ(signedNumberText(-0.0), " 0");
    EXPECT_EQ(signedNumberText(1234.5, ','), " 1234,5");
    EXPECT_EQ(signedNumberText(0.5, ','), " 0,5");
    EXPECT_EQ(signedNumberText(0.1 + 0.2, ','), " 0,3");
    EXPECT_EQ(signedNumberText(123456789012.34, ','), " 123456789012,34");
    EXPECT_EQ(digitsText(12), "12");
}

TEST(Cp1252, AllBytesSurviveARoundTrip)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
    EXPECT_EQ(cp1252ToUtf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(cp1252ToUtf8("Citt\xE0"), "Citt\xC3\xA0");
    EXPECT_EQ(utf8ToCp1252("\xE2\x82\xAC \xE4\xB8\xAD"), "\x80 ?");
    EXPECT_EQ(utf8ToCp1252("\xC3"), "?");
}

TEST(Text, CalendarDatesAreEightDigitsNamingARealDay)
{
    const struct {
        const char* text;
        bool date;
    } cases[] = {
        {"28022017", true},  {"29022016", true},  {"29022000", true},  {"31122017", true},
        {"31022017", false}, {"29022017", false}, {"29021900", false}, {"31042017", false},
        {"00012017", false}, {"01002017", false}, {"01132017", false}, {"1032017", false},
        {"010320170", false}, {"0103201 ", false}, {" 1032017", false}, {"01-03-17", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isCalendarDate(c.text), c.date) << c.text;
}
