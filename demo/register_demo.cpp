#include "demo/register_demo.h"

#include <stdexcept>
#include <string>

#include "demo/demo_people.h"
#include "demo/record_builders.h"
#include "payroll/company_code_lists.h"
#include "payroll/company_register.h"
#include "records/installation.h"
#include "records/text.h"
#include "registers/company_files.h"
#include "registers/tax_codes.h"

namespace demo {

namespace {

const records::Installation kInstallation{"C:", std::string("C:") + records::kCuDataFolder, kDemoYear.c_str()};

// A person who runs a business, and the name of the municipality of birth that the company
// register stores beside the fiscal code.
struct Owner {
    Person person;
    const char* municipality;
};

std::string twoDigits(int value)
{
    return records::padLeft(std::to_string(value), 2, '0');
}

// A company's VAT number from the seven digits of its number and the three of its tax office.
std::string vatNumber(const std::string& number, const std::string& office)
{
    return number + office + registers::vatCheckDigit(number + office);
}

// The same number with the check digit of a slip of the keyboard: one more, modulo 10.
std::string withWrongCheckDigit(std::string vat)
{
    vat.back() = static_cast<char>('0' + (vat.back() - '0' + 1) % 10);
    return vat;
}

// The same code with the check letter of another: the next letter of the alphabet.
std::string withWrongCheckLetter(std::string code)
{
    code.back() = code.back() == 'Z' ? 'A' : static_cast<char>(code.back() + 1);
    return code;
}

struct Address {
    const char* street;
    const char* postcode;
    const char* municipality;
    const char* province;
};

// What a master record holds that is not particular to its kind.
struct Company {
    int number;
    const char* kind; // "0" individual, "1" company, "2" professional
    const char* name;
    const char* activity;
    std::string vat;
    const char* sector;
    const char* activityCode;
    const char* legalForm;
    Address address;
    const char* telephone;
    const char* email;
    const char* accounting; // "0" ordinary, "1" simplified
    const char* settlement; // "0" quarterly, "1" monthly
    const char* takings; // "0" none, "1" normal, "2" apportioned
    const char* personalization;
    const char* intermediary;
};

payroll::CompanyFields companyFields(const Company& c)
{
    payroll::CompanyFields f;
    f[1] = c.kind;
    f[2] = c.name;
    f[3] = c.vat;
    f[7] = c.activity;
    f[8] = c.vat;
    f[9] = c.sector;
    f[10] = c.activityCode;
    f[11] = c.legalForm;
    f[13] = c.accounting;
    f[14] = c.settlement;
    f[15] = "0";
    for (const int first : {16, 20}) {
        f[static_cast<std::size_t>(first)] = c.address.street;
        f[static_cast<std::size_t>(first + 1)] = c.address.postcode;
        f[static_cast<std::size_t>(first + 2)] = c.address.municipality;
        f[static_cast<std::size_t>(first + 3)] = c.address.province;
    }
    f[24] = c.telephone;
    f[25] = c.email;
    f[27] = "0";
    f[28] = c.takings;
    f[29] = c.personalization;
    f[30] = "1201";
    f[31] = "3401";
    f[32] = "1";
    f[33] = c.intermediary;
    f[34] = "0";
    return f;
}

// The fiscal code, sex, birth date and place of a person who runs the business.
void setOwner(payroll::CompanyFields& f, const Owner& owner, const std::string& birthDate)
{
    f[3] = fiscalCodeOf(owner.person);
    f[4] = std::string(1, owner.person.sex);
    f[5] = birthDate;
    f[6] = owner.municipality;
}

std::string birthDateOf(const Owner& owner)
{
    const Person& p = owner.person;
    return twoDigits(p.day) + twoDigits(p.month) + std::to_string(p.year);
}

DemoFile companyFile(int number, const payroll::CompanyFields& fields)
{
    for (int field = 1; field <= payroll::kCompanyFieldCount; ++field) {
        const std::string& text = fields[static_cast<std::size_t>(field)];
        if (text.size() > payroll::kCompanyFields[static_cast<std::size_t>(field)].length) {
            throw std::length_error("company register field " + std::to_string(field) + " \"" + text
                                    + "\" is too long");
        }
    }
    return {registers::companyFileName(kInstallation, number),
            records::fitRight(payroll::packCompanyRecord(fields), payroll::kCompanyFileRecordLength),
            static_cast<std::size_t>(payroll::kCompanyFileRecordLength)};
}

// A code list file: one record per entry, "$" and the entry; `unused` entries are kept
// without the mark, as the payroll suite leaves a code it no longer offers.
DemoFile listFile(std::string path, int recordLength, std::initializer_list<const char*> entries,
                  std::initializer_list<const char*> unused = {})
{
    std::string bytes;
    for (const char* entry : entries)
        bytes += records::fitRight("$" + std::string(entry), static_cast<std::size_t>(recordLength));
    for (const char* entry : unused)
        bytes += records::fitRight(" " + std::string(entry), static_cast<std::size_t>(recordLength));
    return {std::move(path), bytes, static_cast<std::size_t>(recordLength)};
}

constexpr Owner kBianchiOwner{kBianchi, "MILANO"};
constexpr Owner kFerreroOwner{kFerrero, "TORINO"};
constexpr Owner kDeLucaOwner{kDeLuca, "NAPOLI"};
constexpr Owner kMorettiOwner{{"MORETTI", "CHIARA", 'F', 3, 2, 1975, "G224"}, "PADOVA"};

void companyRegister(std::vector<DemoFile>& files)
{
    files.push_back(companyFile(1,
                                companyFields({1,
                                               "1",
                                               "EDILIZIA ROSSI COSTRUZIONI S.R.L.",
                                               "COSTRUZIONI EDILI",
                                               vatNumber("0853421", "001"),
                                               "F ",
                                               "412000",
                                               "2 ",
                                               {"CORSO FRANCIA 120", "10138", "TORINO", "TO"},
                                               "011745632",
                                               "amministrazione@ediliziarossi.it",
                                               "0",
                                               "1",
                                               "0",
                                               "01",
                                               "01"})));

    payroll::CompanyFields bar = companyFields({2,
                                                "0",
                                                "BIANCHI-MARIO",
                                                "BAR",
                                                vatNumber("0931726", "015"),
                                                "I ",
                                                "563000",
                                                "0 ",
                                                {"VIALE CAMPANIA 14", "20135", "MILANO", "MI"},
                                                "0254123987",
                                                "bar.bianchi@gmail.com",
                                                "1",
                                                "0",
                                                "1",
                                                "02",
                                                "01"});
    setOwner(bar, kBianchiOwner, birthDateOf(kBianchiOwner));
    files.push_back(companyFile(2, bar));

    payroll::CompanyFields ferrero = companyFields({3,
                                                    "2",
                                                    "FERRERO-GIORGIO",
                                                    "CONSULENTE DEL LAVORO",
                                                    vatNumber("0766543", "001"),
                                                    "M ",
                                                    "692014",
                                                    "0 ",
                                                    {"VIA GARIBALDI 45", "10122", "TORINO", "TO"},
                                                    "0113356127",
                                                    "studio.ferrero@consulentidellavoro.it",
                                                    "1",
                                                    "0",
                                                    "0",
                                                    "03",
                                                    "  "});
    setOwner(ferrero, kFerreroOwner, birthDateOf(kFerreroOwner));
    files.push_back(companyFile(3, ferrero));

    // The check digit of her VAT number was mistyped.
    payroll::CompanyFields deLuca = companyFields({4,
                                                   "2",
                                                   "DE LUCA-ANNA",
                                                   "CONSULENTE DEL LAVORO",
                                                   vatNumber("0612345", "063"),
                                                   "M ",
                                                   "692014",
                                                   "0 ",
                                                   {"VIA FORIA 218", "80137", "NAPOLI", "NA"},
                                                   "3391234567",
                                                   "studio.deluca@gmail.com",
                                                   "1",
                                                   "0",
                                                   "0",
                                                   "03",
                                                   "  "});
    setOwner(deLuca, kDeLucaOwner, birthDateOf(kDeLucaOwner));
    deLuca[8] = withWrongCheckDigit(deLuca[8]);
    files.push_back(companyFile(4, deLuca));

    files.push_back(companyFile(5,
                                companyFields({5,
                                               "1",
                                               "CENTRO STUDI AURORA S.R.L.",
                                               "FORMAZIONE PROFESSIONALE",
                                               vatNumber("0298765", "037"),
                                               "P ",
                                               "855920",
                                               "2 ",
                                               {"VIA INDIPENDENZA 8", "40121", "BOLOGNA", "BO"},
                                               "051234567",
                                               "segreteria@centroaurora.it",
                                               "0",
                                               "1",
                                               "0",
                                               "01",
                                               "  "})));

    files.push_back(companyFile(7,
                                companyFields({7,
                                               "1",
                                               "PANIFICIO ESPOSITO SNC",
                                               "PANIFICIO",
                                               vatNumber("0531278", "063"),
                                               "C ",
                                               "107110",
                                               "24",
                                               {"VIA FORIA 12", "80137", "NAPOLI", "NA"},
                                               "0814412876",
                                               "panificioesposito@libero.it",
                                               "1",
                                               "0",
                                               "1",
                                               "01",
                                               "02"})));

    // A hardware shop whose owner's birth date was typed as 30 February.
    payroll::CompanyFields moretti = companyFields({9,
                                                    "0",
                                                    "MORETTI-CHIARA",
                                                    "FERRAMENTA",
                                                    vatNumber("0412638", "028"),
                                                    "G ",
                                                    "475210",
                                                    "0 ",
                                                    {"VIA ROMA 21", "35122", "PADOVA", "PD"},
                                                    "049651234",
                                                    "ferramenta.moretti@gmail.com",
                                                    "1",
                                                    "0",
                                                    "1",
                                                    "02",
                                                    "01"});
    setOwner(moretti, kMorettiOwner, "30021975");
    files.push_back(companyFile(9, moretti));
}

void codeLists(std::vector<DemoFile>& files)
{
    files.push_back(listFile(kInstallation.drivePrefix + payroll::kActivityFile, payroll::kCodeTableRecordLength,
                             {"107110 PRODUZIONE DI PRODOTTI DI PANETTERIA FRESCHI",
                              "412000 COSTRUZIONE DI EDIFICI RESIDENZIALI E NON RESIDENZIALI",
                              "475210 COMMERCIO AL DETTAGLIO DI FERRAMENTA, VERNICI, VETRO PIANO",
                              "563000 BAR E ALTRI ESERCIZI SIMILI SENZA CUCINA",
                              "692014 ATTIVITA' SVOLTA DAI CONSULENTI DEL LAVORO",
                              "855920 CORSI DI FORMAZIONE E CORSI DI AGGIORNAMENTO PROFESSIONALE"},
                             {"524610 CODICE NON PIU' IN USO"}));
    files.push_back(listFile(
        kInstallation.drivePrefix + payroll::kIntermediaryFile, payroll::kCodeTableRecordLength,
        {"01 FERRERO GIORGIO - CONSULENTE DEL LAVORO - TORINO", "02 DE LUCA ANNA - CONSULENTE DEL LAVORO - NAPOLI"}));
    files.push_back(listFile(std::string("C:") + records::kCuDataFolder + "pecog.dat",
                             payroll::kAccountPersonalizationRecordLength,
                             {"PIANO DEI CONTI DELLE SOCIETA'", "PIANO DEI CONTI DELLE DITTE INDIVIDUALI",
                              "PIANO DEI CONTI DEI PROFESSIONISTI"}));
}

// The employees of company 9 in March 2016: a clerk, a warehouseman whose fiscal code was
// stored with a wrong check letter, a clerk who left in February (the record is no longer in
// use) and an apprentice.
void hardwareShopMonth(std::vector<DemoFile>& files)
{
    struct Employee {
        Person person;
        const char* qualification;
        const char* hiringDay;
        const char* hiringKind;
        const char* apprenticeship;
        char status;
    };
    const Employee employees[] = {
        {{"BERTOLDI", "SARA", 'F', 14, 7, 1990, "G224"}, "2", "", "", "", '$'},
        {{"ZANON", "PAOLO", 'M', 2, 11, 1987, "L736"}, "1", "", "", "", '$'},
        {{"FERRO", "LUCA", 'M', 30, 5, 1979, "G224"}, "2", "", "", "", ' '},
        {{"CARRARO", "GIULIA", 'F', 25, 3, 1998, "G224"}, "5", "01", "1 ", "APPB", '$'},
    };
    std::string bytes;
    for (const Employee& e : employees) {
        EmployeeFields f;
        f[1] = fiscalCodeOf(e.person);
        if (&e == &employees[1])
            f[1] = withWrongCheckLetter(f[1]);
        f[2] = e.person.surname;
        f[3] = e.person.name;
        f[4] = e.qualification;
        f[5] = "F"; // full time
        f[6] = "I"; // permanent
        f[7] = "    "; // normal contributions
        f[8] = "000"; // Italian
        f[9] = "G224";
        f[10] = "026";
        f[11] = "4000";
        f[13] = "1400";
        f[14] = e.hiringDay;
        f[15] = e.hiringKind;
        f[19] = "0";
        f[20] = e.apprenticeship;
        f[21] = e.qualification[0] == '5' ? "1150" : "1850";
        f[183] = "31";
        f[218] = "M";
        f[219] = "S";
        bytes += employeeRecord(f, e.status);
    }
    files.push_back({monthlyDataFile("unb", "009", "03"), bytes, kEmployeeRecordLength});
}

} // namespace

void addRegisterDemo(std::vector<DemoFile>& files)
{
    companyRegister(files);
    codeLists(files);
    hardwareShopMonth(files);
}

} // namespace demo
