#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "payroll/cu_archive.h"
#include "cu/telematic/quadri.h"
#include "cu/telematic/quadri_dc_df_dn.h"
#include "cu/telematic/quadro_db.h"
#include "cu/telematic/tests/telematic_test_support.h"
#include "records/host_paths.h"
#include "records/numeric.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_root.h"
#include "records/text.h"

using namespace cu::telematic;
namespace support = cu::telematic::testing;

namespace {

const std::string kBlanks14(14, ' ');
const std::string kFlag = std::string(15, ' ') + "1";

// One employee's records G written from hand-built CU entries into a new telematic file of
// a fresh installation, read back field by field.
struct Employee {
    records::testing::TempRoot root;
    records::PathMapper paths{root.path()};
    records::testing::ScriptedPrompter prompter;
    records::NewFile file = records::NewFile::ofRecords(paths, "c:\\out.tel", kTelematicRecordLength);
    TelematicWriter writer{file, prompter};
    payroll::CuFields fields;
    ReportTotals totals{};
    std::vector<std::string> recordsG; // the records G of the employee
    std::vector<std::pair<std::string, std::string>> written; // code and 16-character value

    Employee()
    {
        // Every entry blank at its width, as an archive record of blanks unpacks.
        payroll::unpackArchiveRecord("$" + std::string(payroll::kArchiveRecordLength - 1, ' '), fields);
    }

    void set(int entry, std::string_view text)
    {
        fields.cu[entry] = records::fitRight(text, payroll::cuFieldSlot(entry).length);
    }
    void set2(int entry, std::string_view text)
    {
        fields.cu2[entry] = records::fitRight(text, payroll::secondCuFieldSlot(entry).length);
    }

    // The entries are viewed in the unpacked fields, or (`asRead`) in an archive record
    // packed from them and viewed as the run views a record it has read.
    void write(bool asRead = false)
    {
        ASSERT_TRUE(file.create().ok());
        writer.keys().agentFiscalCode = "01234567890";
        writer.keys().employeeFiscalCode = "RSSMRA80A01H501U";
        writer.keys().certificationNumber = 7;
        writer.startRecord(recordGPositional(writer.keys()));
        {
            // The run reads the entries as views; what a rule rewrote is copied back into
            // the fields, where the tests look for it.
            payroll::CuEntries entries;
            std::string record;
            if (asRead) {
                record = payroll::packArchiveRecord(fields);
                payroll::viewReadRecord(record, entries);
            } else {
                payroll::viewFields(fields, entries);
            }
            writeEmployeeQuadri(writer, entries, totals);
            payroll::CuFields after;
            for (std::size_t k = 0; k < after.cu.size(); ++k)
                after.cu[k] = entries.cu[k];
            for (std::size_t k = 0; k < after.cu2.size(); ++k)
                after.cu2[k] = entries.cu2[k];
            fields = std::move(after);
        }
        writer.flush();
        recordsG = support::splitRecords(records::testing::TempRoot::readFile(file.temporaryHostPath()));
        for (const std::string& record : recordsG) {
            for (const std::string& field : support::fieldsOf(record))
                written.emplace_back(field.substr(0, 8), field.substr(8));
        }
    }

    std::optional<std::string> value(const std::string& code) const
    {
        for (const auto& [c, v] : written) {
            if (c == code)
                return v;
        }
        return std::nullopt;
    }
    bool has(const std::string& code) const { return value(code).has_value(); }
    std::vector<std::string> codes() const
    {
        std::vector<std::string> result;
        for (const auto& field : written)
            result.push_back(field.first);
        return result;
    }
};

struct QuadriTest : ::testing::Test, Employee {};

} // namespace

TEST_F(QuadriTest, ABlankCertificateWritesNoFieldAndNoTotal)
{
    write();
    ASSERT_EQ(recordsG.size(), 1u);
    EXPECT_TRUE(written.empty());
    for (int slot = 1; slot <= 30; ++slot)
        EXPECT_EQ(totals[slot], 0) << "slot " << slot;
}

