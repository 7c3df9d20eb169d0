#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "records/numeric.h"

using records::numericValue;
using records::plainCents;
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

namespace {

// The cents that plainCents() reads from `text`, or "not plain".
std::string centsOf(std::string_view text)
{
    std::int64_t cents = -1;
    return plainCents(text, cents) ? std::to_string(cents) : "not plain";
}

// The plain shape of a stored amount, checked character by character: blanks, an optional
// sign, at most eleven digits, optionally a full stop and at most two decimals, blanks.
bool hasPlainShape(std::string_view text)
{
    std::size_t i = 0;
    std::size_t end = text.size();
    while (i < end && text[i] == ' ')
        ++i;
    while (end > i && text[end - 1] == ' ')
        --end;
    if (i < end && (text[i] == '+' || text[i] == '-'))
        ++i;
    const auto digitsFrom = [&](std::size_t at) {
        std::size_t k = at;
        while (k < end && text[k] >= '0' && text[k] <= '9')
            ++k;
        return k;
    };
    const std::size_t wholeEnd = digitsFrom(i);
    if (wholeEnd - i > 11)
        return false;
    if (wholeEnd == end)
        return true;
    if (text[wholeEnd] != '.')
        return false;
    const std::size_t decimalsEnd = digitsFrom(wholeEnd + 1);
    return decimalsEnd == end && decimalsEnd - wholeEnd - 1 <= 2;
}

} // namespace

TEST(PlainCents, ReadsThePlainShapesOfStoredAmounts)
{
    EXPECT_EQ(centsOf("310.25    "), "31025");
    EXPECT_EQ(centsOf("   -7"), "-700");
    EXPECT_EQ(centsOf("12.5"), "1250");
    EXPECT_EQ(centsOf("+3.1"), "310");
    EXPECT_EQ(centsOf("5."), "500");
    EXPECT_EQ(centsOf(".5"), "50");
    EXPECT_EQ(centsOf("-.05"), "-5");
    EXPECT_EQ(centsOf("0001234.00"), "123400");
    EXPECT_EQ(centsOf("  12345678901.99"), "1234567890199");
    EXPECT_EQ(centsOf("12345678901.99   "), "1234567890199");
    EXPECT_EQ(centsOf("      1234567890"), "123456789000");
    EXPECT_EQ(centsOf("1"), "100");
    EXPECT_EQ(centsOf(""), "0");
    EXPECT_EQ(centsOf("            "), "0");
    EXPECT_EQ(centsOf("-0"), "0");
    EXPECT_EQ(centsOf("-"), "0");
    EXPECT_EQ(centsOf("."), "0");
    EXPECT_EQ(centsOf(std::string(40, ' ') + "25000.00" + std::string(30, ' ')), "2500000");
}

TEST(PlainCents, LeavesEveryOtherTextToTheCompleteReading)
{
    const std::vector<std::string> texts{"1 2", "1.234", "0.001", "123456789012", "1E2", "12abc", "--5", "+-5", "1.2.3", "\t5", "5 -", "1,5",
          "5-", "- 5", "X", "..", std::string("4\0", 2), std::string("\0\0", 2), "\xE0" "5", "5\xA0",
          "99999999999999.99", std::string(40, ' ') + "1 2"};
    for (const std::string& text : texts)
        EXPECT_EQ(centsOf(text), "not plain") << "[" << text << "]";
}

TEST(PlainCents, GivesExactlyTheRoundedNumericValueOnManyTexts)
{
    // Mostly plain amounts of every length up to 20, with blanks, signs, full stops and a
    // few other characters scattered in; every text is compared with the complete reading
    // rounded to cents, bit for bit.
    std::mt19937_64 random(20170228);
    const std::string others = " .+-E,x\t";
    int plain = 0;
    for (int n = 0; n < 400000; ++n) {
        std::string text(random() % 5, ' ');
        if (random() % 5 == 0)
            text.push_back(random() % 3 == 0 ? '+' : '-');
        const auto digits = random() % 14;
        for (std::size_t k = 0; k < digits; ++k)
            text.push_back(static_cast<char>('0' + random() % 10));
        if (random() % 3 != 0) {
            text.push_back('.');
            const auto decimals = random() % 5;
            for (std::size_t k = 0; k < decimals; ++k)
                text.push_back(static_cast<char>('0' + random() % 10));
        }
        text.append(random() % 7, ' ');
        if (random() % 6 == 0 && !text.empty())
            text[random() % text.size()] = others[random() % others.size()];
        if (random() % 40 == 0 && !text.empty())
            text[random() % text.size()] = static_cast<char>(random() % 256);

        std::int64_t cents = 0;
        const bool read = plainCents(text, cents);
        ASSERT_EQ(read, hasPlainShape(text)) << "[" << text << "]";
        if (!read)
            continue;
        ++plain;
        const double expected = roundToCents(numericValue(text));
        const double value = static_cast<double>(cents) / 100;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(value), std::bit_cast<std::uint64_t>(expected))
            << "[" << text << "] " << cents;
    }
    EXPECT_GT(plain, 200000);
}

TEST(PlainCents, GivesExactlyTheRoundedNumericValueForEveryLengthAndPlace)
{
    // Every placement of a number in texts of 0 to 18 characters.
    std::mt19937_64 random(31122016);
    for (std::size_t length = 0; length <= 18; ++length) {
        for (std::size_t begin = 0; begin <= length; ++begin) {
            for (std::size_t size = 0; begin + size <= length; ++size) {
                for (int sample = 0; sample < 6; ++sample) {
                    std::string text(length, ' ');
                    for (std::size_t k = 0; k < size; ++k)
                        text[begin + k] = static_cast<char>('0' + random() % 10);
                    if (size > 0 && sample % 2 == 1)
                        text[begin + random() % size] = '.';
                    if (size > 1 && sample == 5)
                        text[begin] = '-';
                    std::int64_t cents = 0;
                    const bool read = plainCents(text, cents);
                    ASSERT_EQ(read, hasPlainShape(text)) << "[" << text << "]";
                    if (read) {
                        const double value = static_cast<double>(cents) / 100;
                        ASSERT_EQ(std::bit_cast<std::uint64_t>(value),
                                  std::bit_cast<std::uint64_t>(roundToCents(numericValue(text))))
                            << "[" << text << "]";
                    }
                }
            }
        }
    }
}

// Whether a stored number is above zero, for the texts the suite stores and for odd ones
// that must be read as numbers (signs, exponents, blanks between the digits, letters,
// long texts).
TEST(IsAboveZero, TellsAboveZeroAsTheNumberReadDoes)
{
    const struct {
        std::string_view text;
        bool positive;
    } cases[] = {
        {"", false},
        {"        ", false},
        {"0", false},
        {" 000.00 ", false},
        {" 12.50  ", true},
        {"0.01", true},
        {".", false},
        {"5.", true},
        {".5", true},
        {"    0001", true},
        {"-5", false},
        {"+5", true},
        {"-0", false},
        {"- 3", false},
        {"1E2", true},
        {"0E5", false},
        {"1 2", true},
        {"0 0", false},
        {"0.0.5", false},
        {"1.2.3", true},
        {"1X", true},
        {"X", false},
        {"H501", false},
        {std::string_view("\0\0", 2), false},
        {"    12.50   ", true},
        {"   -12.50   ", false},
        {"0000000000000001", true},
        {"000000000000000000000", false},
        {"  0.000000000001  ", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(records::isAboveZero(c.text), c.positive) << "\"" << c.text << "\"";
}
