#include "records/numeric.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace records {

namespace {
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}
} // namespace

double numericValue(std::string_view text)
{
    // Collect the number's characters in C notation and let strtod do the correctly
    // rounded conversion.
    std::string number;
    number.reserve(text.size());
    std::size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < text.size() && text[i] == ' ')
            ++i;
    };

    skipBlanks();
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        number.push_back(text[i]);
        ++i;
    }

    bool sawDigit = false;
    bool sawPoint = false;
    for (;; ++i) {
        skipBlanks();
        if (i >= text.size())
            break;
        const char c = text[i];
        if (isDigit(c)) {
            number.push_back(c);
            sawDigit = true;
        } else if (c == '.' && !sawPoint) {
            number.push_back(c);
            sawPoint = true;
        } else {
            break;
        }
    }
    if (!sawDigit)
        return 0;

    if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        const auto skip = [&] {
            while (j < text.size() && text[j] == ' ')
                ++j;
        };
        skip();
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            exponent.push_back(text[j]);
            ++j;
        }
        bool exponentDigits = false;
        for (;; ++j) {
            skip();
            if (j >= text.size() || !isDigit(text[j]))
                break;
            exponent.push_back(text[j]);
            exponentDigits = true;
        }
        if (exponentDigits)
            number += exponent;
    }

    const double value = std::strtod(number.c_str(), nullptr);
    return value == 0 ? 0.0 : value; // no negative zero
}

double roundToCents(double amount)
{
    double x = std::floor(amount * 1000 + 0.499) / 1000;
    x = std::floor(x * 100 + 0.499) / 100;
    return x;
}

} // namespace records
