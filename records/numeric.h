#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace records {

// The number that a stored text denotes. Blanks anywhere are skipped; then an optional
// sign, digits with at most one full stop, and an optional exponent (E or D in either
// case, an optional sign, digits) are read. Reading stops at the first other character;
// an exponent letter not followed by digits ends the number before the letter. A text
// without digits gives 0. Every test of a stored field against zero goes through here.
double numericValue(std::string_view text);

// The amount of a stored field in whole cents, read without going through a double, for
// the plain shape in which amounts are kept: blanks, an optional sign, at most eleven
// digits, optionally a full stop and at most two decimals, then blanks only ("310.25    ",
// "   -7", "12.5", all blanks). Sets `cents` and returns true for such a text; any other
// text returns false and must be read by numericValue(). For a plain amount,
// roundToCents(numericValue(text)) is exactly cents / 100.0: the number read is the double
// nearest to a whole number of cents below a thousand billion euros, and the two roundings
// of roundToCents move it by far less than their 0.499 offset, so they give it back.
bool plainCents(std::string_view text, std::int64_t& cents);

// The test of isAboveZero() on the characters alone: for a text in the plain shape of a
// stored number (blanks, digits with at most one full stop, blanks; at most 64 characters)
// sets `above` (a digit other than "0" is among them) and returns true; any other text
// returns false and must be read by numericValue(). Within 64 characters no plain number
// is too large or too small for a double, so the two always agree.
inline bool plainAboveZero(std::string_view text, bool& above)
{
    const std::size_t size = text.size();
    if (size > 64)
        return false;
    std::size_t k = 0;
    while (k < size && text[k] == ' ')
        ++k;
    bool nonZero = false;
    bool point = false;
    for (; k < size; ++k) {
        const char c = text[k];
        if (c >= '1' && c <= '9')
            nonZero = true;
        else if (c == '.' && !point)
            point = true;
        else if (c != '0')
            break;
    }
    while (k < size && text[k] == ' ')
        ++k;
    if (k != size)
        return false;
    above = nonZero;
    return true;
}

// Whether the number that `text` denotes is above zero, as numericValue(text) > 0: a text
// in the plain shape is told from its characters without reading the number.
inline bool isAboveZero(std::string_view text)
{
    bool above = false;
    return plainAboveZero(text, above) ? above : numericValue(text) > 0;
}

// The payroll suite's rounding to cents: first to thousandths, then to hundredths, each
// time adding 0.499 and taking the largest whole number not above. The offset is 0.499,
// not 0.5, so an exact half rounds down at each stage (1.005 gives 1.00); negative values
// go through the same formula.
double roundToCents(double amount);

} // namespace records
