#include <gtest/gtest.h>

#include <filesystem>

#include "records/host_paths.h"
#include "records/installation.h"
#include "records/text.h"
#include "registers/identity_checks.h"
#include "registers/questions.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_root.h"

using namespace registers;
using records::testing::ScriptedPrompter;
using records::testing::TempRoot;

namespace {

const std::string kFormally = "Codice FORMALMENTE errato";

struct Case {
    const char* text;
    CheckResult::Outcome outcome;
    const char* message;
};

constexpr auto NotChecked = CheckResult::Outcome::NotChecked;
constexpr auto Passed = CheckResult::Outcome::Passed;
constexpr auto Failed = CheckResult::Outcome::Failed;

void expectCases(CheckResult (*check)(std::string_view), const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        const CheckResult result = check(c.text);
        EXPECT_EQ(result.outcome, c.outcome) << '"' << c.text << '"';
        EXPECT_EQ(result.message, c.message) << '"' << c.text << '"';
    }
}

} // namespace

TEST(CheckVatNumber, DigitsAtOddAndEvenPlacesAndEveryWayToFail)
{
    expectCases(checkVatNumber, {
        {"0          ", NotChecked, ""},
        // odd 0+6+3+2+5 = 16; even 7->14->5, 4->8, 5->10->1, 0, 6->12->3 = 17; 33 -> 7
        {"07643520567", Passed, ""},
        {"07643520560", Failed, "Codice errato: il cin e'    7"},
        // odd 1+3+5+7+9 = 25, even 4+8+3+7+0 = 22, 47 -> 3
        {"12345678903", Passed, ""},
        {"12345678909", Failed, "Codice errato: il cin e'    3"},
        // a sum that is a multiple of 10 asks for 0, not 10
        {"00000000000", Passed, ""},
        {"19000000000", Passed, ""}, // 1 + (9*2-9) = 10
        {"19000000001", Failed, "Codice errato: il cin e'    0"},
        // fewer than eleven characters in the first eleven places
        {"0764352056 ", Failed, kFormally.c_str()},
        {"07643 20567", Failed, kFormally.c_str()},
        {"0764352056", Failed, kFormally.c_str()},
        {"           ", Failed, kFormally.c_str()},
        {"0         0", Failed, kFormally.c_str()},
        // letters are no digits, even where they would add up to a right check digit
        {"ABCDEFGHIJ0", Failed, kFormally.c_str()},
        {"0764352056A", Failed, kFormally.c_str()},
        // only the first eleven places count
        {"07643520567     ", Passed, ""},
    });
}

TEST(CheckFiscalCode, LettersAndDigitsAtOddAndEvenPlacesAndEveryWayToFail)
{
    expectCases(checkFiscalCode, {
        {"0               ", NotChecked, ""},
        {"RSSMRA85T10A562S", Passed, ""},
        {"RSSMRA85T10A562T", Failed, "Codice errato: il cin e'   S"},
        {"BNCLRA90C52F205S", Passed, ""},
        {"FOXGUO05E05H501A", Failed, "Codice errato: il cin e'   G"},
        // fewer than sixteen characters in the first sixteen places
        {"RSSMRA85 10A562S", Failed, kFormally.c_str()},
        {"RSSMRA85T10A562", Failed, kFormally.c_str()},
        {" RSSMRA85T10A562S", Failed, kFormally.c_str()},
        {"                ", Failed, kFormally.c_str()},
        {"0              X", Failed, kFormally.c_str()},
        // the check counts upper-case letters and digits only
        {"rssmra85t10a562s", Failed, kFormally.c_str()},
        {"RSSMRA85T10A562-", Failed, kFormally.c_str()},
        {"RSSMRA85T10A5.2S", Failed, kFormally.c_str()},
        {"RSSMRA85T10A562S  ", Passed, ""},
        // digits at even places count their value, letters from A = 0: 1 + 0 + 7 "A"s -> I,
        // 1 + 9 + 7 -> R, 1 + 25 + 7 = 33 -> H
        {"A0AAAAAAAAAAAAAI", Passed, ""},
        {"A9AAAAAAAAAAAAAR", Passed, ""},
        {"AZAAAAAAAAAAAAAH", Passed, ""},
    });
}