TEST_F(QuadriTest, AmountsAreRoundedAndFeedTheirTotalsEvenWhenNotWritten)
{
    set(22, "1234.5678");
    set(23, "-50");   // lowers "Totale Redditi" but is not written
    set(24, "0.004"); // rounds to 0
    set(33, "0.006");
    set(138, "7.9"); // whole amount
    set(140, "0.4");
    write();
    EXPECT_EQ(value("DB001001"), "         1234,57");
    EXPECT_FALSE(has("DB001002"));
    EXPECT_FALSE(has("DB001003"));
    EXPECT_EQ(value("DB001021"), "0000000000000,01");
    EXPECT_EQ(value("DB001341"), std::string(15, ' ') + "7");
    EXPECT_EQ(value("DB001343"), std::string(16, ' '));
    EXPECT_DOUBLE_EQ(totals[2], 1234.57 - 50);
    EXPECT_DOUBLE_EQ(totals[3], 0.01);
}

TEST(QuadriAmounts, AnAmountGivesOneFieldWhateverItsAlignmentAndShape)
{
    // Entry 22 is amount DB001001 (feeding total 2), entry 455 the whole amount DF001808;
    // both are 12 characters wide, a shorter text is filled with blanks on the right.
    const struct {
        int entry;
        const char* stored;
        const char* value; // nullptr: no field
        double total;
    } cases[] = {
        {22, "1234.56", "         1234,56", 1234.56},
        {22, "     1234.56", "         1234,56", 1234.56},
        {22, "  1234.56", "         1234,56", 1234.56},
        {22, "123456789.01", "    123456789,01", 123456789.01},
        {22, "0001234.56", "         1234,56", 1234.56},
        {22, "1234.5", "         1234,50", 1234.5},
        {22, "1234", "         1234,00", 1234},
        {22, "1234.", "         1234,00", 1234},
        {22, "1234.567", "         1234,57", 1234.57},
        {22, "0.50", "0000000000000,50", 0.5},
        {22, "12 34.56", "         1234,56", 1234.56},
        {22, "1E3", "         1000,00", 1000},
        {22, "+7.00", "            7,00", 7},
        {22, "-12.00", nullptr, -12},
        {22, "0.00", nullptr, 0},
        {22, "12.34x", "           12,34", 12.34},
        {22, "7", "            7,00", 7},
        {22, "98765432109", "  98765432109,00", 98765432109},
        {22, "    12.05", "           12,05", 12.05},
        {455, "7.90", "               7", 0},
        {455, "   12", "              12", 0},
        {455, "12.3", "              12", 0},
        {455, "12345678901", "     12345678901", 0},
        {455, "0.40", "                ", 0},
        {455, "99.99", "              99", 0},
        {455, "5", "               5", 0},
    };
    for (const auto& c : cases) {
      for (const bool asRead : {false, true}) {
        SCOPED_TRACE(std::to_string(c.entry) + " \"" + c.stored + "\"" + (asRead ? " as read" : ""));
        Employee employee;
        employee.set(c.entry, c.stored);
        employee.write(asRead);
        const std::optional<std::string> value = employee.value(c.entry == 22 ? "DB001001" : "DF001808");
        if (c.value == nullptr) {
            EXPECT_FALSE(value.has_value());
        } else {
            EXPECT_EQ(value.value_or("(none)"), c.value);
        }
        if (c.entry == 22) {
            EXPECT_DOUBLE_EQ(employee.totals[2], c.total);
        }
      }
    }
}

