#include "payroll/identity_codes.h"

#include "payroll/tax_codes.h"
#include "records/text.h"

namespace payroll {

namespace {

using records::isDigit;

constexpr std::size_t kVatLength = 11;
constexpr std::size_t kFiscalCodeLength = 16;

bool isUpperLetterOrDigit(char c)
{
    return isDigit(c) || (c >= 'A' && c <= 'Z');
}

// "0" followed by blanks up to `length`: the registers' way of saying "no code".
bool isNoCode(std::string_view text, std::size_t length)
{
    return text.size() == length && text[0] == '0' && records::trimRight(text) == "0";
}

std::size_t nonBlankCount(std::string_view text, std::size_t length)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < length && i < text.size(); ++i)
        count += text[i] != records::kBlank;
    return count;
}

CheckResult failure(std::string message)
{
    return {CheckResult::Outcome::Failed, std::move(message)};
}

} // namespace

CheckResult checkVatNumber(std::string_view text)
{
    if (isNoCode(text, kVatLength))
        return {CheckResult::Outcome::NotChecked, {}};
    // Eleven non-blank characters within the first eleven positions fill all of them; a
    // letter among them is no VAT number, whatever the check digit says.
    if (nonBlankCount(text, kVatLength) != kVatLength)
        return failure(kFormallyWrong);
    const std::string_view digits = text.substr(0, kVatLength);
    for (const char c : digits) {
        if (!isDigit(c))
            return failure(kFormallyWrong);
    }
    const char expected = vatCheckDigit(digits.substr(0, 10));
    if (digits[10] == expected)
        return {};
    // The digit is printed as a number is: after the blank of its sign.
    CheckResult result = failure(std::string(kWrongCheckCharacter) + " " + expected);
    result.expected = expected;
    return result;
}

CheckResult checkFiscalCode(std::string_view text)
{
    if (isNoCode(text, kFiscalCodeLength))
        return {CheckResult::Outcome::NotChecked, {}};
    if (nonBlankCount(text, kFiscalCodeLength) != kFiscalCodeLength)
        return failure(kFormallyWrong);
    const std::string_view code = text.substr(0, kFiscalCodeLength);
    // The check counts upper-case letters and digits only; any other character (a lower-case
    // letter, a mark) could give a check letter by chance, so the code is refused.
    for (const char c : code) {
        if (!isUpperLetterOrDigit(c))
            return failure(kFormallyWrong);
    }
    const char expected = fiscalCodeCheckLetter(code.substr(0, 15));
    if (code[15] == expected)
        return {};
    CheckResult result = failure(std::string(kWrongCheckCharacter) + expected);
    result.expected = expected;
    return result;
}

CheckResult checkDate(std::string_view text)
{
    if (records::isCalendarDate(text))
        return {};
    return failure(kWrongDate);
}

} // namespace payroll