TEST(CheckDate, MonthLengthsAndGregorianLeapYears)
{
    const char* wrong = "La data inserita e' errata";
    expectCases(checkDate, {
        {"29022016", Passed, ""},
        {"29022015", Failed, wrong},
        {"29021900", Failed, wrong}, // a century is a leap year only when divisible by 400
        {"29022000", Passed, ""},
        {"28021900", Passed, ""},
        {"31012016", Passed, ""},
        {"32012016", Failed, wrong},
        {"30042016", Passed, ""},
        {"31042016", Failed, wrong},
        {"31122016", Passed, ""},
        {"00012016", Failed, wrong},
        {"01002016", Failed, wrong},
        {"01132016", Failed, wrong},
        {"0103201", Failed, wrong},
        {"010320161", Failed, wrong},
        {"        ", Failed, wrong},
        // eight digits, nothing else
        {"1 032016", Failed, wrong},
        {"01.32016", Failed, wrong},
        {"0103 016", Failed, wrong},
    });
}

TEST(BirthDataOf, DayMonthYearAndSex)
{
    struct Row {
        const char* code;
        const char* date;
        const char* sex;
    };
    for (const Row& row : std::vector<Row>{
             {"BNCLRA90C52F205S", "12031990", "F"}, // day 52: a woman born on the 12th
             {"FOXGUO05E05H501G", "05052005", "M"}, // year digits 05: 2005
             {"RSSMRA10A01H501X", "01011910", "M"}, // year digits 10: 1910
             {"RSSMRA09T31H501X", "31122009", "M"},
             {"RSSMRA80H41H501X", "01061980", "F"},
             {"RSSMRA80Z01H501X", "01001980", "M"}, // no month letter: month 00
         }) {
        const BirthData data = birthDataOf(row.code);
        EXPECT_EQ(data.date, row.date) << row.code;
        EXPECT_EQ(data.sex, row.sex) << row.code;
    }
}

namespace {

std::string municipality(char status, const std::string& code, const std::string& name, const std::string& province,
                         const std::string& postcode)
{
    return records::fitRight(std::string(1, status) + code + "     " + records::fitRight(name, 24) + province + postcode,
                             200);
}

// The files this process has open.
std::size_t openDescriptors()
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

struct IdentityChecksTest : ::testing::Test {
    TempRoot root;
    records::PathMapper paths{root.path()};
    ScriptedPrompter prompter;
    records::Installation installation{"D:", "D:\\nolv\\nv770\\2016\\dati\\", "2016"};
    IdentityChecks checks{paths, installation, prompter};

    void writeTable()
    {
        root.write("d/tabcom/comuni.dat", municipality('$', "H501", "ROMA", "RM", "00100")
                                              + municipality(' ', "F205", "MILANO VECCHIA", "XX", "99999")
                                              + municipality('$', "F205", "MILANO", "MI", "20100") + "$F205");
    }
};

} // namespace

TEST_F(IdentityChecksTest, ChecksShowTheirMessageAndSetTheFlag)
{
    checks.lastCheckFailed = true;
    checks.checkVatNumber("0          ");
    checks.checkFiscalCode("0               ");
    EXPECT_EQ(checks.lastCheckFailed, true); // "no code" leaves the flag alone
    EXPECT_TRUE(prompter.shown.empty());

    checks.checkFiscalCode("RSSMRA85T10A562S");
    EXPECT_EQ(checks.lastCheckFailed, false);
    checks.checkVatNumber("07643520560");
    EXPECT_EQ(checks.lastCheckFailed, true);
    checks.checkDate("29022016");
    EXPECT_EQ(checks.lastCheckFailed, false);
    checks.checkDate("29021900");
    EXPECT_EQ(checks.lastCheckFailed, true);

    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[0].text, "Partita IVA: la partita IVA non e' corretta. Con le prime dieci cifre indicate, "
                                      "l'ultima (la cifra di controllo) dovrebbe essere 7.");
    EXPECT_EQ(prompter.shown[0].title, "Controllo dei dati");
    EXPECT_EQ(prompter.shown[0].icon, records::Icon::Warning);
    EXPECT_EQ(prompter.shown[1].text, "Data: la data non esiste. Indicare giorno, mese e anno di una data del "
                                      "calendario (es. 30 05 1992).");
}

