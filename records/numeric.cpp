#include "records/numeric.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

// Sixteen characters looked at together, with the SSE2 instructions of every x86-64 processor.
#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define RECORDS_SIXTEEN_AT_ONCE 1
#endif

namespace records {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

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

namespace {

// plainCents() one character at a time: for any machine, and for texts longer than 16.
bool plainCentsByCharacter(std::string_view text, std::int64_t& cents)
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

#ifdef RECORDS_SIXTEEN_AT_ONCE

std::uint64_t loadEight(const char* p)
{
    std::uint64_t eight;
    std::memcpy(&eight, p, sizeof eight);
    return eight;
}

std::uint32_t loadFour(const char* p)
{
    std::uint32_t four;
    std::memcpy(&four, p, sizeof four);
    return four;
}

// The first `size` characters from `p` (at most 16) followed by blanks up to 16, in one
// register. Reads only the characters of the text, with two overlapping loads.
__m128i sixteenCharacters(const char* p, std::size_t size)
{
    if (size == 16)
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    std::uint64_t low = kEightBlanks;
    std::uint64_t high = kEightBlanks;
    if (size > 8) {
        // The last eight characters, moved down over those already in `low`.
        const unsigned drop = 8 * static_cast<unsigned>(16 - size);
        low = loadEight(p);
        high = (loadEight(p + size - 8) >> drop) | (kEightBlanks << (64 - drop));
    } else if (size == 8) {
        low = loadEight(p);
    } else if (size >= 4) {
        const unsigned shift = 8 * static_cast<unsigned>(size - 4);
        low = loadFour(p) | (static_cast<std::uint64_t>(loadFour(p + size - 4)) << shift)
            | (kEightBlanks << (8 * size));
    } else if (size > 0) {
        const auto byte = [&](std::size_t k) {
            return static_cast<std::uint64_t>(static_cast<unsigned char>(p[k])) << (8 * k);
        };
        low = byte(0) | byte(size / 2) | byte(size - 1) | (kEightBlanks << (8 * size));
    }
    return _mm_set_epi64x(static_cast<long long>(high), static_cast<long long>(low));
}

int maskOf(__m128i bytes, char c)
{
    return _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)));
}

// The sixteen digits 0..9 in `digits` (first the most significant) as one number.
std::uint64_t sixteenDigitNumber(__m128i digits)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i tens = _mm_set_epi16(1, 10, 1, 10, 1, 10, 1, 10);
    const __m128i hundreds = _mm_set_epi16(1, 100, 1, 100, 1, 100, 1, 100);
    const __m128i tenThousands = _mm_set_epi16(1, 10000, 1, 10000, 1, 10000, 1, 10000);
    const __m128i pairsHigh = _mm_madd_epi16(_mm_unpacklo_epi8(digits, zero), tens);
    const __m128i pairsLow = _mm_madd_epi16(_mm_unpackhi_epi8(digits, zero), tens);
    const __m128i fours = _mm_madd_epi16(_mm_packs_epi32(pairsHigh, pairsLow), hundreds);
    const __m128i eights = _mm_madd_epi16(_mm_packs_epi32(fours, fours), tenThousands);
    const auto both = static_cast<std::uint64_t>(_mm_cvtsi128_si64(eights));
    return (both & 0xFFFFFFFFu) * 100000000u + (both >> 32);
}

// 5^-k modulo 2^64: a multiple of 10^k shifted right by k and multiplied by it is divided
// by 10^k exactly.
constexpr std::uint64_t inverseOfFivePower(int k)
{
    std::uint64_t five = 1;
    for (int i = 0; i < k; ++i)
        five *= 5;
    std::uint64_t inverse = 1; // Newton's iteration doubles the correct low bits each time
    for (int i = 0; i < 6; ++i)
        inverse *= 2 - five * inverse;
    return inverse;
}

constexpr std::uint64_t kInverseFivePowers[] = {
    inverseOfFivePower(0),  inverseOfFivePower(1),  inverseOfFivePower(2),  inverseOfFivePower(3),
    inverseOfFivePower(4),  inverseOfFivePower(5),  inverseOfFivePower(6),  inverseOfFivePower(7),
    inverseOfFivePower(8),  inverseOfFivePower(9),  inverseOfFivePower(10), inverseOfFivePower(11),
    inverseOfFivePower(12), inverseOfFivePower(13)};
static_assert(kInverseFivePowers[1] * 5 == 1 && kInverseFivePowers[13] * 1220703125ULL == 1);

// plainCents() for a text of at most 16 characters, all of them looked at together.
bool plainCentsAtOnce(std::string_view text, std::int64_t& cents)
{
    const __m128i characters = sixteenCharacters(text.data(), text.size());
    const int nonBlank = ~maskOf(characters, ' ') & 0xFFFF;
    if (nonBlank == 0) {
        cents = 0;
        return true;
    }
    const __m128i values = _mm_sub_epi8(characters, _mm_set1_epi8('0'));
    const __m128i isDigit = _mm_cmpeq_epi8(_mm_min_epu8(values, _mm_set1_epi8(9)), values);
    const int digits = _mm_movemask_epi8(isDigit);
    const int point = maskOf(characters, '.');
    const int first = std::countr_zero(static_cast<unsigned>(nonBlank));
    const int last = std::bit_width(static_cast<unsigned>(nonBlank)) - 1;
    const int firstBit = 1 << first;
    const int sign = (maskOf(characters, '-') | maskOf(characters, '+')) & firstBit;
    // One stretch without blanks: a sign in front, then digits and at most one full stop.
    if (nonBlank != (2 << last) - firstBit || (nonBlank & ~(digits | point | sign)) != 0
        || (point & (point - 1)) != 0)
        return false;
    const int digitsBegin = sign != 0 ? first + 1 : first;
    // The units digit: before the full stop, or the last digit.
    const int units = point != 0 ? std::countr_zero(static_cast<unsigned>(point)) - 1 : last;
    if (units + 1 - digitsBegin > 11 || last - units > 3)
        return false; // more than eleven digits before the full stop or two after it
    __m128i number = _mm_and_si128(values, isDigit);
    if (point != 0) {
        // The digits before the full stop move one place on, onto it.
        const __m128i before = _mm_cmpgt_epi8(_mm_set1_epi8(static_cast<char>(units + 2)),
                                              _mm_set_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0));
        number = _mm_or_si128(_mm_and_si128(before, _mm_slli_si128(number, 1)), _mm_andnot_si128(before, number));
    }
    // The units digit now stands at place units + 1 with a full stop, else at units; the
    // cents are that number of places from the end, less two.
    const int unitsPlace = point != 0 ? units + 1 : units;
    const std::uint64_t all = sixteenDigitNumber(number);
    const int down = 13 - unitsPlace;
    const std::uint64_t whole = down >= 0 ? (all >> down) * kInverseFivePowers[down] : all * (down == -1 ? 10 : 100);
    const auto signedWhole = static_cast<std::int64_t>(whole);
    cents = (maskOf(characters, '-') & firstBit) != 0 ? -signedWhole : signedWhole;
    return true;
}

#endif

} // namespace

bool plainCents(std::string_view text, std::int64_t& cents)
{
#ifdef RECORDS_SIXTEEN_AT_ONCE
    if (text.size() <= 16)
        return plainCentsAtOnce(text, cents);
#endif
    return plainCentsByCharacter(text, cents);
}

double roundToCents(double amount)
{
    double x = std::floor(amount * 1000 + 0.499) / 1000;
    x = std::floor(x * 100 + 0.499) / 100;
    return x;
}

} // namespace records
