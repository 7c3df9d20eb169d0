#include "cu/telematic/quadri_dc_df_dn.h"

#include "payroll/cu_archive.h"
#include "records/numeric.h"
#include "records/text.h"

namespace cu::telematic {

namespace {

using enum Group;
using enum When;
using enum Form;

// Columns: code, group, source entry, when written, value form, report total, and the
// blanks before an entry written as stored or the CU entry a rule reads besides the source.

// The spouse (DB601) and up to seven children or other dependants (DB602 to DB608): the
// relationship, fiscal code, months of dependency, months under three years, percentage of
// the deduction ("C" or an amount), deduction in full for children in custody.
constexpr FieldRow kDependants[] = {
    {"DB601001", DbSpouse,     cu(295),  Always,               Flag},
    {"DB601004", DbSpouse,     cu(296),  PassesTextCheck,      Text},
    {"DB601005", DbSpouse,     cu(297),  Always,               Zero2},
    {"DB602001", DbDependant1, cu(298),  Always,               LetterFD},
    {"DB602004", DbDependant1, cu(300),  PassesTextCheck,      Text},
    {"DB602005", DbDependant1, cu(301),  Always,               Zero2},
    {"DB602006", DbDependant1, cu(302),  Positive,             Zero2},
    {"DB602B07", DbDependant1, cu(303),  FirstIsC,             LetterC},
    {"DB602A07", DbDependant1, cu(303),  FirstIsNotC,          Amount},
    {"DB602008", DbDependant1, cu(304),  IsX,                  Flag},
    {"DB603001", DbDependant2, cu(305),  Always,               LetterFAD},
    {"DB603004", DbDependant2, cu(308),  PassesTextCheck,      Text},
    {"DB603005", DbDependant2, cu(309),  Always,               Zero2},
    {"DB603006", DbDependant2, cu(310),  Positive,             Zero2},
    {"DB603B07", DbDependant2, cu(311),  FirstIsC,             LetterC},
    {"DB603A07", DbDependant2, cu(311),  FirstIsNotC,          Amount},
    {"DB603008", DbDependant2, cu(312),  IsX,                  Flag},
    {"DB604001", DbDependant3, cu(313),  Always,               LetterFAD},
    {"DB604004", DbDependant3, cu(316),  PassesTextCheck,      Text},
    {"DB604005", DbDependant3, cu(317),  Always,               Zero2},
    {"DB604006", DbDependant3, cu(318),  Positive,             Zero2},
    {"DB604B07", DbDependant3, cu(319),  FirstIsC,             LetterC},
    {"DB604A07", DbDependant3, cu(319),  FirstIsNotC,          Amount},
    {"DB604008", DbDependant3, cu(320),  IsX,                  Flag},
    {"DB605001", DbDependant4, cu(321),  Always,               LetterFAD},
    {"DB605004", DbDependant4, cu(324),  PassesTextCheck,      Text},
    {"DB605005", DbDependant4, cu(325),  Always,               Zero2},
    {"DB605006", DbDependant4, cu(326),  Positive,             Zero2},
    {"DB605B07", DbDependant4, cu(327),  FirstIsC,             LetterC},
    {"DB605A07", DbDependant4, cu(327),  FirstIsNotC,          Amount},
    {"DB605008", DbDependant4, cu(328),  IsX,                  Flag},
    {"DB606001", DbDependant5, cu(329),  Always,               LetterFAD},
    {"DB606004", DbDependant5, cu(332),  PassesTextCheck,      Text},
    {"DB606005", DbDependant5, cu(333),  Always,               Zero2},
    {"DB606006", DbDependant5, cu(334),  Positive,             Zero2},
    {"DB606B07", DbDependant5, cu(335),  FirstIsC,             LetterC},
    {"DB606A07", DbDependant5, cu(335),  FirstIsNotC,          Amount},
    {"DB606008", DbDependant5, cu(336),  IsX,                  Flag},
    {"DB607001", DbDependant6, cu(337),  Always,               LetterFAD},
    {"DB607004", DbDependant6, cu(340),  PassesTextCheck,      Text},
    {"DB607005", DbDependant6, cu(341),  Always,               Zero2},
    {"DB607006", DbDependant6, cu(342),  Positive,             Zero2},
    {"DB607B07", DbDependant6, cu(343),  FirstIsC,             LetterC},
    {"DB607A07", DbDependant6, cu(343),  FirstIsNotC,          Amount},
    {"DB607008", DbDependant6, cu(344),  IsX,                  Flag},
    {"DB608001", DbDependant7, cu(345),  Always,               LetterFAD},
    {"DB608004", DbDependant7, cu(348),  PassesTextCheck,      Text},
    {"DB608005", DbDependant7, cu(349),  Always,               Zero2},
    {"DB608006", DbDependant7, cu(350),  Positive,             Zero2},
    {"DB608B07", DbDependant7, cu(351),  FirstIsC,             LetterC},
    {"DB608A07", DbDependant7, cu(351),  FirstIsNotC,          Amount},
    {"DB608008", DbDependant7, cu(352),  IsX,                  Flag},
    {"DB610001", None,         cu(361),  Positive,             Amount},
};

constexpr FieldRow kQuadroDc[] = {
    // INPS employee scheme: the company's INPS number (the first 10 of its 12 characters
    // behind 6 blanks), the taxable pay (total 15), and the months with a monthly return:
    // the box "all months", or else the month string.
    {"DC001001", DcInps,       cu(362),  Always,               BlanksEntry,      0, 6},
    {"DC001002", DcInps,       cu(363),  IsX,                  Flag},
    {"DC001003", DcInps,       cu(364),  IsX,                  Flag},
    {"DC001004", DcInps,       cu(365),  Positive,             Amount,           15},
    {"DC001005", DcInps,       cu(366),  Positive,             Amount},
    {"DC001006", DcInps,       cu(367),  Positive,             Amount},
    {"DC001007", DcInps,       cu(368),  IsX,                  Flag},
    {"DC001008", DcInps,       cu(369),  FlagIsNotX,           Months,           0, 368},
    // INPS separate scheme: the collaborator's pay (total 21) and contributions; without
    // the box "all months", the month string and the kind of relationship follow.
    {"DC001041", DcSeparate,   cu(381),  Always,               Amount,           21},
    {"DC001042", DcSeparate,   cu(382),  Positive,             Amount},
    {"DC001043", DcSeparate,   cu(383),  Positive,             Amount},
    {"DC001044", DcSeparate,   cu(384),  Positive,             Amount},
    {"DC001045", DcSeparate,   cu(385),  IsX,                  Flag},
    {"DC001046", DcSeparate,   cu(386),  FlagIsNotX,           Months,           0, 385},
    {"DC001047", DcSeparate,   cu2(101), FlagIsNotX,           Entry,            0, 385},
    {"DC001048", DcSeparate,   cu2(102), FlagIsNotX,           Entry,            0, 385},
    // INAIL: qualification, insurance position, start and end (day and month), municipality,
    // travelling staff.
    {"DC001071", DcInail,      cu(440),  FirstIsNotBlank,      Entry},
    {"DC001072", DcInail,      cu(441),  Always,               BlanksEntry,      0, 5},
    {"DC001073", DcInail,      cu(442),  Rule,                 PairedCodes,      0, 443},
    {"DC001074", DcInail,      cu(444),  Rule,                 PairedCodes,      0, 445},
    {"DC001075", DcInail,      cu(446),  MunicipalityCode,     Entry},
    {"DC001076", DcInail,      cu(447),  IsX,                  Flag},
};

// Severance pay (TFR) and other lump sums taxed separately: the pay of the year (total 16)
// and of earlier years (total 17), the IRPEF withheld on them (totals 18 and 19), then
// groups A and B; the revaluation of the TFR is "DF001911" (total 20).
constexpr FieldRow kQuadroDf[] = {
    {"DF001801", None,         cu(448),  Positive,             Amount,           16},
    {"DF001802", None,         cu(449),  Positive,             Amount,           17},
    {"DF001803", None,         cu(450),  Positive,             Amount},
    {"DF001804", None,         cu(451),  Positive,             Amount,           18},
    {"DF001806", None,         cu(453),  Positive,             Amount,           19},
    {"DF001808", None,         cu(455),  Positive,             Whole},
    {"DF001809", None,         cu(456),  Positive,             Amount},
    {"DF001810", None,         cu(457),  Positive,             Amount},
    {"DF001811", None,         cu(458),  Positive,             Amount},
    {"DF001812", None,         cu(459),  Positive,             Amount},
    {"DF001813", None,         cu(460),  Positive,             Amount},
    {"DF001814", None,         cu(461),  Positive,             BlanksEntry,      0, 8},
    {"DF001815", None,         cu(462),  Positive,             BlanksEntry,      0, 8},
    {"DF001816", None,         cu(463),  Positive,             Amount},
    {"DF001817", None,         cu(464),  Positive,             Whole},
    {"DF001818", None,         cu(465),  IsX,                  Flag},
    {"DF001819", None,         cu(466),  PassesTextCheck,      Text},
    {"DF001A35", DfA,          cu(482),  Positive,             Whole},
    {"DF001B35", DfA,          cu(483),  Positive,             Zero2},
    {"DF001A36", DfA,          cu(494),  Positive,             Whole},
    {"DF001B36", DfA,          cu(495),  Positive,             Zero2},
    {"DF001A37", DfA,          cu(484),  Positive,             Whole},
    {"DF001B37", DfA,          cu(485),  Positive,             Zero2},
    {"DF001838", DfA,          cu(486),  Positive,             Amount},
    {"DF001839", DfA,          cu(488),  Positive,             Amount},
    {"DF001840", DfA,          cu(489),  Positive,             Amount},
    {"DF001841", DfA,          cu(490),  IsAOrBOrC,            Entry},
    {"DF001842", DfA,          cu(491),  Positive,             Whole},
    {"DF001843", DfA,          cu(492),  Positive,             Whole},
    {"DF001844", DfA,          cu(493),  Positive,             Amount},
    {"DF001845", DfA,          cu(498),  Positive,             Whole},
    {"DF001846", DfA,          cu(499),  Positive,             Amount},
    {"DF001847", DfA,          cu(500),  Positive,             Amount},
    {"DF001848", DfA,          cu2(1),   Positive,             Amount},
    {"DF001849", DfA,          cu2(2),   Positive,             Amount},
    {"DF001850", DfA,          cu2(3),   IsAOrBOrC,            Entry},
    {"DF001851", DfA,          cu2(4),   Positive,             Amount},
    {"DF001852", DfA,          cu2(5),   Positive,             Whole},
    {"DF001853", DfA,          cu2(6),   PassesTextCheck,      Text},
    {"DF001854", DfB,          cu2(7),   IsX,                  Flag},
    {"DF001855", DfB,          cu2(8),   IsX,                  Flag},
    {"DF001856", DfB,          cu2(9),   PassesTextCheck,      Text},
    {"DF001A57", DfB,          cu2(10),  Positive,             Whole},
    {"DF001B57", DfB,          cu2(11),  Positive,             Zero2},
    {"DF001A58", DfB,          cu2(12),  Positive,             Whole},
    {"DF001B58", DfB,          cu2(13),  Positive,             Zero2},
    {"DF001A59", DfB,          cu2(14),  Positive,             Zero2},
    {"DF001B59", DfB,          cu2(15),  Positive,             Zero2},
    {"DF001860", DfB,          cu2(16),  Positive,             Amount},
    {"DF001861", DfB,          cu2(17),  Positive,             Amount},
    {"DF001862", DfB,          cu2(18),  Positive,             Amount},
    {"DF001863", DfB,          cu2(19),  IsAOrBOrC,            Entry},
    {"DF001864", DfB,          cu2(20),  Positive,             Whole},
    {"DF001865", DfB,          cu2(21),  Positive,             Whole},
    {"DF001866", DfB,          cu2(22),  Positive,             Amount},
    {"DF001867", DfB,          cu2(23),  Positive,             Whole},
    {"DF001868", DfB,          cu2(24),  Positive,             Amount},
    {"DF001869", DfB,          cu2(25),  Positive,             Amount},
    {"DF001870", DfB,          cu2(26),  IsAOrBOrC,            Entry},
    {"DF001871", DfB,          cu2(27),  Positive,             Amount},
    {"DF001872", DfB,          cu2(28),  Positive,             Whole},
    {"DF001873", DfB,          cu2(29),  PassesTextCheck,      Text},
    {"DF001894", DfB,          cu2(52),  Positive,             Amount},
    {"DF001895", DfB,          cu2(53),  IsX,                  Flag},
    {"DF001A96", DfB,          cu2(54),  Positive,             Amount},
    {"DF001B96", DfB,          cu2(55),  TrimmedIsAOrB,        Trimmed},
    {"DF001A97", DfB,          cu2(56),  Positive,             Amount},
    {"DF001B97", DfB,          cu2(57),  TrimmedIsAOrB,        Trimmed},
    {"DF001898", DfB,          cu2(58),  Positive,             Amount},
    {"DF001899", DfB,          cu2(59),  Positive,             Amount},
    {"DF001900", DfB,          cu2(60),  Positive,             Amount},
    {"DF001901", DfB,          cu2(61),  Positive,             Amount},
    {"DF001902", DfB,          cu2(62),  Positive,             Amount},
    {"DF001903", DfB,          cu2(63),  Positive,             Amount},
    {"DF001905", DfB,          cu2(65),  Positive,             Amount},
    {"DF001907", DfB,          cu2(67),  Positive,             Amount},
    {"DF001908", DfB,          cu2(68),  Positive,             Amount},
    {"DF001909", DfB,          cu2(69),  Positive,             Amount},
    {"DF001910", DfB,          cu2(70),  Positive,             Amount},
    {"DF001911", DfB,          cu2(71),  Positive,             Amount,           20},
    {"DF001914", DfB,          cu2(72),  Positive,             Amount},
    {"DF001915", DfB,          cu2(73),  Positive,             Amount},
    {"DF001916", DfB,          cu2(74),  Positive,             Whole},
    {"DF001920", DfB,          cu2(103), Positive,             Amount},
};

constexpr FieldRow kQuadroDn[] = {
    {"DN001001", None,         cu2(75),  TrimmedTwo,           Trimmed},
    {"DN001002", None,         cu2(76),  TrimmedTwo,           Trimmed},
    {"DN001003", None,         cu2(77),  TrimmedTwo,           Trimmed},
    {"DN001004", None,         cu2(78),  TrimmedTwo,           Trimmed},
    {"DN001005", None,         cu2(79),  TrimmedTwo,           Trimmed},
    {"DN001006", None,         cu2(80),  TrimmedTwo,           Trimmed},
    {"DN001007", None,         cu2(81),  TrimmedTwo,           Trimmed},
    {"DN001008", None,         cu2(82),  TrimmedTwo,           Trimmed},
    {"DN001009", None,         cu2(83),  TrimmedTwo,           Trimmed},
    {"DN001010", None,         cu2(84),  TrimmedTwo,           Trimmed},
    {"DN001011", None,         cu2(85),  TrimmedTwo,           Trimmed},
    {"DN001012", None,         cu2(86),  TrimmedTwo,           Trimmed},
    {"DN001013", None,         cu2(87),  TrimmedTwo,           Trimmed},
    {"DN001014", None,         cu2(88),  TrimmedTwo,           Trimmed},
    {"DN001015", None,         cu2(89),  TrimmedTwo,           Trimmed},
    {"DN001016", None,         cu2(90),  TrimmedTwo,           Trimmed},
    {"DN001017", None,         cu2(91),  TrimmedTwo,           Trimmed},
    {"DN001018", None,         cu2(92),  TrimmedTwo,           Trimmed},
    {"DN001019", None,         cu2(93),  TrimmedTwo,           Trimmed},
};

bool isX(std::string_view entry)
{
    return entry == "X";
}

} // namespace

std::span<const FieldRow> dependantRows()
{
    return kDependants;
}

std::span<const FieldRow> quadroDcRows()
{
    return kQuadroDc;
}

std::span<const FieldRow> quadroDfRows()
{
    return kQuadroDf;
}

std::span<const FieldRow> quadroDnRows()
{
    return kQuadroDn;
}

bool groupIsOpen(Group group, const payroll::CuEntries& fields)
{
    // Each dependant group opens on its months of dependency, the fifth entry of its eight.
    constexpr int kFirstDependantMonths = 301;
    constexpr int kDependantEntries = 8;
    switch (group) {
    case DbSpouse:
        return isX(fields.cu[295]);
    case DbDependant1:
    case DbDependant2:
    case DbDependant3:
    case DbDependant4:
    case DbDependant5:
    case DbDependant6:
    case DbDependant7: {
        const int index = static_cast<int>(group) - static_cast<int>(DbDependant1);
        return records::isAboveZero(fields.cu[kFirstDependantMonths + index * kDependantEntries]);
    }
    case DcInps:
        return records::isAboveZero(fields.cu[362]);
    case DcSeparate:
        return records::isAboveZero(fields.cu[381]);
    case DcInail:
        return records::isAboveZero(fields.cu[441]);
    case DfA:
        return records::isAboveZero(fields.cu[488]);
    case DfB:
        return records::isAboveZero(fields.cu2[17]);
    case None:
    case DbIncome:
        break;
    }
    return true;
}

char dependantLetter(const payroll::CuEntries& fields, int first, int boxes)
{
    char letter = 'D';
    if (isX(fields.cu[first]))
        letter = 'F';
    if (boxes > 1 && isX(fields.cu[first + 1]))
        letter = 'A';
    if (boxes > 2 && isX(fields.cu[first + 2]))
        letter = 'D';
    return letter;
}

std::string monthString(const payroll::CuEntries& fields, int first)
{
    std::string months(12, '0');
    for (int month = 0; month < 12; ++month) {
        if (isX(fields.cu[first + month]))
            months[month] = '1';
    }
    return months;
}

std::string zeroPadded2(std::string_view entry)
{
    return records::padLeft(records::trim(entry), 2, '0');
}

void capDf001862Amount(payroll::CuEntries& fields)
{
    const double ceiling = records::numericValue(fields.cu2[17]);
    const double other = records::numericValue(fields.cu2[22]);
    if (ceiling < records::numericValue(fields.cu2[18]) + other) {
        // The new text is kept with the views, which cannot hold it themselves.
        fields.replaced = records::signedNumberText(ceiling - other);
        fields.cu2[18] = fields.replaced;
    }
}

} // namespace cu::telematic
