#pragma once

#include <optional>
#include <string>
#include <string_view>

// What the checks of both formats share: dates, identification codes, and values as the
// messages quote them.
namespace check {

// A day as a number yyyymmdd, so that days compare as numbers; 0 for none.
using Day = int;

// The day of ddmmyyyy when it exists in the Gregorian calendar (the date check of the
// registers), else nullopt.
std::optional<Day> dayOfDdmmyyyy(std::string_view text);
// The day of yyyy-mm-dd, likewise.
std::optional<Day> dayOfIsoDate(std::string_view text);
// True when day `day` exists in month `month` (1-12) of `year`.
bool dayExists(int year, int month, int day);
// "dd/mm/yyyy".
std::string dayText(Day day);

// The week of the year that holds a day, as INPS numbers the weeks of a declaration: weeks
// run from Sunday to Saturday and week 1 is the one that holds 1 January, so that the last
// days of December may fall in week 53 and a month has five or six weeks (April 2016: 14 to
// 18; January 2021: 1 to 6, the sixth holding only Sunday 31).
int weekOfYear(int year, int month, int day);
// The first and last week of a month.
struct MonthWeeks {
    int first = 0;
    int last = 0;
};
MonthWeeks weeksOfMonth(int year, int month);

// An amount in euro as a declaration writes it: digits, and a comma or a point followed by
// one or two decimals; in cents, with the separator it was written with (0 for none).
// Nothing for another text.
struct Cents {
    long long cents = 0;
    char separator = 0;
};
std::optional<Cents> centsOf(std::string_view text);
// Cents as an Italian clerk reads them: "1825,93".
std::string centsText(long long cents);

// What is wrong with an identification code written in a 16-character place: a personal
// fiscal code of 16 upper-case letters and digits with its check letter, or the 11-digit
// fiscal code of a company (its VAT number) with its check digit followed by blanks.
// Empty when it is right. `name` names the code in the message ("Codice fiscale del
// percipiente").
std::string fiscalCodeProblem(std::string_view code, std::string_view name);

// The code in a 16-character place: its first 11 characters when blanks follow them, else
// all 16.
std::string_view fiscalCodePart(std::string_view place);

// What is wrong with a code without trailing blanks (an XML value), as the end of a message
// that has already named and quoted it (" errato: il carattere di controllo dovrebbe
// essere U"); empty when it is right.
std::string fiscalCodeFault(std::string_view code);

// A value as a message quotes it: between apostrophes, blanks included (they show how it
// is aligned), control characters shown as "?".
std::string quoted(std::string_view value);

// True when `value` is one of the values of `list`, written "A|B|C".
bool allowedValue(std::string_view list, std::string_view value);
// The list "A|B|C" as a message shows it: "A, B, C", a blank value named "spazio".
std::string shownList(std::string_view list);

// The birth date (ddmm and the last two digits of the year) and sex that a personal fiscal
// code carries, letters standing for digits where the code was made unique (omocodia)
// read back as digits. Nothing for a code that is not a personal fiscal code.
struct FiscalCodeBirth {
    int day = 0;
    int month = 0;
    int year2 = 0;
    char sex = 'M';
};
std::optional<FiscalCodeBirth> birthOfFiscalCode(std::string_view code);

} // namespace check
