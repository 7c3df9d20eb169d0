#include "cu/telematic/quadro_db.h"

#include <array>

#include "payroll/cu_archive.h"
#include "records/numeric.h"
#include "records/text.h"

namespace cu::telematic {

namespace {

using enum Group;
using enum When;
using enum Form;

// Quadro DB in the order of the form. Columns: code, group, source entry, when written,
// value form, report total, and the number of blanks before an entry written as stored.
constexpr FieldRow kQuadroDb[] = {
    // Income of employment, days of deductions, dates of the employment, in service at 31/12,
    // special periods.
    {"DB001001", DbIncome,     cu(22),   Positive,             Amount,           2},
    {"DB001002", DbIncome,     cu(23),   Positive,             Amount,           2},
    {"DB001003", DbIncome,     cu(24),   Positive,             Amount,           2},
    {"DB001004", DbIncome,     cu(25),   Positive,             Amount,           2},
    {"DB001005", DbIncome,     cu(26),   Positive,             Amount},
    {"DB001006", DbIncome,     cu(27),   Rule,                 DayCount},
    {"DB001008", DbIncome,     cu(29),   Positive,             BlanksEntry,      0, 8},
    {"DB001009", DbIncome,     cu(30),   Positive,             BlanksEntry,      0, 8},
    {"DB001010", DbIncome,     cu(31),   IsX,                  Flag},
    {"DB001011", DbIncome,     cu(32),   Rule,                 DayCountPeriod},
    // IRPEF withheld; regional and municipal additional taxes (totals 3 to 8).
    {"DB001021", DbIncome,     cu(33),   Positive,             Amount,           3},
    {"DB001022", DbIncome,     cu(34),   Positive,             Amount,           4},
    {"DB001023", DbIncome,     cu(35),   Positive,             Amount,           5},
    {"DB001024", DbIncome,     cu(36),   Positive,             Amount},
    {"DB001025", DbIncome,     cu(37),   Positive,             Amount,           6},
    {"DB001026", DbIncome,     cu(38),   Positive,             Amount,           7},
    {"DB001027", DbIncome,     cu(39),   Positive,             Amount,           7},
    {"DB001028", DbIncome,     cu(40),   Positive,             Amount},
    {"DB001029", DbIncome,     cu(41),   Positive,             Amount,           8},
    {"DB001051", DbIncome,     cu(53),   TrimmedNotEmpty,      Trimmed},
    {"DB001052", DbIncome,     cu(54),   IsX,                  Flag},
    // Tax assistance: amounts withheld (total 9) and refunded (total 10).
    {"DB001061", DbIncome,     cu(55),   Positive,             Amount,           9},
    {"DB001062", DbIncome,     cu(56),   Positive,             Amount,           10},
    {"DB001063", DbIncome,     cu(57),   Positive,             Amount},
    {"DB001064", DbIncome,     cu(58),   Positive,             Amount},
    {"DB001071", DbIncome,     cu(59),   Positive,             Amount,           9},
    {"DB001072", DbIncome,     cu(60),   Positive,             Amount,           10},
    {"DB001073", DbIncome,     cu(61),   Positive,             Amount},
    {"DB001074", DbIncome,     cu(62),   Positive,             Amount},
    {"DB001075", DbIncome,     cu(63),   TrimmedNotEmpty,      TwoCharacterCode},
    {"DB001081", DbIncome,     cu(64),   Positive,             Amount,           9},
    {"DB001082", DbIncome,     cu(65),   Positive,             Amount,           10},
    {"DB001083", DbIncome,     cu(66),   Positive,             Amount},
    {"DB001084", DbIncome,     cu(67),   Positive,             Amount},
    {"DB001085", DbIncome,     cu(68),   TrimmedLongerThanOne, Trimmed},
    {"DB001091", DbIncome,     cu(69),   Positive,             Amount,           9},
    {"DB001092", DbIncome,     cu(70),   Positive,             Amount,           10},
    {"DB001093", DbIncome,     cu(71),   Positive,             Amount},
    {"DB001094", DbIncome,     cu(72),   Positive,             Amount},
    {"DB001106", DbIncome,     cu(75),   Positive,             Amount,           9},
    {"DB001107", DbIncome,     cu(76),   Positive,             Amount},
    {"DB001111", DbIncome,     cu(77),   Positive,             Amount,           9},
    {"DB001112", DbIncome,     cu(78),   Positive,             Amount},
    {"DB001121", DbIncome,     cu(79),   Positive,             Amount,           9},
    {"DB001122", DbIncome,     cu(80),   Positive,             Amount,           9},
    {"DB001123", DbIncome,     cu(81),   IsX,                  Flag},
    {"DB001124", DbIncome,     cu(82),   Positive,             Amount,           9},
    {"DB001125", DbIncome,     cu(83),   TrimmedLongerThanOne, Trimmed},
    {"DB001126", DbIncome,     cu(84),   Positive,             Amount,           9},
    {"DB001127", DbIncome,     cu(85),   Positive,             Amount,           9},
    {"DB001128", DbIncome,     cu(86),   IsX,                  Flag},
    {"DB001141", DbIncome,     cu(90),   Positive,             Amount},
    {"DB001142", DbIncome,     cu(91),   Positive,             Amount},
    {"DB001143", DbIncome,     cu(92),   Positive,             Amount},
    {"DB001151", DbIncome,     cu(93),   Positive,             Amount},
    {"DB001152", DbIncome,     cu(94),   Positive,             Amount},
    {"DB001153", DbIncome,     cu(95),   Positive,             Amount},
    {"DB001261", DbIncome,     cu(103),  Positive,             Amount,           9},
    {"DB001262", DbIncome,     cu(104),  Positive,             Amount,           10},
    {"DB001263", DbIncome,     cu(105),  Positive,             Amount},
    {"DB001264", DbIncome,     cu(106),  Positive,             Amount},
    {"DB001271", DbIncome,     cu(107),  Positive,             Amount,           9},
    {"DB001272", DbIncome,     cu(108),  Positive,             Amount,           10},
    {"DB001273", DbIncome,     cu(109),  Positive,             Amount},
    {"DB001274", DbIncome,     cu(110),  Positive,             Amount},
    {"DB001275", DbIncome,     cu(111),  Positive,             Zero2},
    {"DB001281", DbIncome,     cu(112),  Positive,             Amount,           9},
    {"DB001282", DbIncome,     cu(113),  Positive,             Amount,           10},
    {"DB001283", DbIncome,     cu(114),  Positive,             Amount},
    {"DB001284", DbIncome,     cu(115),  Positive,             Amount},
    {"DB001285", DbIncome,     cu(116),  TrimmedLongerThanOne, Trimmed},
    {"DB001291", DbIncome,     cu(117),  Positive,             Amount,           9},
    {"DB001292", DbIncome,     cu(118),  Positive,             Amount,           10},
    {"DB001293", DbIncome,     cu(119),  Positive,             Amount},
    {"DB001294", DbIncome,     cu(120),  Positive,             Amount},
    {"DB001306", DbIncome,     cu(123),  Positive,             Amount,           9},
    {"DB001307", DbIncome,     cu(124),  Positive,             Amount},
    {"DB001311", DbIncome,     cu(125),  Positive,             Amount,           9},
    {"DB001312", DbIncome,     cu(126),  Positive,             Amount},
    {"DB001321", DbIncome,     cu(127),  Positive,             Amount,           9},
    {"DB001322", DbIncome,     cu(128),  Positive,             Amount,           9},
    {"DB001323", DbIncome,     cu(129),  IsX,                  Flag},
    {"DB001324", DbIncome,     cu(130),  Positive,             Amount,           9},
    {"DB001325", DbIncome,     cu(131),  TrimmedLongerThanOne, Trimmed},
    {"DB001326", DbIncome,     cu(132),  Positive,             Amount,           9},
    {"DB001327", DbIncome,     cu(133),  Positive,             Amount,           9},
    {"DB001328", DbIncome,     cu(134),  IsX,                  Flag},
    // Deductible charges: pairs of code and amount.
    {"DB001341", DbIncome,     cu(138),  Positive,             Whole},
    {"DB001342", DbIncome,     cu(139),  Positive,             Amount},
    {"DB001343", DbIncome,     cu(140),  Positive,             Whole},
    {"DB001344", DbIncome,     cu(141),  Positive,             Amount},
    // Gross tax and deductions; "DB001373" is the total of the deductions (total 11).
    {"DB001361", DbIncome,     cu(150),  Positive,             Amount},
    {"DB001362", DbIncome,     cu(151),  Positive,             Amount},
    {"DB001363", DbIncome,     cu(152),  Positive,             Amount},
    {"DB001364", DbIncome,     cu(153),  Positive,             Amount},
    {"DB001365", DbIncome,     cu(154),  Positive,             Amount},
    {"DB001366", DbIncome,     cu(155),  Positive,             Amount},
    {"DB001367", DbIncome,     cu(156),  Positive,             Amount},
    {"DB001368", DbIncome,     cu(157),  Positive,             Amount},
    {"DB001369", DbIncome,     cu(158),  Positive,             Amount},
    {"DB001370", DbIncome,     cu(159),  Positive,             Amount},
    {"DB001371", DbIncome,     cu(160),  Positive,             Amount},
    {"DB001372", DbIncome,     cu(161),  Positive,             Amount},
    {"DB001373", DbIncome,     cu(0),    Rule,                 CappedDeductions, 11},
    {"DB001374", DbIncome,     cu(163),  Positive,             Amount},
    {"DB001375", DbIncome,     cu(164),  Positive,             Zero3},
    {"DB001376", DbIncome,     cu(165),  Positive,             Amount},
    {"DB001377", DbIncome,     cu(166),  Positive,             Amount},
    {"DB001378", DbIncome,     cu(167),  Positive,             Amount},
    // IRPEF bonus paid (total 12) and bonus paid by other parties.
    {"DB001391", DbIncome,     cu(168),  Positive,             BlanksEntry,      0, 15},
    {"DB001392", DbIncome,     cu(169),  Positive,             Amount,           12},
    {"DB001393", DbIncome,     cu(170),  Positive,             Amount},
    {"DB001394", DbIncome,     cu(171),  Positive,             Amount},
    {"DB001395", DbIncome,     cu(172),  Positive,             BlanksEntry,      0, 15},
    {"DB001396", DbIncome,     cu(173),  Positive,             Amount},
    {"DB001397", DbIncome,     cu(174),  Positive,             Amount},
    {"DB001399", DbIncome,     cu(175),  Positive,             Amount},
    {"DB001411", DbIncome,     cu(176),  TrimmedOne,           BlanksTrimmed,    0, 15},
    {"DB001412", DbIncome,     cu(177),  Positive,             Amount},
    {"DB001413", DbIncome,     cu(178),  Positive,             Amount},
    {"DB001414", DbIncome,     cu(179),  Positive,             Amount},
    {"DB001415", DbIncome,     cu(180),  Positive,             BlanksEntry,      0, 8},
    {"DB001425", DbIncome,     cu(190),  PassesTextCheck,      Text},
    // Deductible charges left out of the income, sums given back, health funds.
    {"DB001431", DbIncome,     cu(193),  Positive,             Amount},
    {"DB001432", DbIncome,     cu(194),  Rule,                 FirstTwoBlank2},
    {"DB001433", DbIncome,     cu(195),  Positive,             Amount},
    {"DB001438", DbIncome,     cu(200),  Positive,             Amount},
    {"DB001439", DbIncome,     cu(201),  Positive,             Amount},
    {"DB001440", DbIncome,     cu(202),  Positive,             Amount},
    {"DB001441", DbIncome,     cu(203),  Positive,             Amount},
    {"DB001442", DbIncome,     cu(204),  Positive,             Amount},
    {"DB001443", DbIncome,     cu(205),  PassesTextCheck,      Text},
    {"DB001444", DbIncome,     cu(206),  IsX,                  Flag},
    {"DB001451", DbIncome,     cu(207),  Positive,             Amount},
    {"DB001453", DbIncome,     cu(209),  Positive,             Amount},
    {"DB001454", DbIncome,     cu(210),  Positive,             Amount},
    {"DB001460", DbIncome,     cu(216),  Positive,             Zero3},
    {"DB001473", DbIncome,     cu(226),  Positive,             Amount},
    {"DB001474", DbIncome,     cu(227),  Positive,             Amount},
    {"DB001475", DbIncome,     cu(228),  Positive,             Amount},
    {"DB001476", DbIncome,     cu(229),  IsX,                  Flag},
    {"DB001477", DbIncome,     cu(230),  TrimmedIsAOrB,        Trimmed},
    // Last field of the income part.
    {"DB001478", DbIncome,     cu(231),  Positive,             Amount},
    // Income taxed at source and exempt income: written for every certificate.
    {"DB001481", None,         cu(232),  Positive,             Amount},
    {"DB001482", None,         cu(233),  Positive,             Amount},
    {"DB001484", None,         cu(235),  TrimmedOne,           BlanksTrimmed,    0, 15},
    {"DB001485", None,         cu(236),  Positive,             Amount},
    {"DB001486", None,         cu(237),  TrimmedOne,           Trimmed},
    {"DB001487", None,         cu(238),  Positive,             Amount},
    {"DB001A89", None,         cu(240),  Positive,             Blank2},
    {"DB001B89", None,         cu(241),  Positive,             Zero2},
    {"DB001490", None,         cu(242),  Positive,             Whole},
    {"DB001491", None,         cu(243),  Positive,             Amount},
    {"DB001492", None,         cu(244),  PassesTextCheck,      Text},
    {"DB001496", None,         cu(245),  Positive,             Amount},
    {"DB001497", None,         cu(246),  Positive,             Amount},
    {"DB001498", None,         cu(247),  Positive,             Amount},
    {"DB001499", None,         cu(248),  Positive,             Amount},
    // Income taxed separately (total 13).
    {"DB001511", None,         cu(251),  Positive,             Amount,           13},
    {"DB001512", None,         cu(252),  Positive,             Amount,           13},
    {"DB001513", None,         cu(253),  Positive,             Amount},
    {"DB001515", None,         cu(255),  Positive,             Whole},
    {"DB001516", None,         cu(256),  Positive,             Amount},
    {"DB001517", None,         cu(257),  Positive,             Amount},
    {"DB001518", None,         cu(258),  Positive,             Amount},
    {"DB001520", None,         cu(260),  Positive,             Amount},
    {"DB001521", None,         cu(261),  Positive,             Whole},
    {"DB001522", None,         cu(262),  PassesTextCheck,      Text},
    // Income paid by other parties, merged at the year-end adjustment (total 14).
    {"DB001531", None,         cu(263),  Positive,             Amount,           14},
    {"DB001532", None,         cu(264),  Positive,             Amount,           14},
    {"DB001533", None,         cu(265),  Positive,             Amount,           14},
    {"DB001534", None,         cu(266),  Positive,             Amount,           14},
    {"DB001535", None,         cu(267),  Positive,             Amount,           14},
    {"DB001536", None,         cu(268),  PassesTextCheck,      Text},
    {"DB001537", None,         cu(269),  Positive,             Whole},
    {"DB001538", None,         cu(270),  Positive,             Amount},
    {"DB001539", None,         cu(271),  Positive,             Amount},
    {"DB001540", None,         cu(272),  Positive,             Amount},
    {"DB001541", None,         cu(273),  Positive,             Amount},
    {"DB001542", None,         cu(274),  Positive,             Amount},
    {"DB001543", None,         cu(275),  Positive,             Amount},
    {"DB001544", None,         cu(276),  Positive,             Amount},
    {"DB001545", None,         cu(277),  Positive,             Amount},
    {"DB001546", None,         cu(278),  Positive,             Amount},
    {"DB001551", None,         cu(283),  Positive,             Whole},
    {"DB001552", None,         cu(284),  Positive,             Amount},
    {"DB001553", None,         cu(285),  Positive,             Whole},
    {"DB001554", None,         cu(286),  Positive,             Amount},
    {"DB001561", None,         cu(287),  Positive,             Amount},
    {"DB001562", None,         cu(288),  Positive,             Amount},
    {"DB001563", None,         cu(289),  Positive,             Amount},
    {"DB001564", None,         cu(290),  Positive,             Amount},
    {"DB001601", None,         cu(293),  PassesTextCheck,      Text},
    {"DB001602", None,         cu(294),  IsX,                  Flag},
};

} // namespace

std::span<const FieldRow> quadroDbRows()
{
    return kQuadroDb;
}

bool hasNoIncomePart(const payroll::CuEntries& fields)
{
    // The two income entries are read as one text, not added: "0" followed by "5" is 5.
    if (fields.cu[10] != "2")
        return false;
    std::string income(fields.cu[22]);
    income += fields.cu[23];
    return records::numericValue(income) == 0;
}

std::string dayCountText(payroll::CuEntries& fields)
{
    std::string_view& days = fields.cu[27];
    if (records::numericValue(days) > 365)
        days = "365";
    return records::padLeft(records::trim(days), 3, '0');
}

std::string twoCharacterCode(std::string_view entry)
{
    const std::string_view code = records::trim(entry);
    if (code.size() > 2)
        return std::string(code.substr(0, 2));
    return records::padLeft(code, 2, '0');
}

double cappedDeductions(const payroll::CuEntries& fields)
{
    double sum = 0;
    for (const int entry : {151, 152, 156, 157, 158})
        sum += records::numericValue(fields.cu[entry]);
    sum = records::roundToCents(sum);
    const double grossTax = records::numericValue(fields.cu[150]);
    return grossTax < sum ? grossTax : sum;
}

std::string firstTwoBlankPadded(std::string_view entry)
{
    return records::padLeft(records::trim(entry).substr(0, 2), 2);
}

} // namespace cu::telematic
