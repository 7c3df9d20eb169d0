#pragma once

#include <string>
#include <string_view>

// Helpers on the fixed-width texts of the record files. A blank is the character 32 only,
// as the payroll suite has always meant it: tabs, NULs and other bytes are data.
namespace records {

inline constexpr char kBlank = ' ';

std::string_view trimLeft(std::string_view text);
std::string_view trimRight(std::string_view text);
std::string_view trim(std::string_view text);

// Cut to `width` or filled with blanks on the right up to `width`.
std::string fitRight(std::string_view text, std::size_t width);
// Filled with `fill` on the left up to `width`; a longer text is returned unchanged.
std::string padLeft(std::string_view text, std::size_t width, char fill = kBlank);
// Filled with blanks on the right up to `width`; a longer text is returned unchanged.
std::string padRight(std::string_view text, std::size_t width);
// Characters [start, start + length) counting from 1, cut short at the end of the text and
// empty when `start` lies beyond it.
std::string_view mid(std::string_view text, std::size_t start, std::size_t length);

// Upper case in Windows-1252: ASCII letters and the accented letters of the code page.
std::string toUpper(std::string_view text);
bool equalsIgnoreAsciiCase(std::string_view a, std::string_view b);

// A number as the payroll suite's messages and reports print it: one blank for the sign
// of a value that is not negative ("-" otherwise), then the shortest general form with
// up to 15 significant digits, `decimalPoint` as separator. 12 gives " 12", -0.5 "-0.5".
std::string signedNumberText(double value, char decimalPoint = '.');
// The decimal digits of a whole number, without sign blank: 12 gives "12".
std::string digitsText(long long value);

// A decimal digit 0-9 (never a locale's other digits).
constexpr bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The ASCII letters A-Z made lower case, every other byte kept: file names compared as the
// file systems of the payroll suite's machines compare them.
std::string toLowerAscii(std::string text);

// True when every character of `text` is a digit 0-9 and there is at least one.
bool allDigits(std::string_view text);
// The days of month `month` (1-12) of `year` in the Gregorian calendar (29 in February of
// every fourth year, centuries only when divisible by 400); 0 for a month that is not 1-12.
int daysInMonth(int year, int month);
// True when `text` is a date ddmmyyyy of eight digits that names a day of the Gregorian
// calendar: month 1 to 12, day within its month, 29 February only in a leap year (every
// fourth year, centuries only when divisible by 400).
bool isCalendarDate(std::string_view text);

} // namespace records
