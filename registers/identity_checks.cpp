#include "registers/identity_checks.h"

#include <filesystem>

#include "records/channels.h"
#include "records/host_paths.h"
#include "records/installation.h"
#include "records/numeric.h"
#include "records/prompter.h"
#include "records/text.h"
#include "registers/tax_codes.h"

namespace registers {

namespace {

constexpr std::size_t kVatLength = 11;
constexpr std::size_t kFiscalCodeLength = 16;
constexpr std::string_view kMonthLetters = "ABCDEHLMPRST";

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

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

int twoDigitValue(std::string_view text)
{
    return (text[0] - '0') * 10 + (text[1] - '0');
}

bool isLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
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
    return failure(std::string(kWrongCheckCharacter) + " " + expected);
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
    return failure(std::string(kWrongCheckCharacter) + expected);
}

CheckResult checkDate(std::string_view text)
{
    static constexpr int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool valid = text.size() == 8;
    for (std::size_t i = 0; valid && i < text.size(); ++i)
        valid = isDigit(text[i]);
    if (valid) {
        const int day = twoDigitValue(text.substr(0, 2));
        const int month = twoDigitValue(text.substr(2, 2));
        const int year = twoDigitValue(text.substr(4, 2)) * 100 + twoDigitValue(text.substr(6, 2));
        valid = day >= 1 && month >= 1 && month <= 12
            && day <= kMonthDays[month - 1] + (month == 2 && isLeapYear(year) ? 1 : 0);
    }
    if (valid)
        return {};
    return failure(kWrongDate);
}

BirthData birthDataOf(std::string_view fiscalCode)
{
    BirthData data;
    int day = static_cast<int>(records::numericValue(records::mid(fiscalCode, 10, 2)));
    data.sex = "M";
    if (day > 40) {
        day -= 40;
        data.sex = "F";
    }
    const std::string_view letter = records::mid(fiscalCode, 9, 1);
    const auto month = letter.empty() ? std::string_view::npos : kMonthLetters.find(letter[0]);
    const std::string_view yearDigits = records::mid(fiscalCode, 7, 2);
    const char* century = records::numericValue(yearDigits) > 9 ? "19" : "20";

    const auto twoDigits = [](long long value) { return records::padLeft(records::digitsText(value), 2, '0'); };
    data.date = twoDigits(day < 0 ? 0 : day);
    data.date += month == std::string_view::npos ? std::string("00") : twoDigits(static_cast<long long>(month) + 1);
    data.date += century;
    data.date += yearDigits;
    return data;
}

IdentityChecks::IdentityChecks(records::Channels& channels, const records::Installation& installation,
                               records::Prompter& prompter)
    : m_channels(channels)
    , m_installation(installation)
    , m_prompter(prompter)
{
}

bool IdentityChecks::confirmChange(records::Question question)
{
    const bool yes = m_prompter.askYesNo(question, "Modifica dei dati", "Conferma ", records::Icon::Question);
    confirmationAnswer = yes ? kYes : kNo;
    return yes;
}

CheckResult IdentityChecks::report(CheckResult result)
{
    if (result.outcome == CheckResult::Outcome::NotChecked)
        return result;
    checkFailed = 0;
    if (result.failed()) {
        m_prompter.message({}, result.message, records::Icon::None);
        checkFailed = 1;
    }
    return result;
}

CheckResult IdentityChecks::checkVatNumber(std::string_view text)
{
    return report(registers::checkVatNumber(text));
}

CheckResult IdentityChecks::checkFiscalCode(std::string_view text)
{
    return report(registers::checkFiscalCode(text));
}

CheckResult IdentityChecks::checkDate(std::string_view text)
{
    return report(registers::checkDate(text));
}

bool IdentityChecks::birthDataFromFiscalCode(std::string& text)
{
    const std::string fileName = m_installation.drivePrefix + kMunicipalityTable;
    // Opening a missing table would leave an empty one in the installation, where the
    // payroll suite expects its own.
    if (!m_channels.paths().fileExists(fileName))
        return false;
    std::error_code error;
    const auto size = std::filesystem::file_size(m_channels.paths().hostPath(fileName), error);
    if (error)
        return false;
    const auto count = static_cast<double>(size / kMunicipalityRecordLength);

    const int previousChannel = m_channels.current();
    const double previousRecord = m_channels.recordNumber();
    const std::string code(records::mid(text, 12, 4));

    m_channels.select(kChannel, fileName, kMunicipalityRecordLength);
    m_channels.openBinary();
    bool found = false;
    for (double k = 1; k <= count && !found; ++k) {
        m_channels.setRecordNumber(k);
        m_channels.getRecord();
        const std::string& record = m_channels.channel(kChannel).recordBuffer;
        if (record.empty() || record[0] != '$' || records::mid(record, 2, 4) != code)
            continue;
        birthMunicipality = std::string(records::mid(record, 11, 24));
        birthProvince = std::string(records::mid(record, 35, 2));
        birthPostcode = std::string(records::mid(record, 37, 5));
        BirthData birth = birthDataOf(text);
        sex = birth.sex;
        text = std::move(birth.date);
        found = true;
    }
    m_channels.close(kChannel);
    m_channels.setCurrent(previousChannel);
    m_channels.setRecordNumber(previousRecord);
    return found;
}

} // namespace registers
