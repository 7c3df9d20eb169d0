#include "check/values.h"

#include "payroll/identity_codes.h"
#include "payroll/tax_codes.h"
#include "records/text.h"

namespace check {

namespace {

using records::isDigit;
using records::allDigits;

int number(std::string_view digits)
{
    int value = 0;
    for (const char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

// In a fiscal code made unique by the revenue office, these letters stand for the digits 0-9.
constexpr std::string_view kOmocodia = "LMNPQRSTUV";

int omocodicDigit(char c)
{
    if (isDigit(c))
        return c - '0';
    const auto at = kOmocodia.find(c);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

} // namespace

bool dayExists(int year, int month, int day)
{
    return day >= 1 && day <= records::daysInMonth(year, month);
}

std::optional<Day> dayOfDdmmyyyy(std::string_view text)
{
    if (text.size() != 8 || payroll::checkDate(text).failed())
        return std::nullopt;
    return number(text.substr(4, 4)) * 10000 + number(text.substr(2, 2)) * 100 + number(text.substr(0, 2));
}

std::optional<Day> dayOfIsoDate(std::string_view text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    const std::string_view year = text.substr(0, 4), month = text.substr(5, 2), day = text.substr(8, 2);
    if (!allDigits(year) || !allDigits(month) || !allDigits(day))
        return std::nullopt;
    if (!dayExists(number(year), number(month), number(day)))
        return std::nullopt;
    return number(year) * 10000 + number(month) * 100 + number(day);
}

std::string dayText(Day day)
{
    const auto two = [](int value) { return std::string{static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)}; };
    return two(day % 100) + "/" + two(day / 100 % 100) + "/" + std::to_string(day / 10000);
}

namespace {

// Days from 1 January 1970 to a day of the Gregorian calendar.
long long daysFromEpoch(int year, int month, int day)
{
    const int y = month <= 2 ? year - 1 : year;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return static_cast<long long>(era) * 146097 + dayOfEra - 719468;
}

} // namespace

int weekOfYear(int year, int month, int day)
{
    const long long first = daysFromEpoch(year, 1, 1);
    // 1 January 1970 was a Thursday: day 0 is Thursday, and Sunday is 0 in this count.
    const int firstWeekday = static_cast<int>(((first % 7) + 7 + 4) % 7);
    const long long dayOfYear = daysFromEpoch(year, month, day) - first;
    return static_cast<int>((dayOfYear + firstWeekday) / 7) + 1;
}

MonthWeeks weeksOfMonth(int year, int month)
{
    return {weekOfYear(year, month, 1), weekOfYear(year, month, records::daysInMonth(year, month))};
}

std::optional<Cents> centsOf(std::string_view text)
{
    const auto separator = text.find_first_of(",.");
    const std::string_view whole = text.substr(0, separator);
    if (!allDigits(whole) || whole.size() > 15)
        return std::nullopt;
    Cents result;
    for (const char c : whole)
        result.cents = result.cents * 10 + (c - '0');
    result.cents *= 100;
    if (separator == std::string_view::npos)
        return result;
    const std::string_view decimals = text.substr(separator + 1);
    if (decimals.empty() || decimals.size() > 2 || !allDigits(decimals))
        return std::nullopt;
    result.separator = text[separator];
    result.cents += (decimals[0] - '0') * 10 + (decimals.size() == 2 ? decimals[1] - '0' : 0);
    return result;
}

std::string centsText(long long cents)
{
    const std::string sign = cents < 0 ? "-" : "";
    const long long value = cents < 0 ? -cents : cents;
    const long long part = value % 100;
    return sign + std::to_string(value / 100) + "," + (part < 10 ? "0" : "") + std::to_string(part);
}

std::string quoted(std::string_view value)
{
    std::string text = "'";
    for (const char c : value)
        text += static_cast<unsigned char>(c) < 32 || c == 127 ? '?' : c;
    return text + "'";
}

std::string_view fiscalCodePart(std::string_view place)
{
    return place.size() >= 16 && place.substr(11, 5) == "     " ? place.substr(0, 11) : place.substr(0, 16);
}

std::string fiscalCodeProblem(std::string_view code, std::string_view name)
{
    const std::string fault = fiscalCodeFault(fiscalCodePart(code));
    return fault.empty() ? std::string() : std::string(name) + " " + quoted(code) + fault;
}

std::string fiscalCodeFault(std::string_view code)
{
    if (code.size() == 11 && allDigits(code)) {
        if (!payroll::checkVatNumber(code).failed())
            return {};
        return std::string(" errato: la cifra di controllo dovrebbe essere ") + payroll::vatCheckDigit(code.substr(0, 10));
    }
    if (code.size() == 16) {
        const payroll::CheckResult result = payroll::checkFiscalCode(code);
        if (result.outcome == payroll::CheckResult::Outcome::Passed)
            return {};
        if (result.outcome == payroll::CheckResult::Outcome::Failed && result.message != payroll::kFormallyWrong)
            return std::string(" errato: il carattere di controllo dovrebbe essere ")
                + payroll::fiscalCodeCheckLetter(code.substr(0, 15));
    }
    return " non valido: atteso un codice fiscale di 16 caratteri (lettere maiuscole e cifre) o di 11 cifre";
}

std::optional<FiscalCodeBirth> birthOfFiscalCode(std::string_view code)
{
    if (code.size() < 16)
        return std::nullopt;
    const int y1 = omocodicDigit(code[6]), y2 = omocodicDigit(code[7]);
    const int d1 = omocodicDigit(code[9]), d2 = omocodicDigit(code[10]);
    const auto month = payroll::kFiscalCodeMonthLetters.find(code[8]);
    if (y1 < 0 || y2 < 0 || d1 < 0 || d2 < 0 || month == std::string_view::npos)
        return std::nullopt;
    FiscalCodeBirth birth;
    birth.year2 = y1 * 10 + y2;
    birth.month = static_cast<int>(month) + 1;
    birth.day = d1 * 10 + d2;
    if (birth.day > 40) {
        birth.day -= 40;
        birth.sex = 'F';
    }
    return birth;
}

bool allowedValue(std::string_view list, std::string_view value)
{
    while (true) {
        const auto bar = list.find('|');
        if (list.substr(0, bar) == value)
            return true;
        if (bar == std::string_view::npos)
            return false;
        list.remove_prefix(bar + 1);
    }
}

std::string shownList(std::string_view list)
{
    std::string text;
    for (const char c : list) {
        if (c == '|')
            text += ", ";
        else if (c == ' ')
            text += "spazio";
        else
            text += c;
    }
    return text;
}

} // namespace check
