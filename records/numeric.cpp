#include "records/numeric.h"
#include "records/text.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace records {

namespace {

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// What was read of the number. The text that strtod needs is gathered only when the fast
// conversion cannot be used, from the two stretches of the text the number was read from.
struct Scan {
    std::uint64_t mantissa = 0; // the digits as a whole number, while it stays exact
    int significantDigits = 0;
    int fractionDigits = 0;
    int exponent = 0;
    bool negative = false;
    bool sawDigit = false;
    std::size_t numberBegin = 0;   // sign, digits, point and blanks
    std::size_t numberEnd = 0;
    std::size_t exponentBegin = 0; // after the exponent letter: blanks, sign, digits
    std::size_t exponentEnd = 0;   // equal to exponentBegin without an exponent
};

// The number in C notation, blanks left out, for strtod.
std::string cNotation(std::string_view text, const Scan& scan)
{
    std::string number;
    for (std::size_t k = scan.numberBegin; k < scan.numberEnd; ++k) {
        if (text[k] != ' ')
            number.push_back(text[k]);
    }
    if (scan.exponentEnd > scan.exponentBegin) {
        number.push_back('e');
        for (std::size_t k = scan.exponentBegin; k < scan.exponentEnd; ++k) {
            if (text[k] != ' ')
                number.push_back(text[k]);
        }
    }
    return number;
}

constexpr std::uint64_t kEightBlanks = 0x2020202020202020ULL;

// The first character that is not a blank, eight blanks at a time while they last: most
// stored fields are empty or mostly blanks.
const char* skipBlanks(const char* p, const char* end)
{
    while (end - p >= 8) {
        std::uint64_t eight;
        std::memcpy(&eight, p, sizeof eight);
        if (eight != kEightBlanks)
            break;
        p += 8;
    }
    while (p < end && *p == ' ')
        ++p;
    return p;
}

// True when the characters from `p` to `end` are all blanks; looks at eight, then four at a time.
bool onlyBlanks(const char* p, const char* end)
{
    while (end - p >= 8) {
        std::uint64_t eight;
        std::memcpy(&eight, p, sizeof eight);
        if (eight != kEightBlanks)
            return false;
        p += 8;
    }
    if (end - p >= 4) {
        std::uint32_t four;
        std::memcpy(&four, p, sizeof four);
        if (four != static_cast<std::uint32_t>(kEightBlanks))
            return false;
        p += 4;
    }
    for (; p < end; ++p) {
        if (*p != ' ')
            return false;
    }
    return true;
}

// Reads the digits from `p` on into `mantissa`; returns where they end.
const char* readDigits(const char* p, const char* end, std::uint64_t& mantissa)
{
    for (; p < end; ++p) {
        const auto digit = static_cast<unsigned char>(*p - '0');
        if (digit > 9)
            break;
        mantissa = mantissa * 10 + digit;
    }
    return p;
}

// The number in the common shapes of a stored field: from the first character that is not
// a blank, an optional sign and up to 15 digits with at most one full stop, then blanks only
// up to the end ("25000.00    ", "     310", "-1.5"). Sets `value` and returns true for such
// a text. Any other text (blanks between the characters, an exponent, a letter, more
// digits) is left to the complete reading, which gives the same value for these shapes: a
// whole number of at most 15 digits divided by an exact power of ten is correctly rounded.
bool simpleValue(const char* p, const char* end, double& value)
{
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-')
        ++p;
    std::uint64_t mantissa = 0;
    const char* const digitsBegin = p;
    p = readDigits(p, end, mantissa);
    int digits = static_cast<int>(p - digitsBegin);
    int fractionDigits = 0;
    if (p < end && *p == '.') {
        const char* const fractionBegin = ++p;
        p = readDigits(p, end, mantissa);
        fractionDigits = static_cast<int>(p - fractionBegin);
        digits += fractionDigits;
    }
    // More than 15 digits may not be exact in a double (and more than 19 overflow the
    // mantissa, which is then not used).
    if (digits > 15 || !onlyBlanks(p, end))
        return false;
    if (mantissa == 0) {
        value = 0; // also a text without digits, and never a negative zero
        return true;
    }
    const auto whole = static_cast<double>(mantissa);
    const double magnitude = fractionDigits > 0 ? whole / kPowersOfTen[fractionDigits] : whole;
    value = negative ? -magnitude : magnitude;
    return true;
}

double fullValue(std::string_view text);

} // namespace