TEST_F(QuadriTest, EveryTotalIsFedByTheFieldsOfTheRunReport)
{
    // Slot and the entries whose amounts feed it, as the run report adds them up.
    const std::map<int, std::vector<int>> slots = {
        {2, {22, 23, 24, 25}}, {3, {33}}, {4, {34}}, {5, {35}}, {6, {37}}, {7, {38, 39}}, {8, {41}},
        {9, {55, 59, 64, 69, 75, 77, 79, 80, 82, 84, 85, 103, 107, 112, 117, 123, 125, 127, 128, 130, 132, 133}},
        {10, {56, 60, 65, 70, 104, 108, 113, 118}}, {12, {169}}, {13, {251, 252}},
        {14, {263, 264, 265, 266, 267}}, {15, {365}}, {16, {448}}, {17, {449}}, {18, {451}}, {19, {453}}, {21, {381}},
    };
    std::map<int, double> expected;
    for (const auto& [slot, entries] : slots) {
        for (const int entry : entries) {
            set(entry, std::to_string(entry) + ".126"); // rounds to .13
            expected[slot] += entry + 0.13;
        }
    }
    set(362, "1234567890"); // opens the INPS group of quadro DC
    set2(17, "99999");      // opens DF group B
    set2(71, "-12.5");      // the revaluation of the TFR lowers its slot without a field
    set(150, "999999");     // gross tax above the deductions: the total deductions are their sum
    expected[11] = 774.63; // the five deductions added up, then rounded once
    for (const int entry : {151, 152, 156, 157, 158})
        set(entry, std::to_string(entry) + ".126");
    write();

    for (const auto& [slot, total] : expected)
        EXPECT_NEAR(totals[slot], total, 1e-6) << "slot " << slot;
    EXPECT_DOUBLE_EQ(totals[20], -12.5);
    EXPECT_FALSE(has("DF001911"));
    EXPECT_EQ(value("DB001373"), "          774,63");
    EXPECT_EQ(totals[1], 0); // the employee count belongs to the loop
    for (int slot = 22; slot <= 30; ++slot)
        EXPECT_EQ(totals[slot], 0) << "slot " << slot;
}

TEST_F(QuadriTest, ACertificateOfKind2WithoutIncomeLeavesTheIncomePartOut)
{
    set(10, "2");
    set(33, "100");  // "DB001021", total 3
    set(230, "A");   // "DB001477", last field of the income part
    set(232, "300"); // "DB001481", first field after it
    set(27, "400");
    write();
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written.front().first, "DB001481");
    EXPECT_FALSE(has("DB001021"));
    EXPECT_FALSE(has("DB001477"));
    EXPECT_EQ(totals[3], 0);
    EXPECT_EQ(records::trim(fields.cu[27]), "400"); // the day count was never looked at
}

TEST_F(QuadriTest, TheIncomeTextIsReadAsOneTextAndOnlyCertificatesOfKind2AreShortened)
{
    using Case = std::tuple<std::string, std::string, std::string, bool>; // kind, entry 22, entry 23, written
    for (const auto& [kind, first, second, incomeWritten] : std::vector<Case>{
             {"2", "0", "0", false}, {"2", "", "", false}, {"2", "10", "", true},
             {"2", "0", "5", true},  // "0           5" is 5
             {"2", "5", "-5", true}, // "5           -5" is 5: the texts are not added
             {"1", "0", "0", true}, {" ", "", "", true}}) {
        Employee other;
        other.set(10, kind);
        other.set(22, first);
        other.set(23, second);
        other.set(33, "100");
        other.write();
        EXPECT_EQ(other.has("DB001021"), incomeWritten) << "kind " << kind << " income " << first << "|" << second;
    }
}

TEST_F(QuadriTest, TheDayCountIsCappedAtAYearAndGatesTheSpecialPeriods)
{
    struct Case {
        std::string days;
        std::optional<std::string> dayField;
        bool periodWritten;
        std::string storedAfter;
    };
    for (const Case& c : std::vector<Case>{
             {"400", "             365", false, "365"},
             {"365", "             365", false, "365"},
             {"  7", "             007", true, "  7"},
             {"", std::nullopt, true, "   "},
             {"abc", std::nullopt, true, "abc"}}) {
        Employee other;
        other.set(27, c.days);
        other.set(32, "4");
        other.write();
        EXPECT_EQ(other.value("DB001006"), c.dayField) << "days " << c.days;
        const std::optional<std::string> period = std::string(15, ' ') + "4";
        EXPECT_EQ(other.value("DB001011"), c.periodWritten ? period : std::nullopt) << "days " << c.days;
        EXPECT_EQ(other.fields.cu[27], c.storedAfter);
    }
}

