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

namespace {

// The number that the reading rules pick out of `text`, in C notation for strtod: blanks
// left out everywhere, an optional sign, digits with at most one full stop, and an
// exponent only when digits follow its letter. Empty when the text has no digits.
std::string cNumber(const std::string& text)
{
    std::string compact;
    for (const char c : text) {
        if (c != ' ')
            compact.push_back(c);
    }
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t i = 0;
    std::string number;
    if (i < compact.size() && (compact[i] == '+' || compact[i] == '-'))
        number.push_back(compact[i++]);
    bool point = false;
    bool digits = false;
    for (; i < compact.size(); ++i) {
        if (digit(compact[i])) {
            digits = true;
        } else if (compact[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
        number.push_back(compact[i]);
    }
    if (!digits)
        return {};
    if (i < compact.size() && std::string("EeDd").find(compact[i]) != std::string::npos) {
        std::string exponent = "e";
        std::size_t j = i + 1;
        if (j < compact.size() && (compact[j] == '+' || compact[j] == '-'))
            exponent.push_back(compact[j++]);
        bool exponentDigits = false;
        for (; j < compact.size() && digit(compact[j]); ++j) {
            exponent.push_back(compact[j]);
            exponentDigits = true;
        }
        if (exponentDigits)
            number += exponent;
    }
    return number;
}

double expectedValue(const std::string& text)
{
    const std::string number = cNumber(text);
    if (number.empty())
        return 0;
    const double value = std::strtod(number.c_str(), nullptr);
    return value == 0 ? 0.0 : value;
}

} // namespace

TEST(NumericValue, AnyTextGivesTheCorrectlyRoundedValueOfTheNumberItHolds)
{
    // Texts of every shape a field can hold: blanks on either side and in between, signs,
    // points, exponent letters, other characters and NULs, up to 20 significant digits.
    const std::string alphabet = std::string("      0123456789012345678900..--+EeDdX") + '\0';
    std::mt19937_64 random(20170228);
    for (int n = 0; n < 300000; ++n) {
        std::string text;
        const auto length = static_cast<std::size_t>(random() % 24);
        if (random() % 2 == 0) {
            for (std::size_t k = 0; k < length; ++k)
                text.push_back(alphabet[random() % alphabet.size()]);
        } else {
            // A stored amount or count: blanks, a plain number, blanks.
            text.append(random() % 8, ' ');
            if (random() % 6 == 0)
                text.push_back(random() % 2 == 0 ? '-' : '+');
            const auto digits = 1 + random() % 20;
            for (std::size_t k = 0; k < digits; ++k)
                text.push_back(static_cast<char>('0' + random() % (k == 0 && random() % 3 == 0 ? 1 : 10)));
            if (random() % 2 == 0)
                text.insert(text.size() - random() % (digits + 1), 1, '.');
            text.append(random() % 8, ' ');
        }
        const double expected = expectedValue(text);
        ASSERT_EQ(numericValue(text), expected) << "[" << text << "]";
        ASSERT_EQ(std::signbit(numericValue(text)), std::signbit(expected)) << "[" << text << "]";
    }
}

TEST(NumericValue, BlankTextsOfAnyLengthAreZero)
{
    for (std::size_t length = 0; length <= 40; ++length) {
        const std::string blanks(length, ' ');
        EXPECT_EQ(numericValue(blanks), 0) << length;
        EXPECT_EQ(numericValue(std::string(blanks).append("7")), 7) << length;
        EXPECT_EQ(numericValue(std::string("7").append(blanks)), 7) << length;
        EXPECT_EQ(numericValue(std::string(blanks).append("1 2")), 12) << length;
    }
    EXPECT_EQ(numericValue(std::string_view()), 0);
    EXPECT_FALSE(std::signbit(numericValue("  -0.00  ")));
    EXPECT_EQ(numericValue("0.0000000000000000000000012"), 1.2e-24);
}