double numericValue(std::string_view text)
{
    // Most fields tested are empty (all blanks) or hold a short plain number.
    const char* const end = text.data() + text.size();
    const char* p = skipBlanks(text.data(), end);
    if (p == end)
        return 0;
    double simple = 0;
    if (simpleValue(p, end, simple))
        return simple;
    return fullValue(text);
}

namespace {

// The complete reading of the rules above, for the texts that simpleValue() leaves. Kept
// out of line, so that the common shapes need not prepare for it.
[[gnu::noinline]] double fullValue(std::string_view text)
{
    Scan scan;
    std::size_t i = 0;
    const auto skipBlanks = [&](std::size_t& at) {
        while (at < text.size() && text[at] == ' ')
            ++at;
    };

    skipBlanks(i);
    scan.numberBegin = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        scan.negative = text[i] == '-';
        ++i;
    }

    bool sawPoint = false;
    for (;; ++i) {
        skipBlanks(i);
        if (i >= text.size())
            break;
        const char c = text[i];
        if (isDigit(c)) {
            scan.sawDigit = true;
            if (scan.mantissa != 0 || c != '0')
                ++scan.significantDigits;
            if (scan.significantDigits <= 19)
                scan.mantissa = scan.mantissa * 10 + static_cast<std::uint64_t>(c - '0');
            if (sawPoint)
                ++scan.fractionDigits;
        } else if (c == '.' && !sawPoint) {
            sawPoint = true;
        } else {
            break;
        }
    }
    scan.numberEnd = i;
    if (!scan.sawDigit)
        return 0;

    if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        std::size_t j = i + 1;
        skipBlanks(j);
        bool negativeExponent = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            negativeExponent = text[j] == '-';
            ++j;
        }
        bool exponentDigits = false;
        long value = 0;
        for (;; ++j) {
            skipBlanks(j);
            if (j >= text.size() || !isDigit(text[j]))
                break;
            exponentDigits = true;
            if (value < 100000)
                value = value * 10 + (text[j] - '0');
        }
        if (exponentDigits) {
            scan.exponentBegin = i + 1;
            scan.exponentEnd = j;
            scan.exponent = static_cast<int>(negativeExponent ? -value : value);
        }
    }

    if (scan.mantissa == 0 && scan.significantDigits == 0)
        return 0;

    // Most stored amounts have a dozen digits: a whole number below 2^53 divided or
    // multiplied by an exact power of ten is correctly rounded, as strtod would give it.
    const int power = scan.exponent - scan.fractionDigits;
    if (scan.significantDigits <= 15 && power >= -22 && power <= 22) {
        const auto whole = static_cast<double>(scan.mantissa);
        const double value = power < 0 ? whole / kPowersOfTen[-power] : whole * kPowersOfTen[power];
        return scan.negative ? -value : value;
    }
    const double value = std::strtod(cNotation(text, scan).c_str(), nullptr);
    return value == 0 ? 0.0 : value; // no negative zero
}

} // namespace

bool plainCents(std::string_view text, std::int64_t& cents)
{
    const char* const end = text.data() + text.size();
    const char* p = skipBlanks(text.data(), end);
    if (p == end) {
        cents = 0;
        return true;
    }
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-')
        ++p;
    std::uint64_t number = 0;
    const char* const digitsBegin = p;
    p = readDigits(p, end, number);
    // Eleven digits keep the cents below 10^13, where the roundings cannot move them.
    if (p - digitsBegin > 11)
        return false;
    std::uint64_t scale = 100;
    if (p < end && *p == '.') {
        const char* const decimalsBegin = ++p;
        p = readDigits(p, end, number);
        const auto decimals = p - decimalsBegin;
        if (decimals > 2)
            return false; // a third decimal needs the real rounding
        scale = decimals == 0 ? 100 : decimals == 1 ? 10 : 1;
    }
    if (!onlyBlanks(p, end))
        return false;
    const auto whole = static_cast<std::int64_t>(number * scale);
    cents = negative ? -whole : whole; // "-0" gives 0, never a negative zero
    return true;
}

double roundToCents(double amount)
{
    double x = std::floor(amount * 1000 + 0.499) / 1000;
    x = std::floor(x * 100 + 0.499) / 100;
    return x;
}

} // namespace records
