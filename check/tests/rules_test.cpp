#include <gtest/gtest.h>

#include <string>

#include "check/cu_rules.h"
#include "check/rules.h"
#include "check/uniemens_rules.h"
#include "check/values.h"

// The grounds of the rules and the calendar of the weeks that the checks rest on.

// Only the framing of the format and the authority's own rules block; every rule that rests
// on other software or on how this program writes says so in its findings.
TEST(Rules, OnlyFramingAndAuthorityRulesBlockAndTheOthersSayWhatTheyRestOn)
{
    for (const auto rules : {check::cu::rules(), check::uniemens::rules()}) {
        for (const check::Rule& rule : rules) {
            SCOPED_TRACE(rule.id);
            const bool certain = rule.ground == check::Ground::Framing || rule.ground == check::Ground::Authority;
            EXPECT_EQ(rule.level(), certain ? check::Level::Blocking : check::Level::Warning);
            if (rule.ground == check::Ground::OtherSoftware || rule.ground == check::Ground::ThisProgram) {
                EXPECT_NE(rule.restsOn, nullptr);
            }
        }
    }
    EXPECT_EQ(check::cu::rule(check::cu::RuleId::ElementForm).said("Valore errato"), "Valore errato");
    EXPECT_EQ(check::cu::rule(check::cu::RuleId::ZeroValue).said("Importo zero"),
              "Importo zero (diverso da come lo scrive questo programma)");
}

// Weeks run from Sunday to Saturday and week 1 is the one that holds 1 January, as INPS
// numbers IdSettimana. Worked out on the calendar: 1 January 2016 was a Friday, 2017 a
// Sunday, 2021 a Friday, 2022 a Saturday.
TEST(Rules, WeeksOfTheYear)
{
    struct Day {
        int year, month, day, week;
    };
    const Day days[] = {
        {2016, 1, 1, 1},  {2016, 1, 2, 1},  {2016, 1, 3, 2},   {2016, 4, 1, 14},  {2016, 4, 30, 18},
        {2017, 1, 1, 1},  {2017, 1, 7, 1},  {2017, 1, 8, 2},   {2021, 1, 30, 5},  {2021, 1, 31, 6},
        {2022, 1, 1, 1},  {2022, 1, 2, 2},  {2020, 12, 31, 53}, {2016, 12, 31, 53},
    };
    for (const Day& d : days)
        EXPECT_EQ(check::weekOfYear(d.year, d.month, d.day), d.week) << d.year << "-" << d.month << "-" << d.day;

    struct Month {
        int year, month, first, last;
    };
    const Month months[] = {
        {2016, 3, 10, 14}, {2016, 4, 14, 18}, {2020, 12, 49, 53},
        {2021, 1, 1, 6},   {2021, 10, 40, 45}, {2026, 7, 27, 31},
    };
    for (const Month& m : months) {
        const check::MonthWeeks weeks = check::weeksOfMonth(m.year, m.month);
        EXPECT_EQ(weeks.first, m.first) << m.year << "-" << m.month;
        EXPECT_EQ(weeks.last, m.last) << m.year << "-" << m.month;
    }
}

// Amounts of a declaration with a comma or a point, in cents.
TEST(Rules, AmountsInCents)
{
    struct Case {
        const char* text;
        long long cents; // -1: not an amount
        char separator;
    };
    const Case cases[] = {
        {"17,11", 1711, ','}, {"1063", 106300, 0}, {"0.5", 50, '.'}, {"2016.96", 201696, '.'},
        {"1.234,50", -1, 0},  {"12,345", -1, 0},   {"-5", -1, 0},    {"5,", -1, 0}, {",5", -1, 0},
    };
    for (const Case& c : cases) {
        const auto cents = check::centsOf(c.text);
        EXPECT_EQ(cents ? cents->cents : -1, c.cents) << c.text;
        if (cents) {
            EXPECT_EQ(cents->separator, c.separator) << c.text;
        }
    }
    EXPECT_EQ(check::centsText(201696), "2016,96");
    EXPECT_EQ(check::centsText(5), "0,05");
}
