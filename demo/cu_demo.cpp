#include "demo/cu_demo.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "demo/demo_people.h"
#include "demo/record_builders.h"
#include "records/cu_edition.h"
#include "records/text.h"
#include "registers/tax_codes.h"

namespace demo {

namespace {

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

// Social security rates on the pay: an employee's share, an apprentice's, and the separate
// scheme of a company officer paid as a collaborator.
constexpr double kEmployeeShare = 0.0919;
constexpr double kApprenticeShare = 0.0584;
constexpr double kSeparateSchemeRate = 0.3172;

// ------------------------------------------------------------------ CU archives

DemoFile headerFile(int archive, const CuHeaderFields& header, int records)
{
    return {std::string("C:") + records::kCuDataFolder + "FCU" + std::to_string(archive) + records::kCuFileExtension,
            cuHeaderRecord(header) + cuSecondHeaderRecord('1', records), kCuHeaderRecordLength};
}

DemoFile archiveDataFile(int archive, const std::vector<std::pair<payroll::CuFields, char>>& employees)
{
    return {std::string("C:") + records::kCuDataFolder + "DCU" + std::to_string(archive) + records::kCuFileExtension,
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

} // namespace

void addCuDemo(std::vector<DemoFile>& files)
{
    buildingFirmArchive(files);
    barArchive(files);
    bakeryArchive(files);
}

} // namespace demo
