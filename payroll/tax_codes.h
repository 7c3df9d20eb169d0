#pragma once

#include <string>
#include <string_view>

// The Italian identification codes that payroll data carry, and that the registers and the
// check of the files for the authorities verify: the personal fiscal code (codice fiscale,
// 16 characters) and the VAT number (partita IVA, 11 digits). Texts are Windows-1252 bytes.
namespace payroll {

// The letters that stand for the months January to December in a personal fiscal code
// (its 9th character).
inline constexpr std::string_view kFiscalCodeMonthLetters = "ABCDEHLMPRST";

// The check letter (16th character) of a personal fiscal code from its first 15 characters.
// Characters at odd positions count by the table "BAKPLCQDREVOSFTGUHMINJWZYX" (B = 0 ... X = 25)
// when they are one of its letters, else as digits (0 -> 1, 1 -> 0, 2 -> 5, ... 9 -> 21;
// any other character counts as the digit 0); characters at even positions count as their
// digit, or as their character code minus 65 (A = 0 ... Z = 25). The letter is A plus the
// sum modulo 26. Upper-case letters are expected; a text shorter than 15 characters is
// counted as far as it goes.
char fiscalCodeCheckLetter(std::string_view first15);

// The check digit (11th character) of a VAT number from its first 10 digits: the digits at
// odd positions are added, those at even positions are doubled (minus 9 when the double
// exceeds 9) and added, and the check digit is what brings the sum to a multiple of 10.
// A character that is not a digit counts as 0.
char vatCheckDigit(std::string_view first10);

// True when `code` is 16 characters long and its last character is the check letter of the
// first 15.
bool isValidFiscalCode(std::string_view code);
// True when `code` is 11 digits and its last digit is the check digit of the first 10.
bool isValidVatNumber(std::string_view code);

// The fiscal code of a person born in Italy:
// - three letters of the surname: its consonants, then its vowels, then "X" up to three;
// - three letters of the name: the first, third and fourth consonant when it has more than
//   three, else as for the surname;
// - the last two digits of the birth year, the month letter (A B C D E H L M P R S T for
//   January to December), the day in two digits, plus 40 for women (`sex` 'F');
// - the four-character code of the birth municipality and the check letter.
// Letters are taken in upper case; accented letters count as their plain letter; blanks,
// apostrophes and other characters of the names are left out.
std::string fiscalCode(std::string_view surname, std::string_view name, char sex, int day, int month, int year,
                       std::string_view municipalityCode);

} // namespace payroll
