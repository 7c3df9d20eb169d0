#include <gtest/gtest.h>

#include <stdexcept>

#include "registers/tax_codes.h"

using namespace registers;

// The check letters below were worked out by hand from the odd and even position values.
TEST(FiscalCodeCheckLetter, MatchesCodesWorkedOutByHand)
{
    // R8 S18 S12 M12 R8 A0 8:19 5:5 T14 1:1 0:1 A0 5:13 6:6 2:5 = 122, 122 mod 26 = 18 -> S
    EXPECT_EQ(fiscalCodeCheckLetter("RSSMRA85T10A562"), 'S');
    // B0 N13 C5 L11 R8 A0 9:21 0:0 C5 5:5 2:5 F5 2:5 0:0 5:13 = 96 -> 18 -> S
    EXPECT_EQ(fiscalCodeCheckLetter("BNCLRA90C52F205"), 'S');
    // S12 P15 S12 F5 N20 C2 8:19 0:0 A1 4:4 1:0 F5 8:19 3:3 9:21 = 138 -> 8 -> I
    EXPECT_EQ(fiscalCodeCheckLetter("SPSFNC80A41F839"), 'I');
    // F13 O14 X25 G6 U16 O14 0:1 5:5 E9 0:0 5:13 H7 5:13 0:0 1:0 = 136 -> 6 -> G
    EXPECT_EQ(fiscalCodeCheckLetter("FOXGUO05E05H501"), 'G');
}

TEST(FiscalCodeCheckLetter, OddDigitsCountByTheirOwnTable)
{
    // A digit at position 1 followed by 14 "A"s: the seven odd "A"s add 1 each, the seven
    // even ones 0, so the letter shows the digit's odd-position value.
    const int oddDigitValue[] = {1, 0, 5, 7, 9, 13, 15, 17, 19, 21};
    for (int d = 0; d <= 9; ++d) {
        std::string code(15, 'A');
        code[0] = static_cast<char>('0' + d);
        EXPECT_EQ(fiscalCodeCheckLetter(code), static_cast<char>('A' + (oddDigitValue[d] + 7) % 26)) << d;
    }
}

TEST(ValidFiscalCode, RejectsWrongLetterLengthAndLowerCase)
{
    EXPECT_TRUE(isValidFiscalCode("RSSMRA85T10A562S"));
    EXPECT_FALSE(isValidFiscalCode("RSSMRA85T10A562T"));
    EXPECT_FALSE(isValidFiscalCode("RSSMRA85T10A562"));
    EXPECT_FALSE(isValidFiscalCode("rssmra85t10a562s"));
    EXPECT_FALSE(isValidFiscalCode("RSSMRA85T10A562S "));
}

TEST(VatCheckDigit, MatchesNumbersWorkedOutByHand)
{
    // odd 0+2+4+6+8 = 20, even 2+6+1+5+9 = 23, 43 -> 7
    EXPECT_EQ(vatCheckDigit("0123456789"), '7');
    // odd 1+3+5+7+9 = 25, even 4+8+3+7+0 = 22, 47 -> 3
    EXPECT_EQ(vatCheckDigit("1234567890"), '3');
    // a sum that is already a multiple of 10 gives 0, not 10
    EXPECT_EQ(vatCheckDigit("0000000000"), '0');
    EXPECT_TRUE(isValidVatNumber("01234567897"));
    EXPECT_FALSE(isValidVatNumber("01234567890"));
    EXPECT_FALSE(isValidVatNumber("0123456789"));
    EXPECT_FALSE(isValidVatNumber("0123456789A"));
}

TEST(FiscalCode, BuildsCodesOfMenAndWomen)
{
    EXPECT_EQ(fiscalCode("Rossi", "Mario", 'M', 10, 12, 1985, "A562"), "RSSMRA85T10A562S");
    // a woman's day is raised by 40
    EXPECT_EQ(fiscalCode("BIANCHI", "LAURA", 'F', 12, 3, 1990, "F205"), "BNCLRA90C52F205S");
}

TEST(FiscalCode, NameWithMoreThanThreeConsonantsSkipsTheSecond)
{
    // FRaNCeSCa: F, N, C (the R is left out); the surname takes its first three consonants
    EXPECT_EQ(fiscalCode("ESPOSITO", "FRANCESCA", 'F', 1, 1, 1980, "F839"), "SPSFNC80A41F839I");
    // exactly three consonants: all three, in order
    EXPECT_EQ(fiscalCode("ROSSI", "CARLO", 'M', 1, 1, 1980, "F839").substr(3, 3), "CRL");
}

TEST(FiscalCode, ShortNamesTakeVowelsThenX)
{
    EXPECT_EQ(fiscalCode("FO", "UGO", 'M', 5, 5, 2005, "H501"), "FOXGUO05E05H501G");
    EXPECT_EQ(fiscalCode("RE", "IA", 'F', 5, 5, 2005, "H501").substr(0, 6), "REXIAX");
}

TEST(FiscalCode, IgnoresBlanksApostrophesCaseAndAccents)
{
    const std::string plain = fiscalCode("DALO", "NICOLO", 'M', 7, 7, 1977, "D612");
    EXPECT_EQ(plain.substr(0, 6), "DLANCL");
    EXPECT_EQ(fiscalCode("d'Al\xF2", "Nicol\xD2", 'M', 7, 7, 1977, "D612"), plain);
    EXPECT_EQ(fiscalCode("DE ROSA", "SALVATORE", 'M', 5, 3, 1975, "F839").substr(0, 6), "DRSSVT");
}

TEST(FiscalCode, EveryMonthHasItsLetter)
{
    const std::string letters = "ABCDEHLMPRST";
    for (int month = 1; month <= 12; ++month) {
        const std::string code = fiscalCode("VERDI", "ANNA", 'F', 31, month, 2001, "L219");
        EXPECT_EQ(code[8], letters[static_cast<std::size_t>(month - 1)]);
        EXPECT_EQ(code.substr(6, 2), "01");
        EXPECT_EQ(code.substr(9, 2), "71");
        EXPECT_TRUE(isValidFiscalCode(code)) << code;
    }
}

TEST(FiscalCode, RefusesImpossibleBirthData)
{
    EXPECT_THROW(fiscalCode("VERDI", "ANNA", 'F', 1, 13, 2001, "L219"), std::invalid_argument);
    EXPECT_THROW(fiscalCode("VERDI", "ANNA", 'F', 0, 1, 2001, "L219"), std::invalid_argument);
    EXPECT_THROW(fiscalCode("VERDI", "ANNA", 'X', 1, 1, 2001, "L219"), std::invalid_argument);
    EXPECT_THROW(fiscalCode("VERDI", "ANNA", 'F', 1, 1, 2001, "L21"), std::invalid_argument);
}
