#include "demo/uniemens_demo.h"

#include <cmath>
#include <string>
#include <utility>

#include "demo/demo_people.h"
#include "demo/record_builders.h"
#include "records/text.h"

namespace demo {

namespace {

// ------------------------------------------------------------------ UniEmens, March 2016

constexpr const char* kMarch = "03";
constexpr const char* kApril = "04";

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
    const char* month;         // of the declaration, two digits
};

// The weeks of the year that a month of the demo's year touches, as INPS numbers them:
// weeks run from Sunday to Saturday, week 1 holding 1 January 2016 (a Friday). March: week 10
// (Sunday 28 February to Saturday 5 March) to 14 (Sunday 27 March to Saturday 2 April);
// April: 14 to 18 (Sunday 24 to Saturday 30 April).
int firstWeekOf(std::string_view month)
{
    return month == "03" ? 10 : 14;
}

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
    // A month's pay: 26 days paid, in every one of the five weeks the month touches.
    f[64] = "26";
    f[66] = "S";
    for (int block = 1; block <= 5; ++block) {
        f[static_cast<std::size_t>(78 + 3 * block)] = std::to_string(firstWeekOf(m.month) + block - 1);
        f[static_cast<std::size_t>(79 + 3 * block)] = "X";
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
    h[3] = kDemoYear.c_str();
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
    files.push_back({monthlyDataFile("una", h[1], h[2]), companyHeaderRecord(h), kCompanyRecordLength});
    files.push_back({monthlyDataFile("unb", h[1], h[2]), employeeFile(employees), kEmployeeRecordLength});
}

// The company data file and the collaborator data file (`records`) of a company and month.
void addCollaboratorCompany(std::vector<DemoFile>& files, const CompanyHeaderFields& h, std::string records)
{
    files.push_back({monthlyDataFile("una", h[1], h[2]), companyHeaderRecord(h), kCompanyRecordLength});
    files.push_back({monthlyDataFile("unc", h[1], h[2]), std::move(records), kCollaboratorRecordLength});
}

void buildingFirmMonth(std::vector<DemoFile>& files)
{
    const auto month = [](const Person& p, const char* qualification, double pay, bool after1995) {
        return monthEmployee({p, qualification, "L219", "011", pay, 0.3300, after1995, kMarch});
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
    EmployeeFields deRosa = monthEmployee({kDeRosa, "1", "F839", "063", 1992.31, 0.3300, true, kMarch});
    deRosa[43] = amountText(258.33);
    deRosa[68] = "11";
    deRosa[69] = "4";
    deRosa[70] = "12";

    // Part time at 50%: hours instead of days.
    EmployeeFields russo = monthEmployee({kRusso, "2", "F839", "063", 969.23, 0.3300, true, kMarch});
    russo[5] = "P";
    russo[12] = "5000";
    russo[65] = "88";
    russo[67] = "5";

    EmployeeFields marino = monthEmployee({kMarino, "1", "F839", "063", 1015.38, 0.1745, true, kMarch});

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
    f[12] = kDemoYear.c_str();
    const std::string m(month);
    f[13] = m == "02" ? "29" : (m == "04" || m == "06" || m == "09" || m == "11") ? "30" : "31";
    f[14] = month;
    f[15] = kDemoYear.c_str();
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
    EmployeeFields f = monthEmployee({kDAngelo, "1", "H501", "TU01", 1846.15, 0.3300, true, kApril});
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
    EmployeeFields f = monthEmployee({kFabbri, "2", "H501", "TU01", 760.00, 0.3300, true, kApril});
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
    // She sings on Fridays and Saturdays, ten evenings, each a day paid and covered.
    f[64] = "10";
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
    EmployeeFields f = monthEmployee({kSanna, "5", "H501", "TU01", 1015.38, 0.1745, true, kApril});
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
    EmployeeFields mancini = monthEmployee({kMancini, "2", "A944", "CF01", 2184.62, 0.3300, true, kApril});
    markAprilDays(mancini);
    EmployeeFields bruno = monthEmployee({kBruno, "2", "A944", "CF01", 1692.31, 0.3300, true, kApril});
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
    EmployeeFields repetto = monthEmployee({kRepetto, "1", "D969", "TU01", 1461.54, 0.3300, true, kApril});
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

void addUniemensDemo(std::vector<DemoFile>& files)
{
    buildingFirmMonth(files);
    bakeryMonth(files);
    trainingCentreMonth(files);
    restaurantApril(files);
    chemistApril(files);
    trainingCentreApril(files);
    cafeApril(files);
}

} // namespace demo