TEST_F(QuadriTest, CodesArePaddedToTheirWidth)
{
    set(63, "5");   // "DB001075": a leading zero
    set(111, "3");  // zero-2
    set(164, "7");  // zero-3
    set(216, " 42");
    set(240, "5");  // blank-2
    set(241, "0");  // zero-2, value 0: not written
    set(194, "123"); // "DB001432": the first two characters
    write();
    EXPECT_EQ(value("DB001075"), kBlanks14 + "05");
    EXPECT_EQ(value("DB001275"), kBlanks14 + "03");
    EXPECT_EQ(value("DB001375"), std::string(13, ' ') + "007");
    EXPECT_EQ(value("DB001460"), std::string(13, ' ') + "042");
    EXPECT_EQ(value("DB001A89"), kBlanks14 + " 5");
    EXPECT_FALSE(has("DB001B89"));
    EXPECT_EQ(value("DB001432"), kBlanks14 + "12");

    Employee other;
    other.set(63, "");
    other.set(194, " 7");
    other.write();
    EXPECT_FALSE(other.has("DB001075"));
    EXPECT_EQ(other.value("DB001432"), kBlanks14 + " 7");
}

TEST_F(QuadriTest, TotalDeductionsAreTheGrossTaxCappedByTheSumOfTheDeductions)
{
    using Case = std::pair<std::string, std::optional<std::string>>; // gross tax, "DB001373"
    for (const auto& [grossTax, expected] : std::vector<Case>{
             {"50", "           50,00"},
             {"100", "           80,00"},
             {"80", "           80,00"},
             {"-3", std::nullopt}}) {
        Employee other;
        other.set(150, grossTax);
        for (const auto& [entry, amount] : std::vector<std::pair<int, std::string>>{
                 {151, "10"}, {152, "20"}, {156, "30"}, {157, "15"}, {158, "5"}, {153, "1000"}})
            other.set(entry, amount);
        other.write();
        EXPECT_EQ(other.value("DB001373"), expected) << "gross tax " << grossTax;
        EXPECT_DOUBLE_EQ(other.totals[11], std::min(std::stod(grossTax), 80.0));
    }
}

TEST_F(QuadriTest, FlagsTextsAndShortCodesFollowTheirConditions)
{
    set(31, "X");
    set(54, "x");        // lower case: nothing
    set(53, "A");
    set(68, "AB  ");     // "DB001085": longer than one character
    set(83, "A");        // "DB001125": one character is not enough
    set(176, " Z ");     // "DB001411": exactly one character, right-aligned
    set(235, "7");       // "DB001484": right-aligned
    set(237, "Q");       // "DB001486": exactly one, left-aligned
    set(190, "ABC");     // text check passes
    set(205, " ABC");    // begins with a blank
    set(244, "0 ABC");   // begins with "0 "
    set(262, std::string("\0\0ABC", 5));
    set(268, "0");       // stored as "0" and blanks: begins with "0 "
    set(293, "0ABC");
    set(230, " B");      // trimmed before it is compared
    write();
    EXPECT_EQ(value("DB001010"), kFlag);
    EXPECT_FALSE(has("DB001052"));
    EXPECT_EQ(value("DB001051"), "A" + std::string(15, ' '));
    EXPECT_EQ(value("DB001085"), "AB" + kBlanks14);
    EXPECT_FALSE(has("DB001125"));
    EXPECT_EQ(value("DB001411"), std::string(15, ' ') + "Z");
    EXPECT_EQ(value("DB001484"), std::string(15, ' ') + "7");
    EXPECT_EQ(value("DB001486"), "Q" + std::string(15, ' '));
    EXPECT_EQ(value("DB001425"), "ABC" + std::string(13, ' '));
    EXPECT_FALSE(has("DB001443"));
    EXPECT_FALSE(has("DB001492"));
    EXPECT_FALSE(has("DB001522"));
    EXPECT_FALSE(has("DB001536"));
    EXPECT_EQ(value("DB001601"), "0ABC" + std::string(12, ' '));
    EXPECT_EQ(value("DB001477"), "B" + std::string(15, ' '));
}

