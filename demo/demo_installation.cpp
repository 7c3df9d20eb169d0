#include "demo/demo_installation.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

#include "demo/register_demo.h"
#include "payroll/cu_header.h"
#include "records/channels.h"
#include "records/host_paths.h"
#include "records/installation.h"
#include "records/output_file.h"
#include "records/text.h"
#include "registers/tax_codes.h"

namespace demo {

namespace {

void checkedAssign(std::string& entry, payroll::EntrySlot slot, std::string_view table, int index, std::string_view text)
{
    if (slot.length == 0)
        throw std::invalid_argument(std::string(table) + " " + std::to_string(index) + " belongs to no field");
    if (text.size() > static_cast<std::size_t>(slot.length)) {
        throw std::length_error(std::string(table) + " " + std::to_string(index) + " \"" + std::string(text)
                                + "\" is longer than " + std::to_string(slot.length) + " characters");
    }
    entry.assign(text);
}

} // namespace

std::string cuHeaderRecord(const CuHeaderFields& fields, char status)
{
    for (int field = 1; field <= kCuHeaderFieldCount; ++field) {
        const auto width = static_cast<std::size_t>(payroll::headerFieldSlot(field).length);
        const std::string& text = fields[static_cast<std::size_t>(field)];
        if (text.size() > width) {
            throw std::length_error("CU header field " + std::to_string(field) + " \"" + text + "\" is longer than "
                                    + std::to_string(width) + " characters");
        }
    }
    return payroll::packHeaderRecord(fields, status);
}

std::string cuSecondHeaderRecord(char cuKind, int employeeRecords, char status)
{
    if (employeeRecords < 0 || employeeRecords > 9999)
        throw std::length_error("CU second header: " + std::to_string(employeeRecords) + " records do not fit 4 digits");
    return payroll::packSecondHeaderRecord(cuKind, records::padLeft(std::to_string(employeeRecords), 4, '0'), status);
}

std::string companyHeaderRecord(const CompanyHeaderFields& fields, char status)
{
    return payroll::packCompanyHeader(fields, status);
}

std::string employeeRecord(const EmployeeFields& fields, char status)
{
    return payroll::packEmployee(fields, status);
}

std::string collaboratorRecord(const CollaboratorFields& fields, char status)
{
    return payroll::packCollaborator(fields, status);
}

std::string municipalityRecord(const Municipality& municipality, char status)
{
    std::string record(kMunicipalityRecordLength, ' ');
    record[0] = status;
    record.replace(1, 4, records::fitRight(municipality.code, 4));
    record.replace(10, 24, records::fitRight(municipality.name, 24));
    record.replace(34, 2, records::fitRight(municipality.province, 2));
    record.replace(36, 5, records::fitRight(municipality.postcode, 5));
    return record;
}

std::string amountText(double amount, std::size_t width)
{
    if (amount == 0.0)
        amount = 0.0; // no "-0.00"
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", amount);
    return records::padLeft(text, width);
}

void setCu(payroll::CuFields& fields, int entry, std::string_view text)
{
    if (entry < 1 || entry > payroll::kCuFieldCount)
        throw std::out_of_range("CU " + std::to_string(entry));
    checkedAssign(fields.cu[static_cast<std::size_t>(entry)], payroll::cuFieldSlot(entry), "CU", entry, text);
}

void setCuAmount(payroll::CuFields& fields, int entry, double amount)
{
    const int width = payroll::cuFieldSlot(entry).length;
    setCu(fields, entry, amountText(amount, static_cast<std::size_t>(std::max(width, 0))));
}

void setCu2(payroll::CuFields& fields, int entry, std::string_view text)
{
    if (entry < 1 || entry > payroll::kSecondCuFieldCount)
        throw std::out_of_range("CU2 " + std::to_string(entry));
    checkedAssign(fields.cu2[static_cast<std::size_t>(entry)], payroll::secondCuFieldSlot(entry), "CU2", entry, text);
}

void setCu2Amount(payroll::CuFields& fields, int entry, double amount)
{
    const int width = payroll::secondCuFieldSlot(entry).length;
    setCu2(fields, entry, amountText(amount, static_cast<std::size_t>(std::max(width, 0))));
}

// ---------------------------------------------------------------------------------------
// The content of the demo: three employers with their CU archives for the year 2016, the
// UniEmens data of March 2016 for two of them and for a third company with collaborators.

namespace {

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

struct Person {
    const char* surname;
    const char* name;
    char sex;
    int day;
    int month;
    int year;
    const char* birthPlace; // municipality code
};

std::string fiscalCodeOf(const Person& p)
{
    return registers::fiscalCode(p.surname, p.name, p.sex, p.day, p.month, p.year, p.birthPlace);
}

std::string twoDigits(int value)
{
    return records::padLeft(std::to_string(value), 2, '0');
}

// ddmmyyyy, as the CU archive keeps dates.
std::string birthDate(const Person& p)
{
    return twoDigits(p.day) + twoDigits(p.month) + std::to_string(p.year);
}

// A company's VAT number from the seven digits of its number and the three of its tax office.
std::string vatNumber(std::string_view number, std::string_view office)
{
    const std::string first10 = std::string(number) + std::string(office);
    return first10 + registers::vatCheckDigit(first10);
}

double cents(double amount)
{
    return std::round(amount * 100.0) / 100.0;
}

// Income tax (IRPEF) of 2016: 23% up to 15,000 euro, 27% up to 28,000, 38% up to 55,000,
// 41% up to 75,000, 43% above.
double grossIncomeTax(double taxable)
{
    struct Bracket {
        double upTo;
        double rate;
    };
    constexpr Bracket kBrackets[] = {{15000, 0.23}, {28000, 0.27}, {55000, 0.38}, {75000, 0.41}, {1e12, 0.43}};
    double tax = 0;
    double lower = 0;
    for (const Bracket& bracket : kBrackets) {
        if (taxable > lower)
            tax += (std::min(taxable, bracket.upTo) - lower) * bracket.rate;
        lower = bracket.upTo;
    }
    return cents(tax);
}

// Deduction for employment income over a whole year.
double employmentDeduction(double taxable)
{
    if (taxable <= 8000)
        return 1880;
    if (taxable <= 28000)
        return 978 + 902 * (28000 - taxable) / 20000;
    if (taxable <= 55000)
        return 978 * (55000 - taxable) / 27000;
    return 0;
}

// The monthly 80-euro credit of employees with low incomes, over a whole year.
double bonusForYear(double taxable)
{
    if (taxable <= 24000)
        return 960;
    if (taxable < 26000)
        return 960 * (26000 - taxable) / 2000;
    return 0;
}

// One employment of 2016 as the year-end adjustment sees it.
struct Employment {
    Person person;
    const char* domicile;       // municipality code of the fiscal domicile, 2016 and 2017
    double yearPay;             // gross pay of the year
    double contributionRate;    // social security paid by the employee
    int days;                   // days of employment, for the deduction
    const char* hired = "";     // ddmmyyyy when the employment began in 2016
    const char* left = "";      // ddmmyyyy when it ended in 2016
    bool fixedTerm = false;
    bool collaborator = false;  // a company officer paid as a collaborator (INPS separate scheme)
    double familyDeduction = 0;
    double medicalExpenses = 0; // deductible at 19% above 129.11 euro
    double regionalRate = 0;
    double municipalRate = 0;
};

int monthOf(std::string_view date)
{
    return (date[2] - '0') * 10 + (date[3] - '0');
}

// The CU of one employee: personal data, quadro DB from the year's figures and the INPS
// part of quadro DC.
payroll::CuFields cuEmployee(const Employment& e, std::string_view inpsNumber)
{
    payroll::CuFields f;
    const Person& p = e.person;
    setCu(f, 1, fiscalCodeOf(p));
    setCu(f, 2, p.surname);
    setCu(f, 3, p.name);
    setCu(f, 4, std::string(1, p.sex));
    setCu(f, 5, birthDate(p));
    const Municipality& birth = municipality(p.birthPlace);
    setCu(f, 6, birth.name);
    setCu(f, 7, birth.province);
    const Municipality& home = municipality(e.domicile);
    for (const int first : {11, 14}) {
        setCu(f, first, home.name);
        setCu(f, first + 1, home.province);
        setCu(f, first + 2, home.code);
    }

    const double contributions = cents(e.yearPay * e.contributionRate);
    const double taxable = cents(e.yearPay - contributions);
    setCuAmount(f, e.fixedTerm ? 23 : 22, taxable);
    setCu(f, 27, records::padLeft(std::to_string(e.days), 3));
    if (*e.hired)
        setCu(f, 29, e.hired);
    if (*e.left)
        setCu(f, 30, e.left);
    else
        setCu(f, 31, "X"); // still employed on 31 December

    const double grossTax = grossIncomeTax(taxable);
    const double work = cents(employmentDeduction(taxable) * e.days / 365.0);
    const double expenses = e.medicalExpenses > 129.11 ? cents(0.19 * (e.medicalExpenses - 129.11)) : 0.0;
    const double netTax = std::max(0.0, cents(grossTax - e.familyDeduction - work - expenses));
    setCuAmount(f, 150, grossTax);
    if (e.familyDeduction > 0)
        setCuAmount(f, 151, e.familyDeduction);
    setCuAmount(f, 156, work);
    if (expenses > 0) {
        setCu(f, 138, "  1"); // medical expenses
        setCuAmount(f, 139, e.medicalExpenses);
        setCuAmount(f, 157, expenses);
    }
    if (netTax > 0) {
        setCuAmount(f, 33, netTax);
        setCuAmount(f, 34, cents(taxable * e.regionalRate));
        // The municipal surtax: the advance of 2016 (on the 2015 income), the balance of 2016,
        // and the advance of 2017 for those still employed.
        const double municipal = cents(taxable * e.municipalRate);
        const double advance = cents(municipal * 0.3);
        setCuAmount(f, 38, advance);
        setCuAmount(f, 39, cents(municipal - advance));
        if (!*e.left)
            setCuAmount(f, 41, advance);
    }
    if (grossTax > work) {
        const double bonus = cents(bonusForYear(taxable) * e.days / 365.0);
        if (bonus > 0) {
            setCu(f, 168, "1");
            setCuAmount(f, 169, bonus);
        }
    }

    // INPS: a months string marks the months without a monthly declaration.
    const int firstMonth = *e.hired ? monthOf(e.hired) : 1;
    const int lastMonth = *e.left ? monthOf(e.left) : 12;
    if (e.collaborator) {
        const double due = cents(e.yearPay * e.contributionRate * 3);
        setCuAmount(f, 381, e.yearPay);
        setCuAmount(f, 382, due);
        setCuAmount(f, 383, contributions);
        setCuAmount(f, 384, due);
        setCu(f, 385, "X");
    } else {
        const double insurable = std::round(e.yearPay);
        setCu(f, 362, inpsNumber);
        setCuAmount(f, 365, insurable);
        setCuAmount(f, 366, cents(insurable * 0.33));
        setCuAmount(f, 367, contributions);
        if (firstMonth == 1 && lastMonth == 12) {
            setCu(f, 368, "X");
        } else {
            for (int month = 1; month <= 12; ++month) {
                if (month < firstMonth || month > lastMonth)
                    setCu(f, 368 + month, "X");
            }
        }
    }
    return f;
}

// INAIL position of a worker: qualification, insurance position, period (day and month)
// and municipality of the workplace.
void setInail(payroll::CuFields& f, std::string_view position, std::string_view from, std::string_view to,
              std::string_view workplace)
{
    setCu(f, 440, "B");
    setCu(f, 441, position);
    setCu(f, 442, from.substr(0, 2));
    setCu(f, 443, from.substr(2, 2));
    setCu(f, 444, to.substr(0, 2));
    setCu(f, 445, to.substr(2, 2));
    setCu(f, 446, workplace);
}

std::string archiveFile(const std::vector<std::pair<payroll::CuFields, char>>& employees)
{
    std::string bytes;
    for (const auto& [fields, status] : employees)
        bytes += payroll::packArchiveRecord(fields, status);
    return bytes;
}

// Header fields that every archive fills alike; the kind of supply is "0", normal.
CuHeaderFields agentHeader(std::string_view fiscalCode, std::string_view name1, std::string_view name2)
{
    CuHeaderFields h;
    h[1] = "0";
    h[3] = fiscalCode;
    h[5] = name1;
    h[6] = name2;
    return h;
}

// ------------------------------------------------------------------ people of the demo

// Payroll consultants who send for their clients.
constexpr Person kFerrero{"FERRERO", "GIORGIO", 'M', 22, 6, 1962, "L219"};
constexpr Person kDeLuca{"DE LUCA", "ANNA", 'F', 9, 9, 1971, "F839"};
const std::string kFerreroOffice = vatNumber("0766543", "001");
const std::string kDeLucaOffice = vatNumber("0612345", "063");

// Archive 1 and company 001: a building firm in Turin.
constexpr Person kRossiAlberto{"ROSSI", "ALBERTO", 'M', 8, 9, 1958, "L219"};
constexpr Person kFerrari{"FERRARI", "LUCA", 'M', 14, 5, 1978, "L219"};
constexpr Person kRomano{"ROMANO", "GIUSEPPE", 'M', 2, 11, 1969, "G273"};
constexpr Person kColombo{"COLOMBO", "ANDREA", 'M', 23, 7, 1985, "F205"};
constexpr Person kRicci{"RICCI", "ELENA", 'F', 30, 1, 1992, "L219"};
const std::string kEdiliziaRossi = vatNumber("0853421", "001");
constexpr const char* kEdiliziaRossiInps = "8112345678";
constexpr const char* kEdiliziaRossiInail = "00019283746";

// Archive 2: a bar in Milan run by its owner.
constexpr Person kBianchi{"BIANCHI", "MARIO", 'M', 19, 4, 1966, "F205"};
constexpr Person kGallo{"GALLO", "FRANCESCA", 'F', 11, 12, 1994, "A794"};
constexpr Person kConti{"CONTI", "MARCO", 'M', 27, 6, 1988, "F704"};
constexpr const char* kBarBianchiInps = "4954321098";

// Archive 7 and company 002: a bakery in Naples.
constexpr Person kEspositoGennaro{"ESPOSITO", "GENNARO", 'M', 12, 12, 1960, "F839"};
constexpr Person kDeRosa{"DE ROSA", "SALVATORE", 'M', 5, 3, 1975, "F839"};
constexpr Person kCapasso{"CAPASSO", "TERESA", 'F', 14, 4, 1979, "F839"};
constexpr Person kDeRosaGiovanni{"DE ROSA", "GIOVANNI", 'M', 3, 10, 2008, "F839"};
constexpr Person kDeRosaSofia{"DE ROSA", "SOFIA", 'F', 22, 5, 2014, "F839"};
constexpr Person kRusso{"RUSSO", "ANNA", 'F', 17, 8, 1983, "B963"};
constexpr Person kMarino{"MARINO", "CIRO", 'M', 21, 1, 1997, "H703"};
const std::string kPanificio = vatNumber("0531278", "063");
constexpr const char* kPanificioInps = "5123987654";
constexpr const char* kPanificioInail = "00047116552";

// Company 005: a training centre in Bologna with collaborators only.
constexpr Person kLombardi{"LOMBARDI", "PAOLO", 'M', 3, 2, 1971, "A944"};
constexpr Person kCannavo{"CANNAV\xD2", "GIULIA", 'F', 25, 10, 1986, "C351"};
constexpr Person kGreco{"GRECO", "MATTEO", 'M', 16, 6, 1990, "D612"};
const std::string kAurora = vatNumber("0298765", "037");

constexpr double kEmployeeShare = 0.0919;
constexpr double kApprenticeShare = 0.0584;
constexpr double kSeparateSchemeRate = 0.3172;

// ------------------------------------------------------------------ CU archives

DemoFile headerFile(int archive, const CuHeaderFields& header, int records)
{
    return {std::string("C:") + records::kCuDataFolder + "FCU" + std::to_string(archive) + ".017",
            cuHeaderRecord(header) + cuSecondHeaderRecord('1', records), kCuHeaderRecordLength};
}

DemoFile archiveDataFile(int archive, const std::vector<std::pair<payroll::CuFields, char>>& employees)
{
    return {std::string("C:") + records::kCuDataFolder + "DCU" + std::to_string(archive) + ".017",
            archiveFile(employees), static_cast<std::size_t>(payroll::kArchiveRecordLength)};
}

// Archive 1: the building firm, sent by its payroll consultant, with record C. Record 3 is
// an employee whose certification was cancelled in the payroll program.
void buildingFirmArchive(std::vector<DemoFile>& files)
{
    CuHeaderFields h = agentHeader(kEdiliziaRossi, "EDILIZIA ROSSI", "COSTRUZIONI S.R.L.");
    h[7] = "011745632";
    h[8] = "amministrazione@ediliziarossi.it";
    h[9] = fiscalCodeOf(kRossiAlberto); // legal representative
    h[10] = "01";
    h[12] = kRossiAlberto.surname;
    h[13] = kRossiAlberto.name;
    h[14] = "0004";
    h[16] = "X";
    h[19] = "10"; // sent by an intermediary
    h[20] = fiscalCodeOf(kFerrero);
    h[21] = "2";
    h[22] = "27022017";
    h[26] = "28022017";
    h[27] = "412000";
    h[28] = "TORINO";
    h[29] = "TO";
    h[30] = "10138";
    h[31] = "CORSO FRANCIA 120";
    h[33] = "B";
    h[34] = "011745632";
    h[38] = "001";
    h[39] = "3356127845";
    h[41] = "studio.ferrero@consulentidellavoro.it";

    Employment ferrari{kFerrari, "L219", 27400, kEmployeeShare, 365};
    ferrari.regionalRate = 0.0162;
    ferrari.municipalRate = 0.008;
    payroll::CuFields ferrariCu = cuEmployee(ferrari, kEdiliziaRossiInps);
    setInail(ferrariCu, kEdiliziaRossiInail, "0101", "3112", "L219");

    Employment romano{kRomano, "L219", 34200, kEmployeeShare, 365};
    romano.familyDeduction = 690;
    romano.medicalExpenses = 842.30;
    romano.regionalRate = 0.0213;
    romano.municipalRate = 0.008;
    payroll::CuFields romanoCu = cuEmployee(romano, kEdiliziaRossiInps);
    setInail(romanoCu, kEdiliziaRossiInail, "0101", "3112", "L219");
    setCu(romanoCu, 295, "X"); // spouse, dependant all year
    setCu(romanoCu, 296, registers::fiscalCode("LA ROSA", "CONCETTA", 'F', 8, 2, 1972, "G273"));
    setCu(romanoCu, 297, "12");

    Employment colombo{kColombo, "L219", 22800, kEmployeeShare, 365};
    colombo.regionalRate = 0.0162;
    colombo.municipalRate = 0.008;

    Employment ricci{kRicci, "L219", 17850, kEmployeeShare, 306, "01032016"};
    ricci.fixedTerm = true;
    ricci.regionalRate = 0.0162;
    ricci.municipalRate = 0.008;

    Employment rossi{kRossiAlberto, "L219", 24000, kSeparateSchemeRate / 3, 365};
    rossi.collaborator = true;
    rossi.regionalRate = 0.0162;
    rossi.municipalRate = 0.008;

    files.push_back(headerFile(1, h, 5));
    files.push_back(archiveDataFile(1, {{ferrariCu, '$'},
                                        {romanoCu, '$'},
                                        {cuEmployee(colombo, kEdiliziaRossiInps), ' '},
                                        {cuEmployee(ricci, kEdiliziaRossiInps), '$'},
                                        {cuEmployee(rossi, kEdiliziaRossiInps), '$'}}));
}

// Archive 2: the bar, an individual employer who sends for himself and has not yet stated
// the transmission commitment, so the operator types it.
void barArchive(std::vector<DemoFile>& files)
{
    CuHeaderFields h = agentHeader(fiscalCodeOf(kBianchi), kBianchi.surname, kBianchi.name);
    h[2] = "D";
    h[7] = "0254123987";
    h[8] = "bar.bianchi@gmail.com";
    h[14] = "0002";
    h[19] = "01";
    h[20] = fiscalCodeOf(kBianchi);
    h[26] = "15032017";
    h[27] = "563000";
    h[28] = "MILANO";
    h[29] = "MI";
    h[30] = "20135";
    h[31] = "VIALE CAMPANIA 14";

    Employment gallo{kGallo, "F205", 14300, kEmployeeShare, 365};
    gallo.regionalRate = 0.0123;
    gallo.municipalRate = 0.008;

    Employment conti{kConti, "F704", 11250, kEmployeeShare, 274, "", "30092016"};
    conti.regionalRate = 0.0123;
    conti.municipalRate = 0.008;
    payroll::CuFields contiCu = cuEmployee(conti, kBarBianchiInps);
    // Severance pay (TFR) at the end of the employment, with its own withholding.
    setCuAmount(contiCu, 448, 2870.45);
    setCuAmount(contiCu, 451, 660.20);
    setCu(contiCu, 461, "01062013");
    setCu(contiCu, 462, "30092016");
    setCu2Amount(contiCu, 17, 2870.45);
    setCu2Amount(contiCu, 18, 660.20);
    setCu2Amount(contiCu, 71, 31.27);

    files.push_back(headerFile(2, h, 2));
    files.push_back(archiveDataFile(2, {{cuEmployee(gallo, kBarBianchiInps), '$'}, {contiCu, '$'}}));
}

// Archive 7: the bakery, sent by another consultant; its baker has a family, an advance on
// severance pay and notes on his certification, so nearly every quadro has content.
void bakeryArchive(std::vector<DemoFile>& files)
{
    CuHeaderFields h = agentHeader(kPanificio, "PANIFICIO ESPOSITO", "DI G. ESPOSITO & C. SNC");
    h[7] = "0814412876";
    h[8] = "panificioesposito@libero.it";
    h[9] = fiscalCodeOf(kEspositoGennaro);
    h[10] = "01";
    h[12] = kEspositoGennaro.surname;
    h[13] = kEspositoGennaro.name;
    h[14] = "0003";
    h[19] = "10";
    h[20] = fiscalCodeOf(kDeLuca);
    h[21] = "1";
    h[22] = "06032017";
    h[26] = "06032017";
    h[27] = "107100";
    h[28] = "NAPOLI";
    h[29] = "NA";
    h[30] = "80137";
    h[31] = "VIA FORIA 218";
    h[39] = "3391234567";
    h[41] = "studio.deluca@gmail.com";

    Employment deRosa{kDeRosa, "F839", 25900, kEmployeeShare, 365};
    deRosa.familyDeduction = 1543.05;
    deRosa.medicalExpenses = 380.50;
    deRosa.regionalRate = 0.0203;
    deRosa.municipalRate = 0.009;
    payroll::CuFields d = cuEmployee(deRosa, kPanificioInps);
    setInail(d, kPanificioInail, "0101", "3112", "F839");
    setCu(d, 295, "X"); // spouse
    setCu(d, 296, fiscalCodeOf(kCapasso));
    setCu(d, 297, "12");
    setCu(d, 298, "X"); // first child, deduction shared with the mother
    setCu(d, 300, fiscalCodeOf(kDeRosaGiovanni));
    setCu(d, 301, "12");
    setCuAmount(d, 303, 50);
    setCu(d, 305, "X"); // second child, under three all year
    setCu(d, 308, fiscalCodeOf(kDeRosaSofia));
    setCu(d, 309, "12");
    setCu(d, 310, "12");
    setCuAmount(d, 311, 50);
    // An advance on severance pay for the purchase of a home.
    setCuAmount(d, 448, 3000);
    setCuAmount(d, 451, 690);
    setCuAmount(d, 486, 23);
    setCuAmount(d, 488, 3000);
    setCuAmount(d, 489, 690);
    setCu(d, 490, "A");
    setCu2(d, 75, "AA");
    setCu2(d, 76, "BD");

    Employment russo{kRusso, "B963", 12600, kEmployeeShare, 365};
    russo.regionalRate = 0.0203;
    russo.municipalRate = 0.008;

    Employment marino{kMarino, "F839", 13200, kApprenticeShare, 335, "01022016"};
    marino.regionalRate = 0.0203;
    marino.municipalRate = 0.009;

    files.push_back(headerFile(7, h, 3));
    files.push_back(archiveDataFile(
        7, {{d, '$'}, {cuEmployee(russo, kPanificioInps), '$'}, {cuEmployee(marino, kPanificioInps), '$'}}));
}

// ------------------------------------------------------------------ UniEmens, March 2016

constexpr const char* kMarch = "03";
constexpr const char* kApril = "04";
constexpr const char* kYear = "2016";

std::string paghePath(std::string_view kind, std::string_view company, std::string_view month)
{
    return "C:\\nolv\\paghe\\" + std::string(kind) + std::string(company) + std::string(month) + ".016";
}

// One month of an employee: the common part of the record; the caller adds what is
// particular to the employee (sickness, family allowance, hiring...).
struct MonthPay {
    const Person& person;
    const char* qualification; // worker, clerk ...
    const char* workplace;     // municipality code
    const char* contract;      // national contract code
    double pay;                // taxable pay of the month
    double contributionRate;   // employer's and employee's share together
    bool after1995;            // first insured after 1995
};

EmployeeFields monthEmployee(const MonthPay& m)
{
    EmployeeFields f;
    f[1] = fiscalCodeOf(m.person);
    f[2] = m.person.surname;
    f[3] = m.person.name;
    f[4] = m.qualification;
    f[5] = "F"; // full time
    f[6] = "I"; // permanent
    f[9] = m.workplace;
    f[10] = m.contract;
    f[11] = "4000";
    f[13] = "1300";
    f[19] = "0";
    f[21] = std::to_string(static_cast<long>(std::round(m.pay)));
    f[22] = amountText(cents(std::round(m.pay) * m.contributionRate));
    f[63] = amountText(m.pay);
    f[64] = "26";
    f[66] = "S";
    for (int week = 1; week <= 5; ++week) {
        f[static_cast<std::size_t>(78 + 3 * week)] = std::to_string(week);
        f[static_cast<std::size_t>(79 + 3 * week)] = "X";
    }
    f[125] = amountText(m.pay);
    f[183] = "31";
    f[218] = "M";
    f[219] = m.after1995 ? "S" : "N";
    return f;
}

double amountIn(const std::string& text)
{
    return text.empty() ? 0.0 : std::stod(text);
}

// Totals of the company: contributions due and amounts the company advanced for INPS.
void setCompanyTotals(CompanyHeaderFields& h, const std::vector<std::pair<EmployeeFields, char>>& employees)
{
    double debit = 0;
    double credit = 0;
    int count = 0;
    for (const auto& [f, status] : employees) {
        if (status != '$')
            continue;
        ++count;
        debit += amountIn(f[22]);
        credit += amountIn(f[30]) + amountIn(f[43]);
    }
    h[20] = records::padLeft(std::to_string(employees.size()), 6, '0');
    h[22] = amountText(cents(debit));
    h[23] = amountText(cents(credit));
    h[25] = "S";
    h[26] = std::to_string(count);
}

CompanyHeaderFields companyHeader(std::string_view code, std::string_view kind, std::string_view month)
{
    CompanyHeaderFields h;
    h[1] = code;
    h[2] = month;
    h[3] = kYear;
    h[12] = kind;
    h[15] = "0";
    return h;
}

std::string employeeFile(const std::vector<std::pair<EmployeeFields, char>>& employees)
{
    std::string bytes;
    for (const auto& [fields, status] : employees)
        bytes += employeeRecord(fields, status);
    return bytes;
}

// The company data file and the employee data file of a company and month.
void addEmployeeCompany(std::vector<DemoFile>& files, const CompanyHeaderFields& h,
                        const std::vector<std::pair<EmployeeFields, char>>& employees)
{
    files.push_back({paghePath("una", h[1], h[2]), companyHeaderRecord(h), kCompanyRecordLength});
    files.push_back({paghePath("unb", h[1], h[2]), employeeFile(employees), kEmployeeRecordLength});
}

// The company data file and the collaborator data file (`records`) of a company and month.
void addCollaboratorCompany(std::vector<DemoFile>& files, const CompanyHeaderFields& h, std::string records)
{
    files.push_back({paghePath("una", h[1], h[2]), companyHeaderRecord(h), kCompanyRecordLength});
    files.push_back({paghePath("unc", h[1], h[2]), std::move(records), kCollaboratorRecordLength});
}

void buildingFirmMonth(std::vector<DemoFile>& files)
{
    const auto month = [](const Person& p, const char* qualification, double pay, bool after1995) {
        return monthEmployee({p, qualification, "L219", "011", pay, 0.3300, after1995});
    };
    EmployeeFields ferrari = month(kFerrari, "1", 2107.69, true);

    // Off sick in the second week: INPS pays the allowance through the company; a family
    // of four draws the family allowance.
    EmployeeFields romano = month(kRomano, "2", 2630.77, false);
    romano[30] = amountText(184.32);
    romano[85] = "2";
    romano[86] = "MAL";
    romano[43] = amountText(137.50);
    romano[68] = "11";
    romano[69] = "4";
    romano[70] = "15";

    // Left in February: the payroll program keeps the record but no longer marks it in use.
    EmployeeFields colombo = month(kColombo, "1", 1753.85, true);

    // Hired on 1 March with a fixed-term contract.
    EmployeeFields ricci = month(kRicci, "2", 1373.08, true);
    ricci[6] = "D";
    ricci[14] = "01";
    ricci[15] = "1";
    ricci[153] = "X";

    const std::vector<std::pair<EmployeeFields, char>> employees = {
        {ferrari, '$'}, {romano, '$'}, {colombo, ' '}, {ricci, '$'}};

    CompanyHeaderFields h = companyHeader("001", "0", kMarch);
    h[4] = "2"; // sent by the payroll consultant
    h[5] = fiscalCodeOf(kFerrero);
    h[6] = "STUDIO FERRERO CONSULENTI DEL LAVORO";
    h[7] = kFerreroOffice;
    h[9] = "8100";
    h[10] = kEdiliziaRossi;
    h[11] = "EDILIZIA ROSSI COSTRUZIONI S.R.L.";
    h[13] = "FC";
    h[14] = kEdiliziaRossiInps;
    h[18] = "10138";
    h[19] = "001272";
    setCompanyTotals(h, employees);

    addEmployeeCompany(files, h, employees);
}

void bakeryMonth(std::vector<DemoFile>& files)
{
    EmployeeFields deRosa = monthEmployee({kDeRosa, "1", "F839", "063", 1992.31, 0.3300, true});
    deRosa[43] = amountText(258.33);
    deRosa[68] = "11";
    deRosa[69] = "4";
    deRosa[70] = "12";

    // Part time at 50%: hours instead of days.
    EmployeeFields russo = monthEmployee({kRusso, "2", "F839", "063", 969.23, 0.3300, true});
    russo[5] = "P";
    russo[12] = "5000";
    russo[65] = "88";
    russo[67] = "5";

    EmployeeFields marino = monthEmployee({kMarino, "1", "F839", "063", 1015.38, 0.1745, true});

    const std::vector<std::pair<EmployeeFields, char>> employees = {{deRosa, '$'}, {russo, '$'}, {marino, '$'}};

    CompanyHeaderFields h = companyHeader("002", "0", kMarch);
    h[4] = "2";
    h[5] = fiscalCodeOf(kDeLuca);
    h[6] = "STUDIO DE LUCA ANNA CONSULENTE DEL LAVORO";
    h[7] = kDeLucaOffice;
    h[9] = "5100";
    h[10] = kPanificio;
    h[11] = "PANIFICIO ESPOSITO DI G. ESPOSITO & C. SNC";
    h[13] = "FP";
    h[14] = kPanificioInps;
    h[18] = "80137";
    h[19] = "063049";
    setCompanyTotals(h, employees);

    addEmployeeCompany(files, h, employees);
}

CollaboratorFields collaborator(const Person& p, const char* relation, const char* activity, const char* pay,
                                const char* month)
{
    CollaboratorFields f;
    f[1] = fiscalCodeOf(p);
    f[2] = p.surname;
    f[3] = p.name;
    f[4] = "A944";
    f[5] = relation;
    f[6] = activity;
    f[7] = pay;
    f[8] = "3172";
    f[10] = "01";
    f[11] = month;
    f[12] = kYear;
    const std::string m(month);
    f[13] = m == "02" ? "29" : (m == "04" || m == "06" || m == "09" || m == "11") ? "30" : "31";
    f[14] = month;
    f[15] = kYear;
    return f;
}

void trainingCentreMonth(std::vector<DemoFile>& files)
{
    CompanyHeaderFields h = companyHeader("005", "1", kMarch);
    h[4] = "1"; // the company sends for itself
    h[5] = fiscalCodeOf(kLombardi);
    h[6] = "CENTRO STUDI AURORA S.R.L.";
    h[7] = kAurora;
    h[9] = "1300";
    h[10] = kAurora;
    h[11] = "CENTRO STUDI AURORA S.R.L.";
    h[14] = "1398765432";
    h[18] = "40121";
    h[19] = "037006";
    h[20] = "000003";

    std::string bytes = collaboratorRecord(collaborator(kLombardi, "01", "", "2000", kMarch));
    bytes += collaboratorRecord(collaborator(kCannavo, "11", "05", "1250", kMarch));
    // A tutor whose contract ended in February.
    bytes += collaboratorRecord(collaborator(kGreco, "11", "05", "900", "02"), ' ');

    addCollaboratorCompany(files, h, std::move(bytes));
}

// ------------------------------------------------------------------ UniEmens, April 2016
// A month in which a clerk can try every path of the declaration: an employee whose element
// has every block, a sport and entertainment worker, an apprentice, a company of composition
// "FP", a cancellation, collaborators, and names with "&", apostrophes and accented letters.

// Company 003: a restaurant in Rome.
constexpr Person kOsteria{"DI BARI", "NICOL\xD2", 'M', 14, 2, 1968, "H501"};      // the owner
constexpr Person kDAngelo{"D'ANGELO", "ANDREA", 'M', 27, 9, 1984, "H501"};        // the cook
constexpr Person kFabbri{"FABBRI", "CHIARA", 'F', 2, 7, 1990, "A944"};            // the singer of the evenings
constexpr Person kSanna{"SANNA", "GIOSU\xC8", 'M', 9, 11, 1998, "B354"};          // the apprentice waiter
const std::string kOsteriaVat = vatNumber("0977715", "058");
constexpr const char* kOsteriaInps = "7012345678";

// Company 004: a chemist's shop in Bologna.
constexpr Person kMancini{"MANCINI", "LUCIA", 'F', 30, 3, 1979, "A944"};
constexpr Person kBruno{"BRUNO", "PIETRO", 'M', 18, 12, 1987, "G478"};
const std::string kFarmacia = vatNumber("0318846", "037");

// Company 006: a coffee bar in Genoa that sends for itself and cancels its April declaration.
constexpr Person kParodi{"PARODI", "NICOL\xD2", 'M', 5, 5, 1961, "D969"};
constexpr Person kRepetto{"REPETTO", "ILARIA", 'F', 21, 8, 1993, "D969"};
const std::string kCaffe = vatNumber("0411260", "034");

// Company 005 again: its tutors of April.
constexpr Person kMoretti{"MORETTI", "SILVIA", 'F', 12, 6, 1982, "A944"};

// Days of April 2016 (the 1st a Friday) as the payroll program marks them: worked ("S") from
// Monday to Saturday, not worked ("N") on Sundays.
void markAprilDays(EmployeeFields& f)
{
    f[183] = "30";
    for (int day = 1; day <= 30; ++day)
        f[static_cast<std::size_t>(183 + day)] = day % 7 == 3 ? "N" : "S";
}

// The cook: part time at 75%, hired on the 4th from another position of the same employer
// and moved on the 29th; off sick, on parental leave and on short time, with family
// allowance, incentives, bilateral agreements and a pension fund chosen this month. His
// element has every block a worker who is not in sport or entertainment can have.
EmployeeFields richEmployee()
{
    EmployeeFields f = monthEmployee({kDAngelo, "1", "H501", "TU01", 1846.15, 0.3300, true});
    f[5] = "P";
    f[7] = "0000";
    f[8] = "000";
    f[12] = "7500";
    f[14] = "04", f[15] = "2", f[16] = "7012345600", f[153] = "X";
    f[17] = "29", f[18] = "1A", f[154] = "X";
    f[20] = "NFLE";
    // Additional 1% contribution, current and regularised.
    f[24] = amountText(18.46), f[25] = amountText(1846.00), f[26] = amountText(3.50), f[27] = amountText(1.20);
    // Sickness: allowance advanced, amounts due and recovered.
    f[28] = amountText(12.00), f[29] = "M001";
    f[30] = amountText(184.32), f[31] = amountText(22.10), f[32] = amountText(15.00), f[161] = "L000";
    // Maternity and parental leave.
    f[33] = amountText(10.00), f[34] = "M010";
    f[35] = amountText(100.00), f[36] = amountText(50.00), f[37] = amountText(80.00), f[38] = amountText(20.00);
    f[39] = amountText(5.00), f[40] = "M020";
    // Family allowance.
    f[41] = amountText(8.00), f[42] = "A001", f[43] = amountText(137.50), f[44] = amountText(12.00), f[45] = "A002";
    f[68] = "11", f[69] = "4", f[70] = "15";
    // Short time, ordinary and extraordinary, with four authorisations each.
    f[46] = amountText(6.40), f[47] = "E600", f[48] = amountText(210.00), f[49] = amountText(9.00), f[50] = "E610";
    f[51] = "160012345678", f[52] = "24";
    f[164] = "160012345679", f[165] = "8", f[166] = "160012345680", f[167] = "8", f[168] = "160012345681", f[169] = "4";
    f[53] = amountText(4.20), f[54] = "E700", f[55] = amountText(120.00), f[56] = amountText(6.00), f[57] = "E710";
    f[58] = "160098765432", f[59] = "16";
    f[170] = "160098765433", f[171] = "8", f[172] = "160098765434", f[173] = "4", f[174] = "160098765435", f[175] = "2";
    f[60] = "CS01", f[61] = "16", f[62] = amountText(150.00);
    // A retired worker's share, other amounts due and to recover.
    f[103] = amountText(25.00);
    f[74] = amountText(15.00), f[75] = "M100", f[76] = "3", f[78] = amountText(100.00);
    f[79] = amountText(20.00), f[80] = "L100";
    // Two hiring incentives.
    f[215] = "GIOV", f[216] = "INP", f[217] = amountText(50.00), f[220] = amountText(50.00);
    f[253] = "SUD", f[254] = "ANP", f[255] = amountText(30.00), f[256] = amountText(30.00);
    f[257] = "1";
    // Weeks: sick in the second, on short time in the third (a two-letter code, not declared).
    f[86] = "MAL";
    f[89] = "CG";
    markAprilDays(f);
    // Accreditation differences: sickness in amounts, a blood donation in weeks.
    f[99] = amountText(120.00), f[100] = "MAL", f[101] = "1";
    f[176] = amountText(0), f[177] = "MB2", f[178] = "2";
    f[65] = "88";
    f[67] = "4";
    // Bilateral agreements.
    f[261] = amountText(10.00), f[262] = "EBT1", f[263] = amountText(5.00), f[264] = "EBT2";
    f[265] = amountText(3.50), f[266] = "CAS1";
    // Severance pay to a pension fund chosen on the day he started.
    f[116] = "S1", f[117] = "20160404", f[118] = "S", f[119] = "S", f[121] = "20160404";
    f[122] = "F001", f[123] = "TQ01", f[124] = "100";
    f[126] = amountText(1846.15);
    f[127] = amountText(136.75), f[131] = amountText(1.00), f[132] = amountText(2.10);
    f[139] = amountText(7.00), f[140] = "MC01", f[141] = amountText(7.00), f[142] = "MC02";
    f[179] = amountText(3.00), f[180] = "MC03";
    return f;
}

// The singer: a sport and entertainment worker, part time, paid by the day; her severance
// pay goes into her pay packet (QUIR), to be financed.
EmployeeFields entertainer()
{
    EmployeeFields f = monthEmployee({kFabbri, "2", "H501", "TU01", 760.00, 0.3300, true});
    for (int week = 1; week <= 5; ++week) {
        f[static_cast<std::size_t>(78 + 3 * week)].clear();
        f[static_cast<std::size_t>(79 + 3 * week)].clear();
    }
    f[5] = "P";
    f[12] = "3000";
    f[19] = "SC";
    f[65] = "52";
    f[218] = "G";
    f[252] = "012";
    f[258] = "13";
    markAprilDays(f);
    // She sings on Fridays and Saturdays.
    for (int day = 1; day <= 30; ++day) {
        const bool evening = day % 7 == 1 || day % 7 == 2;
        f[static_cast<std::size_t>(183 + day)] = evening ? "S" : "N";
        if (evening)
            f[static_cast<std::size_t>(220 + day)] = "X";
    }
    f[116] = "IQ", f[117] = "20160401";
    f[260] = amountText(38.50);
    return f;
}

// The apprentice: hired on the 11th; his severance pay stays with the employer, and he
// belongs to no supplementary pension fund.
EmployeeFields apprentice()
{
    EmployeeFields f = monthEmployee({kSanna, "5", "H501", "TU01", 1015.38, 0.1745, true});
    f[20] = "APPA";
    f[14] = "11", f[15] = "1", f[153] = "X";
    f[116] = "S2", f[117] = "20160411", f[118] = "S", f[119] = "N", f[120] = "N";
    markAprilDays(f);
    return f;
}

void restaurantApril(std::vector<DemoFile>& files)
{
    const std::vector<std::pair<EmployeeFields, char>> employees = {
        {richEmployee(), '$'}, {entertainer(), '$'}, {apprentice(), '$'}};

    CompanyHeaderFields h = companyHeader("003", "0", kApril);
    h[4] = "2";
    h[5] = fiscalCodeOf(kFerrero);
    h[6] = "STUDIO FERRERO CONSULENTI DEL LAVORO";
    h[7] = kFerreroOffice;
    h[9] = "7001";
    h[10] = kOsteriaVat;
    h[11] = "L'OSTERIA DEL PORTO DI NICOL\xD2 & C. S.N.C.";
    h[13] = "FC";
    h[14] = kOsteriaInps;
    h[18] = "00153";
    h[19] = "058091";
    setCompanyTotals(h, employees);
    // The company's own items: a fund for training, the contract's assistance contribution,
    // severance pay paid to and recovered from INPS, other amounts due and to recover.
    h[40] = "E", h[41] = "FART", h[42] = "FONT", h[43] = "3";
    h[38] = amountText(12.00), h[39] = "EBN1";
    h[27] = amountText(150.00), h[29] = "TF01", h[28] = amountText(30.00), h[30] = "TF02";
    h[69] = amountText(10.00), h[70] = "TF03";
    h[31] = amountText(20.00), h[32] = "D100", h[33] = "3", h[35] = amountText(3621.53);
    h[62] = amountText(10.00), h[63] = "D200";
    h[36] = amountText(15.00), h[37] = "C100";
    h[67] = amountText(5.00), h[68] = "C200";

    addEmployeeCompany(files, h, employees);
}

// A chemist's shop of composition "FP": no company totals block.
void chemistApril(std::vector<DemoFile>& files)
{
    EmployeeFields mancini = monthEmployee({kMancini, "2", "A944", "CF01", 2184.62, 0.3300, true});
    markAprilDays(mancini);
    EmployeeFields bruno = monthEmployee({kBruno, "2", "A944", "CF01", 1692.31, 0.3300, true});
    markAprilDays(bruno);
    const std::vector<std::pair<EmployeeFields, char>> employees = {{mancini, '$'}, {bruno, '$'}};

    CompanyHeaderFields h = companyHeader("004", "0", kApril);
    h[4] = "2";
    h[5] = fiscalCodeOf(kDeLuca);
    h[6] = "STUDIO DE LUCA ANNA CONSULENTE DEL LAVORO";
    h[7] = kDeLucaOffice;
    h[9] = "1300";
    h[10] = kFarmacia;
    h[11] = "FARMACIA SANT'ANNA DELLA DOTT.SSA MANCINI & C. SAS";
    h[13] = "FP";
    h[14] = "1312345678";
    setCompanyTotals(h, employees);

    addEmployeeCompany(files, h, employees);
}

// A coffee bar that sent its April declaration with a wrong employee: it sends it again as a
// cancellation (every individual declaration marked for deletion, totals at zero).
void cafeApril(std::vector<DemoFile>& files)
{
    EmployeeFields repetto = monthEmployee({kRepetto, "1", "D969", "TU01", 1461.54, 0.3300, true});
    markAprilDays(repetto);
    const std::vector<std::pair<EmployeeFields, char>> employees = {{repetto, '$'}};

    CompanyHeaderFields h = companyHeader("006", "0", kApril);
    h[4] = "1"; // the company sends for itself
    h[5] = fiscalCodeOf(kParodi);
    h[6] = "CAFF\xC8 GARIBALDI DI PARODI & FIGLI S.N.C.";
    h[7] = kCaffe;
    h[9] = "3400";
    h[10] = kCaffe;
    h[11] = "CAFF\xC8 GARIBALDI DI PARODI & FIGLI S.N.C.";
    h[13] = "FC";
    h[14] = "3412345678";
    h[15] = "1";
    setCompanyTotals(h, employees);

    addEmployeeCompany(files, h, employees);
}

// The training centre's collaborators of April: one with a relief for a natural disaster,
// one insured elsewhere too.
void trainingCentreApril(std::vector<DemoFile>& files)
{
    CompanyHeaderFields h = companyHeader("005", "1", kApril);
    h[4] = "1";
    h[5] = fiscalCodeOf(kLombardi);
    h[6] = "CENTRO STUDI AURORA S.R.L.";
    h[7] = kAurora;
    h[9] = "1300";
    h[10] = kAurora;
    h[11] = "CENTRO STUDI AURORA S.R.L.";
    h[14] = "1398765432";
    h[18] = "40121";
    h[19] = "037006";
    h[20] = "000003";

    CollaboratorFields cannavo = collaborator(kCannavo, "11", "05", "1250", kApril);
    cannavo[16] = "07", cannavo[17] = "123", cannavo[18] = "100.00", cannavo[19] = "T1";
    CollaboratorFields moretti = collaborator(kMoretti, "06", "05", "980", kApril);
    moretti[9] = "2";
    std::string bytes = collaboratorRecord(collaborator(kLombardi, "01", "", "2000", kApril));
    bytes += collaboratorRecord(cannavo);
    bytes += collaboratorRecord(moretti);

    addCollaboratorCompany(files, h, std::move(bytes));
}

} // namespace

std::vector<DemoFile> demoInstallationFiles()
{
    std::vector<DemoFile> files;
    files.push_back({records::kDriveFile, "C:" + std::string(8, ' '), kDriveRecordLength});
    files.push_back({std::string("C:") + records::kYearFile, std::string(kYear) + std::string(6, ' '),
                     kDriveRecordLength});
    files.push_back({"C:\\tabcom\\comuni.dat", municipalityFile(), kMunicipalityRecordLength});
    buildingFirmArchive(files);
    barArchive(files);
    bakeryArchive(files);
    buildingFirmMonth(files);
    bakeryMonth(files);
    trainingCentreMonth(files);
    restaurantApril(files);
    chemistApril(files);
    trainingCentreApril(files);
    cafeApril(files);
    addRegisterDemo(files);
    return files;
}

std::vector<std::string> demoInstallationFolders()
{
    return {"C:\\Program Files\\INPS\\INPS uniEmens individuale"};
}

void writeDemoInstallation(const std::filesystem::path& root)
{
    namespace fs = std::filesystem;
    const records::PathMapper paths(root);
    std::error_code ec;
    for (const std::string& folder : demoInstallationFolders()) {
        const fs::path host = paths.hostPath(folder);
        fs::create_directories(host, ec);
        if (ec)
            throw std::runtime_error("impossibile creare la cartella " + host.string() + ": " + ec.message());
    }
    for (const DemoFile& file : demoInstallationFiles()) {
        const fs::path host = paths.hostPath(file.path);
        fs::create_directories(host.parent_path(), ec);
        if (ec)
            throw std::runtime_error("impossibile creare la cartella " + host.parent_path().string() + ": "
                                     + ec.message());
        // A demo file takes the place of a file of its name; a link left under the name goes
        // with it and is never written through.
        if (fs::is_symlink(host, ec) || fs::is_regular_file(host, ec))
            fs::remove(host, ec);
        const int descriptor = records::createExclusively(host);
        const int error = descriptor < 0 ? errno : records::writeAllAt(descriptor, file.bytes, 0);
        if (descriptor >= 0 && ::close(descriptor) != 0 && error == 0)
            throw std::runtime_error("impossibile scrivere il file " + host.string());
        if (error != 0)
            throw std::runtime_error("impossibile scrivere il file " + host.string() + ": "
                                     + std::generic_category().message(error));
    }
}

} // namespace demo
