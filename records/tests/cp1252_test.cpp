#include <gtest/gtest.h>

#include <string>

#include "records/cp1252.h"

using records::utf8ToCp1252;
using records::utf8ToCp1252Strict;

TEST(Utf8ToCp1252Strict, WellFormedTextsBecomeWindows1252)
{
    const struct {
        std::string utf8;
        std::string expected;
    } cases[] = {
        {"", ""},
        {"TCU117", "TCU117"},
        {"caff\xC3\xA8", "caff\xE8"},                // U+00E8, two bytes
        {"\xE2\x82\xAC 10", "\x80 10"},              // euro sign, three bytes
        {"\xEF\xBF\xBD", "?"},                        // U+FFFD: well-formed, not in the code page
        {"a\xF0\x9F\x98\x80z", "a?z"},                // U+1F600, four bytes
        {"\xF4\x8F\xBF\xBF", "?"},                    // U+10FFFF, the last code point
    };
    for (const auto& c : cases) {
        const auto bytes = utf8ToCp1252Strict(c.utf8);
        ASSERT_TRUE(bytes.has_value()) << c.utf8;
        EXPECT_EQ(*bytes, c.expected) << c.utf8;
    }
}

TEST(Utf8ToCp1252Strict, MalformedTextsAreRefusedWithTheOffsetOfTheFirstBadByte)
{
    const struct {
        std::string utf8;
        std::size_t offset;
        const char* what;
    } cases[] = {
        {"DCU1.017\xC0\x80", 8, "overlong NUL"},
        {"a\xC0\xAF" "b", 1, "overlong solidus"},
        {"\xE0\x80\xAF", 0, "overlong three-byte solidus"},
        {"\xE0\x9F\xBF", 0, "overlong three-byte form"},
        {"\xF0\x80\x80\xAF", 0, "overlong four-byte solidus"},
        {"x\xED\xA0\x80", 1, "high surrogate"},
        {"\xED\xBF\xBF", 0, "low surrogate"},
        {"\xF4\x90\x80\x80", 0, "above U+10FFFF"},
        {"\xF5\x80\x80\x80", 0, "lead byte beyond the code space"},
        {"ok\xFF", 2, "byte FF"},
        {"\x80" "abc", 0, "lone continuation byte"},
        {"TCU\xC3", 3, "two-byte sequence cut at the end"},
        {"\xE2\x82", 0, "three-byte sequence cut at the end"},
        {"\xE2\x82" "A", 0, "three-byte sequence cut by a letter"},
        {"\xF0\x9F\x98", 0, "four-byte sequence cut at the end"},
    };
    for (const auto& c : cases) {
        std::size_t offset = 999;
        EXPECT_FALSE(utf8ToCp1252Strict(c.utf8, &offset).has_value()) << c.what;
        EXPECT_EQ(offset, c.offset) << c.what;
    }
}

TEST(Utf8ToCp1252, EachMalformedPartBecomesOneQuestionMarkAndNeverANulOrASeparator)
{
    EXPECT_EQ(utf8ToCp1252("DCU1.017\xC0\x80"), "DCU1.017??");
    EXPECT_EQ(utf8ToCp1252("a\xC0\xAF" "b"), "a??b");
    EXPECT_EQ(utf8ToCp1252("a\xE0\x80\xAF" "b"), "a???b");
    EXPECT_EQ(utf8ToCp1252("x\xED\xA0\x80y"), "x???y");
    EXPECT_EQ(utf8ToCp1252("\xE2\x82" "A"), "?A"); // a cut character is one "?"
    EXPECT_EQ(utf8ToCp1252("\xF0\x9F\x98"), "?");
    EXPECT_EQ(utf8ToCp1252("caff\xC3\xA8 \xE2\x82\xAC"), "caff\xE8 \x80");
}