TEST_F(QuadriTest, SpouseAndDependantGroupsOpenOnTheirGates)
{
    set(295, "X"); // spouse, months left blank
    set(298, "");  // first dependant: letter "D"
    set(301, "12");
    set(303, "C");
    set(304, "X");
    set(305, "X"); // second dependant: "F", then "A" overrides
    set(306, "X");
    set(309, "6");
    set(311, "50");
    set(313, "X"); // third: all three boxes, "D" wins
    set(314, "X");
    set(315, "X");
    set(317, "3");
    set(325, "4"); // fourth: no box ticked
    set(329, "X"); // fifth: boxes ticked but no months, so the group is left out
    set(336, "X");
    set(361, "99.5");
    write();
    EXPECT_EQ(value("DB601001"), kFlag);
    EXPECT_EQ(value("DB601005"), kBlanks14 + "00");
    EXPECT_EQ(value("DB602001"), "D" + std::string(15, ' '));
    EXPECT_EQ(value("DB602005"), kBlanks14 + "12");
    EXPECT_EQ(value("DB602B07"), "C" + std::string(15, ' '));
    EXPECT_FALSE(has("DB602A07"));
    EXPECT_EQ(value("DB602008"), kFlag);
    EXPECT_EQ(value("DB603001"), "A" + std::string(15, ' '));
    EXPECT_EQ(value("DB603005"), kBlanks14 + "06");
    EXPECT_FALSE(has("DB603B07"));
    EXPECT_EQ(value("DB603A07"), "           50,00");
    EXPECT_EQ(value("DB604001"), "D" + std::string(15, ' '));
    EXPECT_EQ(value("DB605001"), "D" + std::string(15, ' '));
    for (const std::string code : {"DB606001", "DB606008", "DB606005"})
        EXPECT_FALSE(has(code)) << code;
    EXPECT_EQ(value("DB610001"), "           99,50");
    for (const auto& field : written)
        EXPECT_NE(field.first.substr(0, 5), "DB600") << field.first;
}

TEST_F(QuadriTest, TheLetterOfADependantDoesNotCarryOverFromAnEarlierOne)
{
    set(298, "X"); // first dependant "F"
    set(301, "1");
    set(337, "X"); // sixth dependant "F"
    set(341, "2");
    set(349, "1"); // seventh dependant: no box
    write();
    EXPECT_EQ(value("DB602001"), "F" + std::string(15, ' '));
    EXPECT_EQ(value("DB607001"), "F" + std::string(15, ' '));
    EXPECT_EQ(value("DB608001"), "D" + std::string(15, ' '));
}

TEST_F(QuadriTest, InpsMonthsAreAStringOfTwelveUnlessAllMonthsAreTicked)
{
    set(362, "123456789012");
    set(365, "2500.10");
    set(369, "X");
    set(380, "X");
    set(374, "x");
    set(385, ""); // separate scheme: months and kind of relationship even when blank
    set(381, "700");
    set2(101, "");
    set2(102, "");
    write();
    EXPECT_EQ(value("DC001001"), "      1234567890");
    EXPECT_FALSE(has("DC001007"));
    EXPECT_EQ(value("DC001008"), "    100000000001");
    EXPECT_EQ(value("DC001041"), "          700,00");
    EXPECT_EQ(value("DC001046"), "    000000000000");
    EXPECT_EQ(value("DC001047"), std::string(16, ' '));
    EXPECT_EQ(value("DC001048"), std::string(16, ' '));
    EXPECT_DOUBLE_EQ(totals[15], 2500.10);
    EXPECT_DOUBLE_EQ(totals[21], 700);

    Employee other;
    other.set(362, "1");
    other.set(368, "X");
    other.set(369, "X");
    other.set(381, "1");
    other.set(385, "X");
    other.set2(101, "AB");
    other.write();
    EXPECT_EQ(other.value("DC001007"), kFlag);
    EXPECT_EQ(other.value("DC001045"), kFlag);
    for (const std::string code : {"DC001008", "DC001046", "DC001047", "DC001048"})
        EXPECT_FALSE(other.has(code)) << code;
}

