#pragma once

#include <cstdint>
#include <span>

#include "check/rules.h"

// The rules of the check of a UniEmens declaration that are not rows of its table: the XML
// itself, how the table's elements are judged, and the checks across elements, the INPS
// error codes among them.
namespace check::uniemens {

enum class RuleId : std::uint8_t {
    Xml,
    XmlWarning,
    DocumentType,
    Limit,
    Root,
    Nesting,
    Alternatives,
    Order,
    ElementUnknown,
    AttributeUnknown,
    Required,
    Usual,
    EmptyOptional,
    ValueForm,
    CodeLength,
    KnownValues,
    AmountSeparators,
    ZeroOptional,
    FutureDate,
    MonthDiffers,
    DayInMonth,
    DayOrder,
    WeekInMonth,
    WeekOrder,
    PaidDaysWithoutWeeks,  // INPS 02580E
    WeeksAbovePaidDays,    // INPS 02560E
    PaidDaysAboveWeeks,    // INPS 02570E
    WorkedDayUncovered,    // INPS 07780E
    WorkerTwice,
    EndBeforeHire,
    PeriodBackwards,
    DeclarationCount,
    TotalDue,
    MatricolaTwice,
    ListTwice,
    CompanyEmpty,
    NotSought,
    Count
};

const Rule& rule(RuleId id);
std::span<const Rule> rules();

} // namespace check::uniemens
