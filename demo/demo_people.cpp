#include "demo/demo_people.h"

#include <cmath>
#include <stdexcept>

#include "records/text.h"
#include "registers/tax_codes.h"

namespace demo {

namespace {

std::string twoDigits(int value)
{
    return records::padLeft(std::to_string(value), 2, '0');
}

} // namespace

const std::vector<Municipality>& municipalities()
{
    static const std::vector<Municipality> table = {
        {"A271", "ANCONA", "AN", "60121"},   {"A345", "L'AQUILA", "AQ", "67100"},
        {"A662", "BARI", "BA", "70121"},     {"A794", "BERGAMO", "BG", "24121"},
        {"A944", "BOLOGNA", "BO", "40121"},  {"B157", "BRESCIA", "BS", "25121"},
        {"B354", "CAGLIARI", "CA", "09121"}, {"B963", "CASERTA", "CE", "81100"},
        {"C351", "CATANIA", "CT", "95121"},  {"D612", "FIRENZE", "FI", "50121"},
        {"D969", "GENOVA", "GE", "16121"},   {"F205", "MILANO", "MI", "20121"},
        {"F704", "MONZA", "MB", "20900"},    {"F839", "NAPOLI", "NA", "80121"},
        {"G224", "PADOVA", "PD", "35121"},   {"G273", "PALERMO", "PA", "90121"},
        {"G478", "PERUGIA", "PG", "06121"},  {"H224", "REGGIO DI CALABRIA", "RC", "89121"},
        {"H501", "ROMA", "RM", "00118"},     {"H703", "SALERNO", "SA", "84121"},
        {"L219", "TORINO", "TO", "10121"},   {"L424", "TRIESTE", "TS", "34121"},
        {"L736", "VENEZIA", "VE", "30121"},  {"L781", "VERONA", "VR", "37121"},
    };
    return table;
}

const Municipality& municipality(std::string_view code)
{
    for (const Municipality& m : municipalities()) {
        if (m.code == code)
            return m;
    }
    throw std::invalid_argument("municipality " + std::string(code) + " is not in the demo table");
}

std::string municipalityFile()
{
    std::string bytes;
    for (const Municipality& m : municipalities()) {
        // Monza belonged to the province of Milan until 2009: the table still holds that row,
        // no longer in use, right before the current one.
        if (m.code == "F704")
            bytes += municipalityRecord({"F704", "MONZA", "MI", "20052"}, ' ');
        bytes += municipalityRecord(m);
    }
    return bytes;
}

std::string fiscalCodeOf(const Person& p)
{
    return registers::fiscalCode(p.surname, p.name, p.sex, p.day, p.month, p.year, p.birthPlace);
}

std::string birthDate(const Person& p)
{
    return twoDigits(p.day) + twoDigits(p.month) + std::to_string(p.year);
}

std::string vatNumber(std::string_view number, std::string_view office)
{
    const std::string first10 = std::string(number) + std::string(office);
    return first10 + registers::vatCheckDigit(first10);
}

double cents(double amount)
{
    return std::round(amount * 100.0) / 100.0;
}

} // namespace demo