TEST_F(QuadriTest, InailFieldsNeedAnInsurancePosition)
{
    const auto fill = [](Employee& e) {
        e.set(440, "B");
        e.set(442, "1");
        e.set(443, " 3");
        e.set(444, "0");
        e.set(445, "12");
        e.set(446, "H501");
        e.set(447, "X");
        e.set(365, "100"); // INPS group closed: its total stays 0
    };
    fill(*this);
    write();
    EXPECT_TRUE(written.empty());
    EXPECT_EQ(totals[15], 0);

    Employee insured;
    fill(insured);
    insured.set(441, "12345678901");
    insured.write();
    EXPECT_EQ(insured.value("DC001071"), "B" + std::string(15, ' '));
    EXPECT_EQ(insured.value("DC001072"), "     12345678901");
    EXPECT_EQ(insured.value("DC001073"), std::string(12, ' ') + "0103");
    EXPECT_FALSE(insured.has("DC001074"));
    EXPECT_EQ(insured.value("DC001075"), "H501" + std::string(12, ' '));
    EXPECT_EQ(insured.value("DC001076"), kFlag);

    // A numeric municipality entry still needs a value above 0.
    Employee zero;
    fill(zero);
    zero.set(441, "1");
    zero.set(446, "0000");
    zero.write();
    EXPECT_FALSE(zero.has("DC001075"));
    EXPECT_TRUE(zero.has("DC001076"));
}

TEST_F(QuadriTest, SeverancePayGroupsAndTheCapOfGroupB)
{
    set(448, "1000");
    set(482, "5"); // group A: closed without its amount of entry 488
    set2(1, "300");
    set2(17, "1000");
    set2(18, "800");
    set2(22, "300");
    set2(55, " A");
    set2(57, "AB");
    set2(71, "25");
    write();
    EXPECT_EQ(value("DF001801"), "         1000,00");
    EXPECT_DOUBLE_EQ(totals[16], 1000);
    EXPECT_FALSE(has("DF001A35"));
    EXPECT_FALSE(has("DF001848"));
    EXPECT_EQ(fields.cu2[18], " 700");
    EXPECT_EQ(value("DF001862"), "          700,00");
    EXPECT_EQ(value("DF001B96"), "A" + std::string(15, ' '));
    EXPECT_FALSE(has("DF001B97"));
    EXPECT_DOUBLE_EQ(totals[20], 25);

    Employee over;
    over.set2(17, "1000");
    over.set2(18, "800");
    over.set2(22, "1200");
    over.set(488, "10");
    over.set(482, "5");
    over.write();
    EXPECT_EQ(over.fields.cu2[18], "-200");
    EXPECT_FALSE(over.has("DF001862"));
    EXPECT_EQ(over.value("DF001866"), "         1200,00");
    EXPECT_EQ(over.value("DF001A35"), std::string(15, ' ') + "5");

    Employee closed;
    closed.set2(18, "800");
    closed.set2(71, "25");
    closed.write();
    EXPECT_FALSE(closed.has("DF001862"));
    EXPECT_EQ(closed.totals[20], 0);
}

TEST_F(QuadriTest, CodesOfQuadroDnAreWrittenWhenTheyHaveTwoCharacters)
{
    set2(75, "7");
    set2(76, "07");
    set2(77, " 7");
    set2(93, "AB");
    write();
    EXPECT_FALSE(has("DN001001"));
    EXPECT_EQ(value("DN001002"), "07" + kBlanks14);
    EXPECT_FALSE(has("DN001003"));
    EXPECT_EQ(value("DN001019"), "AB" + kBlanks14);
    EXPECT_EQ(written.back().first, "DN001019");
}

