#include "records/text.h"

#include <cmath>
#include <cstdio>

namespace records {

std::string_view trimLeft(std::string_view text)
{
    const auto first = text.find_first_not_of(kBlank);
    return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

std::string_view trimRight(std::string_view text)
{
    const auto last = text.find_last_not_of(kBlank);
    return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

std::string_view trim(std::string_view text)
{
    return trimRight(trimLeft(text));
}

std::string fitRight(std::string_view text, std::size_t width)
{
    std::string result(text.substr(0, width));
    result.resize(width, kBlank);
    return result;
}

std::string padLeft(std::string_view text, std::size_t width, char fill)
{
    if (text.size() >= width)
        return std::string(text);
    std::string result(width - text.size(), fill);
    result.append(text);
    return result;
}

std::string padRight(std::string_view text, std::size_t width)
{
    std::string result(text);
    if (result.size() < width)
        result.resize(width, kBlank);
    return result;
}

std::string_view mid(std::string_view text, std::size_t start, std::size_t length)
{
    if (start == 0 || start > text.size())
        return {};
    return text.substr(start - 1, length);
}

namespace {
unsigned char upperByte(unsigned char c)
{
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - 32);
    // Latin letters with accents: à..þ map to À..Þ, except the division sign.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return static_cast<unsigned char>(c - 32);
    switch (c) {
    case 0x9A: return 0x8A; // š
    case 0x9C: return 0x8C; // œ
    case 0x9E: return 0x8E; // ž
    case 0xFF: return 0x9F; // ÿ
    default: return c;
    }
}

char foldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}
} // namespace

std::string toUpper(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(upperByte(static_cast<unsigned char>(c)));
    return result;
}

bool equalsIgnoreAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldAscii(a[i]) != foldAscii(b[i]))
            return false;
    }
    return true;
}

std::string signedNumberText(double value, char decimalPoint)
{
    if (value == 0)
        value = 0; // never print a negative zero
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    std::string digits(buffer);
    if (decimalPoint != '.') {
        for (char& c : digits) {
            if (c == '.')
                c = decimalPoint;
        }
    }
    return std::signbit(value) ? digits : kBlank + digits;
}

std::string digitsText(long long value)
{
    return std::to_string(value);
}

bool allDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

std::string toLowerAscii(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + ('a' - 'A'));
    }
    return text;
}

int daysInMonth(int year, int month)
{
    static constexpr int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return kMonthDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

bool isCalendarDate(std::string_view text)
{
    if (text.size() != 8 || !allDigits(text))
        return false;
    const auto number = [&](std::size_t start, std::size_t length) {
        int value = 0;
        for (const char c : text.substr(start, length))
            value = value * 10 + (c - '0');
        return value;
    };
    const int day = number(0, 2);
    return day >= 1 && day <= daysInMonth(number(4, 4), number(2, 2));
}

} // namespace records
