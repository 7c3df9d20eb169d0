#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "records/cu_edition.h"

using namespace records;

// The names that follow from the edition, as the CU 2017 files and the installation have them.
TEST(CuEdition, NamesFollowTheTwoYears)
{
    const struct {
        const char* constant;
        const char* expected;
    } cases[] = {
        {kCuYear, "2017"},
        {kCuIncomeYear, "2016"},
        {kCuYearDigits, "17"},
        {kCuFileExtension, ".017"},
        {kCuSupplyCode, "CUR17"},
        {kCuDataFolder, "\\nolv\\nv770\\2016\\dati\\"},
        {kProgramVersion, "17.30"},
        {kProgramRelease, "Febbraio 2017"},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(c.constant, c.expected);
        EXPECT_EQ(std::strlen(c.constant), std::string(c.expected).size()); // no stray NUL inside
    }
}

TEST(CuEdition, TextsJoinAndSliceAtCompileTime)
{
    constexpr FixedText year{"2031"};
    constexpr FixedText joined = joinTexts("FCU7", joinTexts(".", sliceText<1, 3>(year)), "");
    static_assert(joined.size() == 8);
    EXPECT_EQ(joined.view(), "FCU7.031");
    EXPECT_STREQ(joined.c_str(), "FCU7.031");
    EXPECT_EQ((sliceText<2, 2>(year).view()), "31");
    EXPECT_EQ(joinTexts("").view(), "");
}