// Fills every entry a field reads so that the field is written, as a fully filled
// certificate of the payroll program does.
void fillEverything(Employee& t)
{
    std::vector<FieldRow> rows;
    for (const auto table : {quadroDbRows(), dependantRows(), quadroDcRows(), quadroDfRows(), quadroDnRows()})
        rows.insert(rows.end(), table.begin(), table.end());
    for (const FieldRow& row : rows) {
        const int width = row.source.table == Table::Cu ? payroll::cuFieldSlot(row.source.entry).length
                                                         : payroll::secondCuFieldSlot(row.source.entry).length;
        std::string text;
        switch (row.form) {
        case Form::Amount:
        case Form::Whole:
            text = width >= 7 ? std::to_string(row.source.entry) + ".25" : width >= 3 ? "12" : "7";
            break;
        case Form::Flag:
        case Form::LetterFD:
        case Form::LetterFAD:
        case Form::LetterC:
            text = row.when == When::FirstIsC ? "C" : "X";
            break;
        case Form::Months:
            for (int month = 0; month < 12; ++month)
                t.set(row.source.entry + month, "X");
            continue;
        case Form::DayCount:
            text = "200";
            break;
        case Form::Trimmed:
        case Form::Entry:
        case Form::BlanksTrimmed:
            text = row.when == When::IsAOrBOrC || row.when == When::TrimmedIsAOrB ? "A"
                : row.when == When::TrimmedOne || width == 1                     ? "B"
                                                                                  : "AB";
            break;
        case Form::Text:
            text = "TEXT" + std::to_string(row.source.entry);
            break;
        default:
            text = std::string(static_cast<std::size_t>(width), '1');
            break;
        }
        if (row.form == Form::Entry && row.when == When::Positive)
            text = "1234";
        if (row.form == Form::PairedCodes)
            t.set(row.param, "3");
        if (row.source.table == Table::Cu)
            t.set(row.source.entry, text);
        else
            t.set2(row.source.entry, text);
    }
    t.set2(17, "999999"); // group B above its capped amount
}

TEST_F(QuadriTest, AFullyFilledCertificateIsWrittenInTheOrderOfTheFormOverSeveralRecordsG)
{
    fillEverything(*this);
    write();

    // The expected fields, code and value, in the order of the form: checked line by line
    // against the field lists of quadri DB, DC, DF and DN. Each amount shows the number of
    // the entry it comes from ("22,25" for CU 22), each text "TEXT" and its entry. Left out
    // by design: "C" and an amount exclude each other (the amount wins here), and a ticked
    // "all months" box replaces the month string and the kind of relationship (DB602B07 to
    // DB608B07, DC001008, DC001046 to DC001048).
    std::ifstream file(std::string(TELEMATIC_TEST_DATA) + "/full_certificate_fields.txt");
    std::vector<std::string> expected;
    for (std::string line; std::getline(file, line);)
        expected.push_back(line);
    ASSERT_EQ(expected.size(), 361u);
    std::vector<std::string> fieldsWritten;
    for (const auto& [code, text] : written)
        fieldsWritten.push_back(code + text);
    for (std::size_t k = 0; k < std::min(expected.size(), fieldsWritten.size()); ++k)
        ASSERT_EQ(fieldsWritten[k], expected[k]) << "field " << k + 1;
    ASSERT_EQ(fieldsWritten.size(), expected.size());

    // 361 fields: four full records of 75 and one of 61, all with the same certification.
    ASSERT_EQ(recordsG.size(), 5u);
    for (const std::string& record : recordsG) {
        EXPECT_EQ(record.substr(0, kPositionalLength), recordGPositional(writer.keys()));
        EXPECT_EQ(support::at(record, 42, 46), "00007");
    }
    EXPECT_EQ(support::fieldsOf(recordsG[0]).size(), 75u);
    EXPECT_EQ(support::fieldsOf(recordsG[4]).size(), 61u);
}

