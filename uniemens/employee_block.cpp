#include "uniemens/employee_block.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <string>

#include "payroll/company_record.h"
#include "payroll/employee_record.h"
#include "records/numeric.h"
#include "records/text.h"
#include "uniemens/element_table.h"
#include "uniemens/xml_lines.h"

namespace uniemens {

namespace {

namespace employee = payroll::employee;
using payroll::employee::kDayCount;
using payroll::employee::kDayCoverageBase;
using payroll::employee::kDayMarkerBase;
using payroll::employee::kDaysInMonth;

bool isOneOf(std::string_view text, std::initializer_list<std::string_view> values)
{
    return std::find(values.begin(), values.end(), text) != values.end();
}

// Comparisons "in upper case" change the ASCII letters only.
bool upperIsOneOf(std::string_view text, std::initializer_list<std::string_view> values)
{
    return std::any_of(values.begin(), values.end(),
                       [&](std::string_view v) { return records::equalsIgnoreAsciiCase(text, v); });
}

// ---------------------------------------------------------------- rules of the record

bool isApprentice(const BlockData& d)
{
    return d.apprentice;
}
bool notApprentice(const BlockData& d)
{
    return !d.apprentice;
}
bool isSportWorker(const BlockData& d)
{
    return d.sportWorker;
}
bool notSportWorker(const BlockData& d)
{
    return !d.sportWorker;
}
bool isPartTime(const BlockData& d)
{
    return d.partTime;
}
bool notPartTime(const BlockData& d)
{
    return !d.partTime;
}

// Qualifica2 and Qualifica3 do not apply to the qualifications "A" and "B".
bool hasFurtherQualifications(const BlockData& d)
{
    return !isOneOf(d.fields[employee::kQualification1], {"A", "B"});
}

// The pension regime after 1995 is declared for workers who are not apprentices.
bool declaresRegimePost95(const BlockData& d)
{
    return !isOneOf(d.fields[employee::kQualification1], {"4", "5"}) && !d.apprentice && upperIsOneOf(d.fields[employee::kPost95], {"S", "N"});
}

// A percentage of 100.00 is full time.
bool declaresPartTimePercent(const BlockData& d)
{
    return d.fields.positive(employee::kPartTimePercent) && d.fields[employee::kPartTimePercent] != "10000";
}

bool hiredThisMonth(const BlockData& d)
{
    return records::equalsIgnoreAsciiCase(d.fields[employee::kHiredMarker], "X");
}
bool terminatedThisMonth(const BlockData& d)
{
    return records::equalsIgnoreAsciiCase(d.fields[employee::kTerminatedMarker], "X");
}
// Hired from another INPS position of the employer.
bool hiredFromAnotherPosition(const BlockData& d)
{
    return isOneOf(d.fields[employee::kHiringType], {"2", "2T"});
}

// Sport and entertainment workers have no minimum weeks: their qualifications "S" and "U".
bool selfEmployedPerformer(const BlockData& d)
{
    return isOneOf(d.fields[employee::kQualification1], {"S", "U"});
}
bool declaresUsefulWeeks(const BlockData& d)
{
    return !selfEmployedPerformer(d) && d.partTime && !d.sportWorker;
}
bool declaresUsefulDays(const BlockData& d)
{
    return !selfEmployedPerformer(d) && d.partTime && d.sportWorker;
}
bool hasParticularData(const BlockData& d)
{
    return d.sportWorker || d.fields.positive(employee::kFirstConvAmount) || d.fields.positive(employee::kSecondConvAmount)
           || d.fields.positive(employee::kThirdConvAmount);
}

bool februaryDeclaration(const BlockData& d)
{
    return d.header.number(payroll::company::kMonth) == 2;
}

bool quirChosen(const BlockData& d)
{
    return records::equalsIgnoreAsciiCase(d.fields[employee::kTfrChoiceKind], "IQ");
}
bool quirNotChosen(const BlockData& d)
{
    return !quirChosen(d);
}

// A date field (YYYYMMDD) that falls in the window's year and month.
bool inDeclaredMonth(const BlockData& d, int field)
{
    const std::string_view date = d.fields[field];
    return records::mid(date, 1, 4) == d.workingYear && records::mid(date, 5, 2) == d.selectedMonth;
}

// The TFR destination is declared in the month of the choice, of the adhesion to a pension
// fund, or when severance pay goes to the worker's pay packet.
bool declaresTfrDestination(const BlockData& d)
{
    return inDeclaredMonth(d, employee::kFundAdhesionDate) || d.fields.positive(employee::kQuirPaidInPayslip)
           || d.fields.positive(employee::kQuirFinanced) || inDeclaredMonth(d, employee::kTfrChoiceDate);
}
bool adheresToPensionFund(const BlockData& d)
{
    return !quirChosen(d) && records::numericValue(records::mid(d.fields[employee::kFundAdhesionDate], 1, 4)) != 0;
}
bool keepsTfrWithEmployer(const BlockData& d)
{
    return !quirChosen(d) && records::numericValue(records::mid(d.fields[employee::kFundAdhesionDate], 1, 4)) == 0;
}
bool paysPensionFund(const BlockData& d)
{
    return !quirChosen(d) && d.fields.positive(126);
}

// A week's event code counts only with its three characters.
bool weekEventCode(const BlockData& d, const FieldList& fields)
{
    return d.fields[fields[0]].size() == 3;
}
constexpr Condition weekEvent(short field)
{
    return {&weekEventCode, {field}};
}

// Events whose accreditation difference is declared in weeks, and those declared in amounts.
bool weeksEvent(const BlockData& d, const FieldList& fields)
{
    return isOneOf(d.fields[fields[0]], {"MB1", "MB2", "MB3", "MB4", "MB5"});
}
bool amountEventWithDifference(const BlockData& d, const FieldList& fields)
{
    return isOneOf(d.fields[fields[0]], {"MAL", "INF", "MA1", "MA2", "MA3", "MA4", "MA5", "MA6", "MA7", "MC1", "ACT",
                                         "CGO", "CGS", "CGD", "DON", "SOL", "DMO"})
        && d.fields.positive(fields[1]);
}
constexpr Condition weeksEventCode(short codeField)
{
    return {&weeksEvent, {codeField}};
}
constexpr Condition amountEvent(short codeField, short differenceField)
{
    return {&amountEventWithDifference, {codeField, differenceField}};
}

// ---------------------------------------------------------------- computed values

std::string citizenship(const BlockData& d, int field)
{
    const std::string_view text = d.fields[field];
    return text.empty() ? "000" : std::string(text);
}

// Monthly pay unless the record says daily.
std::string payKind(const BlockData& d, int field)
{
    const std::string_view text = d.fields[field];
    return isOneOf(text, {"M", "G"}) ? std::string(text) : "M";
}

// The theoretical pay in whole euros: an exact half goes up, anything below it down.
std::string unitRounded(const BlockData& d, int field)
{
    double x = d.number(field);
    if (x - std::floor(x) == 0.5)
        x += 0.1;
    return wholeNumberText(std::floor(x + 0.499), "RetribTeorica");
}

// Weeks of an accreditation difference in hundredths of a week.
std::string weeksInHundredths(const BlockData& d, int field)
{
    const double weeks = d.number(field);
    if (weeks > 0)
        return wholeNumberText(weeks * 100, "SettAccredito");
    return std::string(d.fields[field]);
}

// ---------------------------------------------------------------- special lines

// One Giorno element per day of the month marked worked ("S") or not worked ("N"). Records
// hold markers for 31 days; a larger day count stops at the 31st.
void writeDays(const BlockData& d, const Node&, XmlLines& out)
{
    // The lines of the days, made once: a month of days is most of an employee's lines.
    // Without the coverage of the day, a day is three lines known in advance.
    struct DayLines {
        std::array<XmlLines::Tag, kDaysInMonth + 1> start;
        std::array<XmlLines::Tag, kDaysInMonth + 1> worked;    // the whole day, worked
        std::array<XmlLines::Tag, kDaysInMonth + 1> notWorked; // the whole day, not worked
        XmlLines::Tag workedLine = XmlLines::tag({"<Lavorato>S</Lavorato>"}, true);
        XmlLines::Tag notWorkedLine = XmlLines::tag({"<Lavorato>N</Lavorato>"}, true);
        XmlLines::Tag coverageStart = XmlLines::tag({"<TipoCoperturaGiorn>"}, false);
        XmlLines::Tag coverageEnd = XmlLines::tag({"</TipoCoperturaGiorn>"}, true);
        XmlLines::Tag end = XmlLines::tag({"</Giorno>"}, true);
    };
    static const DayLines kDay = [] {
        DayLines lines;
        for (int day = 1; day <= kDaysInMonth; ++day) {
            const std::string start = "<Giorno GG=\"" + records::digitsText(day) + "\">";
            const auto k = static_cast<std::size_t>(day);
            lines.start[k] = XmlLines::tag({start}, true);
            lines.worked[k] = XmlLines::tag({start, "\r\n<Lavorato>S</Lavorato>\r\n</Giorno>"}, true);
            lines.notWorked[k] = XmlLines::tag({start, "\r\n<Lavorato>N</Lavorato>\r\n</Giorno>"}, true);
        }
        return lines;
    }();
    const double days = d.number(kDayCount);
    for (int day = 1; day <= kDaysInMonth && day <= days; ++day) {
        const std::string_view worked = d.fields[kDayMarkerBase + day];
        const bool yes = worked == "S";
        if (!yes && worked != "N")
            continue;
        const auto k = static_cast<std::size_t>(day);
        if (!d.sportWorker) {
            out.lines(yes ? kDay.worked[k] : kDay.notWorked[k],
                      {&kDay.start[k], yes ? &kDay.workedLine : &kDay.notWorkedLine, &kDay.end});
            continue;
        }
        out.line(kDay.start[k]);
        out.line(yes ? kDay.workedLine : kDay.notWorkedLine);
        out.element(kDay.coverageStart, d.fields[kDayCoverageBase + day], kDay.coverageEnd);
        out.line(kDay.end);
    }
}

// The amount of a bilateral agreement with the declared month as its period.
void writePeriodAmount(const BlockData& d, const Node& node, XmlLines& out)
{
    std::string period(d.header[payroll::company::kYear]);
    period += '-';
    period += d.header[payroll::company::kMonth];
    out.elementWithAttribute(node.element, "Periodo", period, d.fields[node.field]);
}

constexpr Form C = Form::Container;
constexpr Form Fixed = Form::Fixed;
constexpr Form T = Form::Text;
constexpr Form Computed = Form::Computed;

// The content of DenunciaIndividuale, in output order; depth 1 is its direct content.
constexpr Node kEmployeeTable[] = {
    {1, "CFLavoratore", 1, always(), T},
    {1, "Cognome", 2, always(), T},
    {1, "Nome", 3, always(), T},
    {1, "Qualifica1", 4, always(), T},
    {1, "Qualifica2", 5, rule(&hasFurtherQualifications), T},
    {1, "Qualifica3", 6, rule(&hasFurtherQualifications), T},
    {1, "TipoContribuzione", 7, notEmpty(7), T},
    {1, "TipoApprendistato", 20, rule(&isApprentice), T},
    {1, "RegimePost95", 219, rule(&declaresRegimePost95), T},
    {1, "Cittadinanza", 8, always(), Computed, &citizenship},
    {1, "UnitaOperativa", 257, positive(257), T},
    {1, "CodiceComune", 9, always(), T},
    {1, "CodiceContratto", 10, always(), T},
    {1, "TipoPaga", 218, always(), Computed, &payKind},
    {1, "OrarioContrattuale", 11, always(), T},
    {1, "PercPartTime", 12, rule(&declaresPartTimePercent), T},
    {1, "NumMensilita", 13, always(), T},
    {1, "Assunzione", 0, positive(14).andAlso(&hiredThisMonth), C},
    {2, "GiornoAssunzione", 14, always(), T},
    {2, "TipoAssunzione", 15, always(), T},
    {2, "MatricolaProvenienza", 16, rule(&hiredFromAnotherPosition), T},
    {1, "Cessazione", 0, positive(17).andAlso(&terminatedThisMonth), C},
    {2, "GiornoCessazione", 17, always(), T},
    {2, "TipoCessazione", 18, always(), T},
    {1, "DatiRetributivi", 0, always(), C},
    {2, "TipoLavoratore", 19, always(), T},
    {2, "TipoLavStat", 20, notEmpty(20).andAlso(&notApprentice), T},
    {2, "Imponibile", 21, always(), T},
    {2, "Contributo", 22, always(), Form::ZeroAsZero},
    {2, "ContribuzioneAggiuntiva", 0, anyPositive({24, 26, 27}), C},
    {3, "Contrib1PerCento", 0, anyPositive({24, 25}), C},
    {4, "ImponibileCtrAgg", 25, positive(25), T},
    {4, "ContribAggCorrente", 24, positive(24), T},
    {3, "Regolarizz1PerCento", 0, anyPositive({26, 27}), C},
    {4, "ContribAggRegolarizz", 26, positive(26), T},
    {4, "RecuperoAggRegolarizz", 27, positive(27), T},
    {2, "Malattia", 0, sumPositive({28, 30, 31, 32}), C},
    {3, "MalADebito", 0, positive(28), C},
    {4, "CausaleVersMal", 29, always(), T},
    {4, "ImportoVersMal", 28, always(), T},
    {3, "MalACredito", 0, sumPositive({30, 31, 32}), C},
    {4, "IndennitaMalattia", 30, positive(30), T},
    {4, "IndennitaMalattia87-88", 31, positive(31), T},
    {4, "MalACredAltre", 0, positive(32), C},
    {5, "CausaleRecMal", 161, always(), T},
    {5, "ImportoRecMal", 32, always(), T},
    {2, "Maternita", 0, sumPositive({33, 35, 36, 37, 38, 39}), C},
    {3, "MatADebito", 0, positive(33), C},
    {4, "CausaleVersMat", 34, always(), T},
    {4, "ImportoVersMat", 33, always(), T},
    {3, "MatACredito", 0, sumPositive({35, 36, 37, 38, 39}), C},
    {4, "IndMat1Fascia", 35, positive(35), T},
    {4, "IndMat2Fascia", 36, positive(36), T},
    {4, "IndCongedoParentale", 37, positive(37), T},
    {4, "IndAllattamento", 38, positive(38), T},
    {4, "MatACredAltre", 0, positive(39), C},
    {5, "CausaleRecMat", 40, always(), T},
    {5, "ImportoRecMat", 39, always(), T},
    {2, "GestioneANF", 0, sumPositive({41, 43, 44}), C},
    {3, "ANFADebito", 0, positive(41), C},
    {4, "CausaleRestituzANF", 42, always(), T},
    {4, "ImportoRestituzANF", 41, always(), T},
    {3, "ANFACredito", 0, sumPositive({43, 44}), C},
    {4, "AssegniCorrenti", 43, positive(43), T},
    {4, "ANFACredAltre", 0, positive(44), C},
    {5, "CausaleRecANF", 45, always(), T},
    {5, "ImportoRecANF", 44, always(), T},
    {2, "Incentivo", 0, anyPositive({217, 220}), C},
    {3, "TipoIncentivo", 215, always(), T},
    {3, "CodEnteFinanziatore", 216, always(), T},
    {3, "ImportoCorrIncentivo", 217, positive(217), T},
    {3, "ImportoArrIncentivo", 220, positive(220), T},
    {2, "Incentivo", 0, anyPositive({255, 256}), C},
    {3, "TipoIncentivo", 253, always(), T},
    {3, "CodEnteFinanziatore", 254, always(), T},
    {3, "ImportoCorrIncentivo", 255, positive(255), T},
    {3, "ImportoArrIncentivo", 256, positive(256), T},
    {2, "GestioneCIG", 0, sumPositive({46, 48, 49, 53, 55, 56}), C},
    {3, "CIGOrdADebito", 0, positive(46), C},
    {4, "CausaleContrAddCIGO", 47, always(), T},
    {4, "ImportoContrAddCIGO", 46, always(), T},
    {3, "CIGOrdACredito", 0, anyPositive({48, 49}), C},
    {4, "IndOrdinaria", 48, positive(48), T},
    {4, "CIGOACredAltre", 0, positive(49), C},
    {5, "CausaleCongCIGO", 50, always(), T},
    {5, "ImportoCongCIGO", 49, always(), T},
    {4, "OreCongCIGO", 0, positive(52), C},
    {5, "NumAutorizzCIGO", 51, always(), T},
    {5, "NumOreCIGO", 52, always(), T},
    {4, "OreCongCIGO", 0, positive(165), C},
    {5, "NumAutorizzCIGO", 164, always(), T},
    {5, "NumOreCIGO", 165, always(), T},
    {4, "OreCongCIGO", 0, positive(167), C},
    {5, "NumAutorizzCIGO", 166, always(), T},
    {5, "NumOreCIGO", 167, always(), T},
    {4, "OreCongCIGO", 0, positive(169), C},
    {5, "NumAutorizzCIGO", 168, always(), T},
    {5, "NumOreCIGO", 169, always(), T},
    {3, "CIGStraordADebito", 0, positive(53), C},
    {4, "CausaleContrAddCIGS", 54, always(), T},
    {4, "ImportoContrAddCIGS", 53, always(), T},
    {3, "CIGStraordACredito", 0, positive(55), C},
    {4, "IndStraordinaria", 55, always(), T},
    {4, "CIGSACredAltre", 0, positive(56), C},
    {5, "CausaleCongCIGS", 57, always(), T},
    {5, "ImportoCongCIGS", 56, always(), T},
    {4, "OreCongCIGS", 0, positive(59), C},
    {5, "NumAutorizzCIGS", 58, always(), T},
    {5, "NumOreCIGS", 59, always(), T},
    {4, "OreCongCIGS", 0, positive(171), C},
    {5, "NumAutorizzCIGS", 170, always(), T},
    {5, "NumOreCIGS", 171, always(), T},
    {4, "OreCongCIGS", 0, positive(173), C},
    {5, "NumAutorizzCIGS", 172, always(), T},
    {5, "NumOreCIGS", 173, always(), T},
    {4, "OreCongCIGS", 0, positive(175), C},
    {5, "NumAutorizzCIGS", 174, always(), T},
    {5, "NumOreCIGS", 175, always(), T},
    {3, "CIGSDatiStat", 0, positive(61), C},
    {4, "CausaleStatCIGS", 60, always(), T},
    {4, "NumOreStatCIGS", 61, always(), T},
    {4, "ImponibileStatCIGS", 62, always(), T},
    {2, "LavPensionato", 0, positive(103), C},
    {3, "LavPensTrattenuta", 0, always(), C},
    {4, "QuotaFPLD", 103, always(), T},
    {2, "AltreADebito", 0, positive(74), C},
    {3, "CausaleADebito", 75, always(), T},
    {3, "NumGG", 76, positive(76), T},
    {3, "NumOre", 77, notPositive(76), T},
    {3, "AltroImponibile", 78, positive(78), T},
    {3, "ImportoADebito", 74, always(), T},
    {2, "AltreACredito", 0, positive(79), C},
    {3, "CausaleACredito", 80, always(), T},
    {3, "ImportoACredito", 79, always(), T},
    {2, "RetribTeorica", 63, always(), Computed, &unitRounded},
    // Six weeks, for workers who are not sport and entertainment workers.
    {2, "Settimana", 0, positive(81).andAlso(&notSportWorker), C},
    {3, "IdSettimana", 81, always(), T},
    {3, "TipoCopertura", 82, always(), T},
    {3, "CodiceEvento", 83, weekEvent(83), T},
    {2, "Settimana", 0, positive(84).andAlso(&notSportWorker), C},
    {3, "IdSettimana", 84, always(), T},
    {3, "TipoCopertura", 85, always(), T},
    {3, "CodiceEvento", 86, weekEvent(86), T},
    {2, "Settimana", 0, positive(87).andAlso(&notSportWorker), C},
    {3, "IdSettimana", 87, always(), T},
    {3, "TipoCopertura", 88, always(), T},
    {3, "CodiceEvento", 89, weekEvent(89), T},
    {2, "Settimana", 0, positive(90).andAlso(&notSportWorker), C},
    {3, "IdSettimana", 90, always(), T},
    {3, "TipoCopertura", 91, always(), T},
    {3, "CodiceEvento", 92, weekEvent(92), T},
    {2, "Settimana", 0, positive(93).andAlso(&notSportWorker), C},
    {3, "IdSettimana", 93, always(), T},
    {3, "TipoCopertura", 94, always(), T},
    {3, "CodiceEvento", 95, weekEvent(95), T},
    {2, "Settimana", 0, positive(96).andAlso(&notSportWorker), C},
    {3, "IdSettimana", 96, always(), T},
    {3, "TipoCopertura", 97, always(), T},
    {3, "CodiceEvento", 98, weekEvent(98), T},
    {2, "Giorno", 0, always(), Form::Special, nullptr, &writeDays},
    // Two accreditation differences: difference, event code, weeks.
    {2, "DifferenzeAccredito", 0, anyPositive({99, 101}), C},
    {3, "CodiceEvento", 100, always(), T},
    {3, "SettAccredito", 101, weeksEventCode(100), Computed, &weeksInHundredths},
    {3, "DiffAccredito", 99, amountEvent(100, 99), T},
    {2, "DifferenzeAccredito", 0, anyPositive({176, 178}), C},
    {3, "CodiceEvento", 177, always(), T},
    {3, "SettAccredito", 178, weeksEventCode(177), Computed, &weeksInHundredths},
    {3, "DiffAccredito", 176, amountEvent(177, 176), T},
    {2, "GiorniRetribuiti", 64, always(), T},
    {2, "GiorniContribuiti", 64, rule(&notPartTime), T},
    {2, "OreContribuite", 65, rule(&isPartTime), T},
    {2, "RispettoMinimale", 66, always(), T},
    {2, "SettimaneUtili", 67, rule(&declaresUsefulWeeks), T},
    {2, "GiorniUtili", 258, rule(&declaresUsefulDays), T},
    {2, "DatiParticolari", 0, rule(&hasParticularData), C},
    {3, "TipoLavSportSpet", 0, rule(&isSportWorker), C},
    {4, "<TipoRapportoLav>LA</TipoRapportoLav>", 0, rule(&selfEmployedPerformer), Fixed},
    {4, "CodiceQualifica", 252, always(), T},
    {3, "ConvBilat", 0, rule(&notSportWorker), C},
    {4, "Conv", 0, positive(261), C},
    {5, "CodConv", 262, always(), T},
    {5, "Importo", 261, always(), Form::Special, nullptr, &writePeriodAmount},
    {4, "Conv", 0, positive(263), C},
    {5, "CodConv", 264, always(), T},
    {5, "Importo", 263, always(), Form::Special, nullptr, &writePeriodAmount},
    {4, "Conv", 0, positive(265), C},
    {5, "CodConv", 266, always(), T},
    {5, "Importo", 265, always(), Form::Special, nullptr, &writePeriodAmount},
    {1, "ANF", 0, sumPositive({68, 69, 70}), C},
    {2, "TabANF", 68, always(), T},
    {2, "NumANF", 69, always(), T},
    {2, "ClasseANF", 70, always(), T},
    {1, "TFR", 102, rule(&februaryDeclaration), T},
    // Every record declares its severance pay of the month; the destination only in the
    // month it is chosen.
    {1, "GestioneTFR", 0, always(), C},
    {2, "DestinazioneTFR", 0, rule(&declaresTfrDestination), C},
    {3, "TipoScelta", 116, always(), T},
    {3, "DataScelta", 117, always(), Form::Date},
    {3, "ProfiloLav", 0, rule(&quirNotChosen), C},
    {4, "IscrizPrevObbl", 118, always(), T},
    {4, "IscrizPrevCompl", 119, always(), T},
    {3, "SceltaDest", 0, always(), C},
    {4, "<SceltaQUIR>S</SceltaQUIR>", 0, rule(&quirChosen), Fixed},
    {4, "SceltaPrevCompl", 0, rule(&adheresToPensionFund), C},
    {5, "DataAdesione", 121, always(), Form::Date},
    {5, "FormaPrevCompl", 122, always(), T},
    {5, "TipoQuotaPrevCompl", 123, always(), T},
    {5, "MisuraPercPrevCompl", 124, always(), T},
    {4, "SceltaTFR", 0, rule(&keepsTfrWithEmployer), C},
    {5, "FondoTesoreria", 120, always(), T},
    {2, "MeseTFR", 0, always(), C},
    {3, "BaseCalcoloTFR", 125, always(), T},
    {3, "MeseQUIR", 0, rule(&quirChosen), C},
    {4, "QUIRLiquidataBustaPaga", 259, positive(259), T},
    {4, "QUIRDaFinanziare", 0, notPositive(259), C},
    {5, "QUIRFinMaturata", 260, always(), T},
    {3, "BaseCalcoloPrevCompl", 126, rule(&paysPensionFund), T},
    {3, "MeseTesoreria", 0, sumPositive({127, 128, 131, 132}).andAlso(&paysPensionFund), C},
    {4, "Contribuzione", 0, always(), C},
    {5, "ImportoCorrente", 127, positive(127), T},
    {5, "RestituzioneImpostaSost", 131, positive(131), T},
    {5, "Rivalutazione", 132, positive(132), T},
    {3, "MisureCompensative", 0, anyPositive({139, 141, 179}), C},
    {4, "MisCompADebito", 0, positive(139), C},
    {5, "CausaleMCADeb", 140, always(), T},
    {5, "ImportoMCADeb", 139, always(), T},
    {4, "MisCompACredito", 0, positive(141), C},
    {5, "CausaleMCACred", 142, always(), T},
    {5, "ImportoMCACred", 141, always(), T},
    {4, "MisCompACredito", 0, positive(179), C},
    {5, "CausaleMCACred", 180, always(), T},
    {5, "ImportoMCACred", 179, always(), T},
};

} // namespace

void writeEmployeeBlock(const payroll::RecordFields& employee, const payroll::RecordFields& header,
                        std::string_view workingYear, std::string_view selectedMonth, XmlLines& out)
{
    BlockData data{employee, header, workingYear, selectedMonth};
    data.sportWorker = upperIsOneOf(employee[payroll::employee::kWorkerType], {"SC", "SY", "SR", "SX", "SI", "ST", "SZ"});
    data.apprentice = upperIsOneOf(employee[payroll::employee::kApprenticeship], {"APPA", "APPB", "APPC"});
    data.partTime = employee.positive(payroll::employee::kPartTimePercent);

    if (header.number(payroll::company::kCancellation) == 1)
        out.fixed("<DenunciaIndividuale Elimina=\"S\">");
    else
        out.open("DenunciaIndividuale");
    static const ElementTable table(kEmployeeTable);
    table.write(data, out);
    out.close("DenunciaIndividuale");
}

} // namespace uniemens
