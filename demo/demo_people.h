#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "demo/record_builders.h"

// The people, employers and places of the demo, which its CU archives and its UniEmens months
// share: the same employees appear in an employer's certifications and in its declarations.
namespace demo {

// The municipalities of the demo: the table "\tabcom\comuni.dat" holds them, and addresses and
// birth places name them.
const std::vector<Municipality>& municipalities();
// The municipality of a code of the table; throws std::invalid_argument for any other code.
const Municipality& municipality(std::string_view code);
// The bytes of the municipality table.
std::string municipalityFile();

struct Person {
    const char* surname;
    const char* name;
    char sex;
    int day;
    int month;
    int year;
    const char* birthPlace; // municipality code
};

std::string fiscalCodeOf(const Person& p);
// ddmmyyyy, as the CU archive keeps dates.
std::string birthDate(const Person& p);
// A company's VAT number from the seven digits of its number and the three of its tax office.
std::string vatNumber(std::string_view number, std::string_view office);
// An amount rounded to cents.
double cents(double amount);

// Payroll consultants who send for their clients.
inline constexpr Person kFerrero{"FERRERO", "GIORGIO", 'M', 22, 6, 1962, "L219"};
inline constexpr Person kDeLuca{"DE LUCA", "ANNA", 'F', 9, 9, 1971, "F839"};
inline const std::string kFerreroOffice = vatNumber("0766543", "001");
inline const std::string kDeLucaOffice = vatNumber("0612345", "063");

// Archive 1 and company 001: a building firm in Turin.
inline constexpr Person kRossiAlberto{"ROSSI", "ALBERTO", 'M', 8, 9, 1958, "L219"};
inline constexpr Person kFerrari{"FERRARI", "LUCA", 'M', 14, 5, 1978, "L219"};
inline constexpr Person kRomano{"ROMANO", "GIUSEPPE", 'M', 2, 11, 1969, "G273"};
inline constexpr Person kColombo{"COLOMBO", "ANDREA", 'M', 23, 7, 1985, "F205"};
inline constexpr Person kRicci{"RICCI", "ELENA", 'F', 30, 1, 1992, "L219"};
inline const std::string kEdiliziaRossi = vatNumber("0853421", "001");
inline constexpr const char* kEdiliziaRossiInps = "8112345678";
inline constexpr const char* kEdiliziaRossiInail = "00019283746";

// Archive 2: a bar in Milan run by its owner.
inline constexpr Person kBianchi{"BIANCHI", "MARIO", 'M', 19, 4, 1966, "F205"};
inline constexpr Person kGallo{"GALLO", "FRANCESCA", 'F', 11, 12, 1994, "A794"};
inline constexpr Person kConti{"CONTI", "MARCO", 'M', 27, 6, 1988, "F704"};
inline constexpr const char* kBarBianchiInps = "4954321098";

// Archive 7 and company 002: a bakery in Naples.
inline constexpr Person kEspositoGennaro{"ESPOSITO", "GENNARO", 'M', 12, 12, 1960, "F839"};
inline constexpr Person kDeRosa{"DE ROSA", "SALVATORE", 'M', 5, 3, 1975, "F839"};
inline constexpr Person kCapasso{"CAPASSO", "TERESA", 'F', 14, 4, 1979, "F839"};
inline constexpr Person kDeRosaGiovanni{"DE ROSA", "GIOVANNI", 'M', 3, 10, 2008, "F839"};
inline constexpr Person kDeRosaSofia{"DE ROSA", "SOFIA", 'F', 22, 5, 2014, "F839"};
inline constexpr Person kRusso{"RUSSO", "ANNA", 'F', 17, 8, 1983, "B963"};
inline constexpr Person kMarino{"MARINO", "CIRO", 'M', 21, 1, 1997, "H703"};
inline const std::string kPanificio = vatNumber("0531278", "063");
inline constexpr const char* kPanificioInps = "5123987654";
inline constexpr const char* kPanificioInail = "00047116552";

// Company 005: a training centre in Bologna with collaborators only.
inline constexpr Person kLombardi{"LOMBARDI", "PAOLO", 'M', 3, 2, 1971, "A944"};
inline constexpr Person kCannavo{"CANNAV\xD2", "GIULIA", 'F', 25, 10, 1986, "C351"};
inline constexpr Person kGreco{"GRECO", "MATTEO", 'M', 16, 6, 1990, "D612"};
inline const std::string kAurora = vatNumber("0298765", "037");

} // namespace demo
