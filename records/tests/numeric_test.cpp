#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

#include "records/numeric.h"

using records::numericValue;
using records::roundToCents;

TEST(NumericValue, ReadsPlainNumbers)
{
    EXPECT_EQ(numericValue("0"), 0);
    EXPECT_EQ(numericValue("12"), 12);
    EXPECT_EQ(numericValue("1234.56"), 1234.56);
    EXPECT_EQ(numericValue(".5"), 0.5);
    EXPECT_EQ(numericValue("5."), 5);
    EXPECT_EQ(numericValue("000000012345"), 12345);
}

TEST(NumericValue, SkipsBlanksAnywhere)
{
    EXPECT_EQ(numericValue("   1234.50"), 1234.5);
    EXPECT_EQ(numericValue("1 2 3"), 123);
    EXPECT_EQ(numericValue(" - 1 2 . 5 "), -12.5);
    EXPECT_EQ(numericValue("  7"), 7);
    EXPECT_EQ(numericValue("            "), 0);
    EXPECT_EQ(numericValue(""), 0);
}

TEST(NumericValue, OnlyCharacter32IsABlank)
{
    EXPECT_EQ(numericValue("\t5"), 0);
    EXPECT_EQ(numericValue("5\t6"), 5);
    EXPECT_EQ(numericValue(std::string("\0\0" "5", 3)), 0);
    EXPECT_EQ(numericValue(std::string("4\0" "5", 3)), 4);
}

TEST(NumericValue, ReadsOneSign)
{
    EXPECT_EQ(numericValue("-5"), -5);
    EXPECT_EQ(numericValue("+5"), 5);
    EXPECT_EQ(numericValue("+-5"), 0);
    EXPECT_EQ(numericValue("--5"), 0);
    EXPECT_EQ(numericValue("5-3"), 5);
    EXPECT_FALSE(std::signbit(numericValue("-0")));
    EXPECT_FALSE(std::signbit(numericValue("-")));
}

TEST(NumericValue, StopsAtTheFirstOtherCharacter)
{
    EXPECT_EQ(numericValue("12abc"), 12);
    EXPECT_EQ(numericValue("abc"), 0);
    EXPECT_EQ(numericValue("1.2.3"), 1.2);
    EXPECT_EQ(numericValue("1,5"), 1);
    EXPECT_EQ(numericValue("X"), 0);
    EXPECT_EQ(numericValue("."), 0);
    EXPECT_EQ(numericValue("-.e5"), 0);
    EXPECT_EQ(numericValue("007"), 7);
}

TEST(NumericValue, ReadsExponentsWithEOrD)
{
    EXPECT_EQ(numericValue("1E2"), 100);
    EXPECT_EQ(numericValue("1e+2"), 100);
    EXPECT_EQ(numericValue("1D2"), 100);
    EXPECT_EQ(numericValue("1d-2"), 0.01);
    EXPECT_EQ(numericValue("2.5E 1"), 25);
    EXPECT_EQ(numericValue("1 E 3"), 1000);
    EXPECT_EQ(numericValue("1E2E3"), 100);
}

TEST(NumericValue, ExponentLetterWithoutDigitsEndsTheNumber)
{
    EXPECT_EQ(numericValue("1E"), 1);
    EXPECT_EQ(numericValue("1E+"), 1);
    EXPECT_EQ(numericValue("1E-x"), 1);
    EXPECT_EQ(numericValue("3Dx"), 3);
    EXPECT_EQ(numericValue("E5"), 0);
    EXPECT_EQ(numericValue("7F2"), 7);
}

TEST(NumericValue, KeepsFullDoublePrecision)
{
    EXPECT_EQ(numericValue("0.1"), 0.1);
    EXPECT_EQ(numericValue("999999999999.99"), 999999999999.99);
    EXPECT_EQ(numericValue("12345678901234567890"), 12345678901234567890.0);
}

TEST(RoundToCents, RoundsAnExactHalfDownAtEachStage)
{
    EXPECT_DOUBLE_EQ(roundToCents(2.345), 2.34);
    EXPECT_DOUBLE_EQ(roundToCents(2.346), 2.35);
    EXPECT_DOUBLE_EQ(roundToCents(1.005), 1.00);
    EXPECT_DOUBLE_EQ(roundToCents(1.006), 1.01);
    EXPECT_DOUBLE_EQ(roundToCents(0.005), 0);
    EXPECT_DOUBLE_EQ(roundToCents(0.006), 0.01);
    EXPECT_DOUBLE_EQ(roundToCents(7.4951), 7.49);
    EXPECT_DOUBLE_EQ(roundToCents(7.4961), 7.50);
    EXPECT_DOUBLE_EQ(roundToCents(999.999), 1000);
    EXPECT_DOUBLE_EQ(roundToCents(12.996), 13);
    EXPECT_DOUBLE_EQ(roundToCents(1234.5678), 1234.57);
}

TEST(RoundToCents, NegativeValuesGoThroughTheSameFormula)
{
    EXPECT_DOUBLE_EQ(roundToCents(-1.5), -1.5);
    EXPECT_DOUBLE_EQ(roundToCents(-1.234), -1.23);
    EXPECT_DOUBLE_EQ(roundToCents(-5), -5);
}

TEST(RoundToCents, WholeAndCentValuesStayAsTheyAre)
{
    for (int cents = 0; cents < 100000; cents += 7) {
        const double amount = cents / 100.0;
        ASSERT_DOUBLE_EQ(roundToCents(amount), amount) << amount;
    }
}

TEST(NumericValue, AgreesWithCorrectlyRoundedConversionOnStoredAmounts)
{
    // Amounts as the payroll suite stores them: blanks on the left, up to twelve
    // characters, a full stop and a few decimals, sometimes a sign.
    std::mt19937_64 random(20161231);
    for (int n = 0; n < 200000; ++n) {
        const int digits = 1 + static_cast<int>(random() % 14);
        std::string number = (random() % 5 == 0) ? "-" : "";
        for (int d = 0; d < digits; ++d)
            number.push_back(static_cast<char>('0' + random() % 10));
        const int decimals = static_cast<int>(random() % 4);
        if (decimals > 0 && decimals < digits)
            number.insert(number.size() - static_cast<std::size_t>(decimals), ".");
        if (random() % 7 == 0)
            number += "E" + std::to_string(static_cast<int>(random() % 30) - 15);
        const double expected = std::strtod(number.c_str(), nullptr);
        ASSERT_EQ(numericValue("   " + number), expected == 0 ? 0.0 : expected) << number;
    }
}
