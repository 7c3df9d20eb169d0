#include "payroll/tax_codes.h"

#include <stdexcept>
#include "records/text.h"

namespace payroll {

namespace {

using records::isDigit;

constexpr std::string_view kOddTable = "BAKPLCQDREVOSFTGUHMINJWZYX";
constexpr std::string_view kVowels = "AEIOU";

// The plain upper-case letter of a Windows-1252 letter, accented or not; 0 for anything
// that is not a letter. The registry office writes "NICOLO'" and "NICOLÒ" alike.
char plainLetter(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 'a' && byte <= 'z')
        return static_cast<char>(byte - 'a' + 'A');
    if (byte >= 'A' && byte <= 'Z')
        return c;
    if (byte == 0xFF)
        return 'Y';
    if (byte == 0x9A)
        return 'S';
    if (byte == 0x9E)
        return 'Z';
    if (byte >= 0xE0 && byte != 0xF7) // the lower-case accented letters sit 0x20 above the capitals
        return plainLetter(static_cast<char>(byte - 0x20));
    if (byte >= 0xC0 && byte <= 0xC5)
        return 'A';
    if (byte == 0xC7)
        return 'C';
    if (byte >= 0xC8 && byte <= 0xCB)
        return 'E';
    if (byte >= 0xCC && byte <= 0xCF)
        return 'I';
    if (byte == 0xD1)
        return 'N';
    if ((byte >= 0xD2 && byte <= 0xD6) || byte == 0xD8)
        return 'O';
    if (byte >= 0xD9 && byte <= 0xDC)
        return 'U';
    if (byte == 0xDD || byte == 0x9F)
        return 'Y';
    if (byte == 0x8A)
        return 'S';
    if (byte == 0x8E)
        return 'Z';
    return 0;
}

void splitLetters(std::string_view text, std::string& consonants, std::string& vowels)
{
    for (const char c : text) {
        const char letter = plainLetter(c);
        if (letter == 0)
            continue;
        (kVowels.find(letter) == std::string_view::npos ? consonants : vowels) += letter;
    }
}

std::string threeLetters(const std::string& consonants, const std::string& vowels)
{
    std::string result = (consonants + vowels).substr(0, 3);
    result.resize(3, 'X');
    return result;
}

std::string twoDigits(int value)
{
    return std::string{static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
}

} // namespace

char fiscalCodeCheckLetter(std::string_view first15)
{
    int sum = 0;
    for (std::size_t i = 0; i < first15.size() && i < 15; ++i) {
        const char c = first15[i];
        if (i % 2 == 0) { // positions 1, 3, ..., 15
            const auto inTable = kOddTable.find(c);
            if (inTable != std::string_view::npos) {
                sum += static_cast<int>(inTable);
            } else {
                const int v = isDigit(c) ? c - '0' : 0;
                sum += 2 * v + 1 + (v > 4 ? 2 : 0) - (v == 1 ? 3 : 0);
            }
        } else {
            sum += isDigit(c) ? c - '0' : static_cast<unsigned char>(c) - 65;
        }
    }
    // A character below "A" at an even position can make the sum negative; the check letter
    // is still a letter.
    return static_cast<char>('A' + ((sum % 26) + 26) % 26);
}

char vatCheckDigit(std::string_view first10)
{
    int sum = 0;
    for (std::size_t i = 0; i < first10.size() && i < 10; ++i) {
        const int digit = isDigit(first10[i]) ? first10[i] - '0' : 0;
        if (i % 2 == 0) {
            sum += digit;
        } else {
            const int doubled = 2 * digit;
            sum += doubled > 9 ? doubled - 9 : doubled;
        }
    }
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

bool isValidFiscalCode(std::string_view code)
{
    return code.size() == 16 && code[15] == fiscalCodeCheckLetter(code.substr(0, 15));
}

bool isValidVatNumber(std::string_view code)
{
    if (code.size() != 11)
        return false;
    for (const char c : code) {
        if (!isDigit(c))
            return false;
    }
    return code[10] == vatCheckDigit(code.substr(0, 10));
}

std::string fiscalCode(std::string_view surname, std::string_view name, char sex, int day, int month, int year,
                       std::string_view municipalityCode)
{
    if (month < 1 || month > 12 || day < 1 || day > 31 || year < 0)
        throw std::invalid_argument("fiscalCode: birth date out of range");
    if (sex != 'M' && sex != 'F')
        throw std::invalid_argument("fiscalCode: sex must be M or F");
    if (municipalityCode.size() != 4)
        throw std::invalid_argument("fiscalCode: municipality code must have 4 characters");

    std::string consonants, vowels;
    splitLetters(surname, consonants, vowels);
    std::string code = threeLetters(consonants, vowels);

    consonants.clear();
    vowels.clear();
    splitLetters(name, consonants, vowels);
    if (consonants.size() > 3)
        code += std::string{consonants[0], consonants[2], consonants[3]};
    else
        code += threeLetters(consonants, vowels);

    code += twoDigits(year % 100);
    code += payroll::kFiscalCodeMonthLetters[static_cast<std::size_t>(month - 1)];
    code += twoDigits(sex == 'F' ? day + 40 : day);
    code += municipalityCode;
    code += fiscalCodeCheckLetter(code);
    return code;
}

} // namespace payroll