// The windows' words for each way a code can be wrong: the field, what is wrong, and the
// check character that a code of the right form should end with.
TEST_F(IdentityChecksTest, EachFailureIsToldInPlainWordsNamingTheFieldAndTheCheckCharacter)
{
    const struct {
        const char* field;
        CodeKind kind;
        const char* text;
        const char* message;
    } cases[] = {
        {"Partita IVA", CodeKind::VatNumber, "12345678909",
         "Partita IVA: la partita IVA non e' corretta. Con le prime dieci cifre indicate, l'ultima (la cifra di "
         "controllo) dovrebbe essere 3."},
        {"Partita IVA", CodeKind::VatNumber, "1234567890A",
         "Partita IVA: la partita IVA deve avere 11 cifre, senza lettere ne' spazi."},
        {"Codice fiscale", CodeKind::FiscalCode, "RSSMRA85T10A562T",
         "Codice fiscale: il codice fiscale non e' corretto. Con i primi quindici caratteri indicati, l'ultimo (il "
         "carattere di controllo) dovrebbe essere S."},
        {"Codice fiscale", CodeKind::FiscalCode, "RSSMRA85T10A562",
         "Codice fiscale: il codice fiscale deve avere 16 caratteri, lettere maiuscole e cifre, senza spazi."},
        {"Data di nascita", CodeKind::Date, "31042016",
         "Data di nascita: la data non esiste. Indicare giorno, mese e anno di una data del calendario (es. 30 05 "
         "1992)."},
    };
    for (const auto& c : cases) {
        const CheckResult result = c.kind == CodeKind::VatNumber ? checkVatNumber(c.text)
            : c.kind == CodeKind::FiscalCode                     ? checkFiscalCode(c.text)
                                                                 : checkDate(c.text);
        ASSERT_TRUE(result.failed()) << c.text;
        EXPECT_EQ(checkMessage(c.field, c.kind, result), c.message) << c.text;
    }
}

TEST_F(IdentityChecksTest, ConfirmChangeAsksAndGivesTheAnswer)
{
    prompter.answer(true);
    prompter.answer(false);
    EXPECT_TRUE(confirmChange(prompter));
    EXPECT_FALSE(confirmChange(prompter));
    const auto& asked = prompter.shown.at(0);
    EXPECT_TRUE(asked.question);
    EXPECT_EQ(asked.asked, registers::kConfirmChange);
    EXPECT_EQ(asked.title, "Modifica dei dati");
    EXPECT_EQ(asked.text, "Conferma ");
    EXPECT_EQ(asked.icon, records::Icon::Question);
}

TEST_F(IdentityChecksTest, BirthDataOfAWomanFromTheFirstRecordInUse)
{
    writeTable();
    const auto before = openDescriptors();

    std::string text = "BNCLRA90C52F205S";
    ASSERT_TRUE(checks.birthDataFromFiscalCode(text));
    EXPECT_EQ(text, "12031990");
    EXPECT_EQ(checks.sex, "F");
    EXPECT_EQ(checks.birthMunicipality, "MILANO                  ");
    EXPECT_EQ(checks.birthProvince, "MI");
    EXPECT_EQ(checks.birthPostcode, "20100");
    // The table is closed again: a window that looks up many codes keeps no file open.
    EXPECT_EQ(openDescriptors(), before);
    EXPECT_TRUE(prompter.shown.empty()) << prompter.texts().at(0); // the short tail is not read
}

TEST_F(IdentityChecksTest, NoMunicipalityLeavesTextAndValuesAloneAndAMissingTableIsNotCreated)
{
    checks.sex = "M";
    checks.birthMunicipality = "ROMA";
    std::string text = "BNCLRA90C52F205S";
    EXPECT_FALSE(checks.birthDataFromFiscalCode(text));
    EXPECT_FALSE(std::filesystem::exists(root.path() / "d/tabcom/comuni.dat"));

    writeTable();
    text = "RSSMRA85T10A562S";
    EXPECT_FALSE(checks.birthDataFromFiscalCode(text));
    EXPECT_EQ(text, "RSSMRA85T10A562S");
    EXPECT_EQ(checks.sex, "M");
    EXPECT_EQ(checks.birthMunicipality, "ROMA");
    EXPECT_TRUE(prompter.shown.empty());
}