namespace {

// A random stored amount that fits in `width` characters less one: blanks, a plain
// number with up to three decimals or none, sometimes a sign or an exponent.
std::string randomAmountText(std::mt19937_64& random, int width)
{
    std::string number;
    switch (random() % 8) {
    case 0:
        return {};
    case 1:
        number = "0";
        break;
    default: {
        if (random() % 6 == 0)
            number.push_back(random() % 4 == 0 ? '+' : '-');
        const auto digits = 1 + random() % 9;
        for (std::size_t k = 0; k < digits; ++k)
            number.push_back(static_cast<char>('0' + random() % 10));
        const auto decimals = random() % 5;
        if (decimals > 0) {
            number.push_back('.');
            for (std::size_t k = 1; k < decimals; ++k)
                number.push_back(static_cast<char>('0' + random() % 10));
        }
        if (random() % 15 == 0)
            number += "E1";
        break;
    }
    }
    const auto room = static_cast<std::size_t>(std::max(width - 1, 0));
    number = number.substr(0, room);
    return std::string(random() % (room - number.size() + 1), ' ') + number;
}

// The same amount, read by the complete reading instead of as whole cents: a blank after
// its first character, which the number skips.
std::string withInnerBlank(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos || first + 1 >= text.size() || text[first + 1] == ' ')
        return text;
    return text.substr(0, first + 1) + " " + text.substr(first + 1);
}

} // namespace

TEST(QuadriAmounts, AmountsReadAsCentsGiveTheSameRecordsAndTotalsAsTheCompleteReading)
{
    std::vector<FieldRow> rows;
    for (const auto table : {quadroDbRows(), dependantRows(), quadroDcRows(), quadroDfRows(), quadroDnRows()})
        rows.insert(rows.end(), table.begin(), table.end());
    std::mt19937_64 random(2017);
    int compared = 0;
    for (int employee = 0; employee < 40; ++employee) {
        Employee asCents;
        Employee asRead; // the same entries, viewed in the record as the run reads it
        Employee complete;
        fillEverything(asCents);
        fillEverything(asRead);
        fillEverything(complete);
        for (const FieldRow& row : rows) {
            if (!(row.form == Form::Amount || row.form == Form::Whole) || row.when != When::Positive)
                continue;
            const bool first = row.source.table == Table::Cu;
            const int width = first ? payroll::cuFieldSlot(row.source.entry).length
                                    : payroll::secondCuFieldSlot(row.source.entry).length;
            const std::string text = randomAmountText(random, width);
            const std::string other = withInnerBlank(text);
            std::int64_t cents = 0;
            if (records::plainCents(records::fitRight(text, width), cents)
                && !records::plainCents(records::fitRight(other, width), cents))
                ++compared;
            if (first) {
                asCents.set(row.source.entry, text);
                asRead.set(row.source.entry, text);
                complete.set(row.source.entry, other);
            } else {
                asCents.set2(row.source.entry, text);
                asRead.set2(row.source.entry, text);
                complete.set2(row.source.entry, other);
            }
        }
        asCents.write();
        asRead.write(true);
        complete.write();
        ASSERT_EQ(asCents.recordsG, complete.recordsG) << "employee " << employee;
        ASSERT_EQ(asRead.recordsG, complete.recordsG) << "employee " << employee;
        for (std::size_t slot = 0; slot < asCents.totals.size(); ++slot) {
            ASSERT_EQ(std::bit_cast<std::uint64_t>(asCents.totals[slot]),
                      std::bit_cast<std::uint64_t>(complete.totals[slot]))
                << "employee " << employee << ", total " << slot;
            ASSERT_EQ(std::bit_cast<std::uint64_t>(asRead.totals[slot]),
                      std::bit_cast<std::uint64_t>(complete.totals[slot]))
                << "employee " << employee << ", total " << slot << " as read";
        }
    }
    EXPECT_GT(compared, 2000);
}

