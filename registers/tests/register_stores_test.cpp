#include <gtest/gtest.h>

#include <filesystem>

#include "records/host_paths.h"
#include "records/installation.h"
#include "records/text.h"
#include "registers/company_store.h"
#include "registers/employee_store.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_root.h"

using namespace registers;
using records::fitRight;
using records::testing::ScriptedPrompter;
using records::testing::TempRoot;

namespace {

const std::string kData = "c/nolv/nv770/2016/dati/";
const std::string kEmployees = "c/nolv/paghe/unb00903.016";

// The stores are used without any window: an operator who is never shown anything.
struct RegisterStoresTest : ::testing::Test {
    TempRoot root;
    records::PathMapper paths{root.path()};
    ScriptedPrompter prompter;
    records::Installation installation{"C:", "C:\\nolv\\nv770\\2016\\dati\\", "2016"};
    CompanyStore companies{paths, installation};

    void TearDown() override { EXPECT_TRUE(prompter.shown.empty()) << prompter.texts().at(0); }
};

// The master record of an individual employer, field by field as the register lays it out:
// "$", kind (1), name (34), fiscal code (16), sex (1), birth date (8), birth place (24),
// activity (24), VAT number (11), fields 9 to 23 (132 characters, blank here), phone (12),
// email (50), fields 26 to 33 (29, blank), field 34 (1): 344 characters.
const std::string kRossi = "$" "0" + fitRight("ROSSI-MARIO", 34) + "RSSMRA85T10A562S" "M" "10121985"
    + fitRight("SAN GIOVANNI ROTONDO", 24) + fitRight("FALEGNAMERIA", 24) + "07643520567" + std::string(132, ' ')
    + fitRight("0612345678", 12) + fitRight("mario@example.it", 50) + std::string(29, ' ') + "1";

payroll::CompanyFields rossiFields()
{
    payroll::CompanyFields fields;
    fields[1] = "0";
    fields[2] = "ROSSI-MARIO";
    fields[3] = "RSSMRA85T10A562S";
    fields[4] = "M";
    fields[5] = "10121985";
    fields[6] = "SAN GIOVANNI ROTONDO";
    fields[7] = "FALEGNAMERIA";
    fields[8] = "07643520567";
    fields[24] = "0612345678";
    fields[25] = "mario@example.it";
    fields[34] = "1";
    return fields;
}

} // namespace

TEST_F(RegisterStoresTest, ACompanySavedIsReadBackByteForByte)
{
    ASSERT_EQ(kRossi.size(), 344u);
    std::filesystem::create_directories(root.path() / kData / "7");
    CompanyRecord record = companies.load(companies.placeOf(7));
    EXPECT_EQ(record.state, CompanyRecord::State::Absent); // a new company: nothing read, nothing made
    EXPECT_FALSE(std::filesystem::exists(root.path() / kData / "7/dittg7.016"));

    // The new record is completed with blanks to the 800 characters of the company files.
    ASSERT_TRUE(companies.save(record, rossiFields()).ok());
    EXPECT_EQ(root.read(kData + "7/dittg7.016"), kRossi + std::string(456, ' '));
    EXPECT_EQ(companies.companies(), (std::vector<int>{7}));

    const CompanyRecord again = companies.load(companies.placeOf(7));
    EXPECT_TRUE(again.readWhole());
    EXPECT_TRUE(again.inUse);
    EXPECT_EQ(again.fields[2], fitRight("ROSSI-MARIO", 34));
    EXPECT_EQ(again.fields[25], fitRight("mario@example.it", 50));
    EXPECT_EQ(payroll::packCompanyRecord(again.fields), kRossi);

    // Over a stored record what lies after position 344 belongs to other programs and stays;
    // blanking keeps the mark.
    root.write(kData + "7/dittg7.016", std::string(344, 'x') + std::string(456, '#'));
    CompanyRecord stored = companies.load(companies.placeOf(7));
    ASSERT_TRUE(companies.save(stored, rossiFields()).ok());
    EXPECT_EQ(root.read(kData + "7/dittg7.016"), kRossi + std::string(456, '#'));
    ASSERT_TRUE(companies.blank(stored).ok());
    EXPECT_EQ(root.read(kData + "7/dittg7.016"), "$" + std::string(343, ' ') + std::string(456, '#'));
    EXPECT_EQ(companies.companyName(7), "");
}

TEST_F(RegisterStoresTest, ARecordNotReadWholeIsRefusedAndTheFileStaysAsItWas)
{
    const std::string whole = kRossi + std::string(456, '#');
    const struct {
        const char* what;
        std::string bytes;
        std::int64_t record;
        CompanyRecord::State state;
        std::string readMessage;
    } cases[] = {
        {"one byte short", whole.substr(0, 799), 1, CompanyRecord::State::Unread,
         "Errore di lettura tipo  62 nel file binario C:\\nolv\\nv770\\2016\\dati\\\\4\\dittg4.016 al record  1"},
        {"the second record cut short", whole + whole.substr(0, 400), 2, CompanyRecord::State::Unread,
         "Errore di lettura tipo  62 nel file binario C:\\nolv\\nv770\\2016\\dati\\\\4\\dittg4.016 al record  2"},
        // Past the end there is nothing to lose: the read says so, and a save makes the record.
        {"past the end", whole, 2, CompanyRecord::State::Absent,
         "Errore di lettura tipo  62 nel file binario C:\\nolv\\nv770\\2016\\dati\\\\4\\dittg4.016 al record  2"},
    };
    for (const auto& c : cases) {
        root.write(kData + "4/dittg4.016", c.bytes);
        CompanyRecordPlace place = companies.placeOf(4);
        place.recordNumber = c.record;
        CompanyRecord record = companies.load(place);
        EXPECT_EQ(record.state, c.state) << c.what;
        EXPECT_EQ(record.read.outcome, StoreResult::Outcome::FileFailed) << c.what;
        EXPECT_EQ(record.read.error, 62) << c.what;
        EXPECT_EQ(record.read.message, c.readMessage) << c.what;
        EXPECT_EQ(record.fields[2], "") << c.what;

        const StoreResult saved = companies.save(record, rossiFields());
        if (c.state == CompanyRecord::State::Absent) {
            EXPECT_TRUE(saved.ok()) << c.what;
            EXPECT_EQ(root.read(kData + "4/dittg4.016"), whole + kRossi + std::string(456, ' ')) << c.what;
            continue;
        }
        EXPECT_EQ(saved.outcome, StoreResult::Outcome::NotReadWhole) << c.what;
        EXPECT_EQ(saved.message, "Il record della ditta non e' stato letto per intero: nessuna modifica salvata ");
        EXPECT_EQ(companies.blank(record).outcome, StoreResult::Outcome::NotReadWhole) << c.what;
        EXPECT_EQ(root.read(kData + "4/dittg4.016"), c.bytes) << c.what;
    }
}

TEST_F(RegisterStoresTest, TheScanListsFilesAndTheCheckAlsoWhatCannotBeRead)
{
    root.write(kData + "1/dittg1.016", kRossi + std::string(456, ' '));
    root.write(kData + "3/dittg3.015", kRossi + std::string(456, ' ')); // another year
    std::filesystem::create_directories(root.path() / kData / "5/dittg5.016");
    std::filesystem::create_directories(root.path() / kData / "12");
    std::filesystem::create_symlink("nowhere", root.path() / kData / "12/dittg12.016");

    EXPECT_EQ(companies.companies(), (std::vector<int>{1}));
    EXPECT_EQ(companies.companiesNamed(), (std::vector<int>{1, 5, 12}));
    EXPECT_EQ(companies.companyName(1), "ROSSI-MARIO");

    const CompanyRecord read = companies.inspect(1);
    EXPECT_TRUE(read.readWhole());
    EXPECT_EQ(read.fields[3], "RSSMRA85T10A562S");
    const CompanyRecord folder = companies.inspect(5);
    EXPECT_EQ(folder.state, CompanyRecord::State::Unread);
    EXPECT_EQ(folder.read.message,
              "Errore tipo  75 nell'apertura del  file binarioC:\\nolv\\nv770\\2016\\dati\\\\5\\dittg5.016");
    const CompanyRecord dangling = companies.inspect(12);
    EXPECT_EQ(dangling.read.error, 53);
    EXPECT_EQ(companies.inspect(3).state, CompanyRecord::State::Absent);
    // A check never makes a file.
    EXPECT_FALSE(std::filesystem::exists(root.path() / kData / "3/dittg3.016"));
    EXPECT_TRUE(std::filesystem::is_symlink(root.path() / kData / "12/dittg12.016"));
}

namespace {

// An employee record: fiscal code (2-17), surname (18-41), name (42-61), the coded part up
// to position 125 blank, the pay data from 126 on and a mark of another program's after the
// last entry (1555-2000).
std::string employee(const std::string& fiscalCode, const std::string& surname, const std::string& name)
{
    const std::string record = "$" + fiscalCode + fitRight(surname, 24) + fitRight(name, 20);
    return fitRight(fitRight(record, 125) + "     2107.69", 1554) + std::string(446, '#');
}

const std::string kVerdi = employee("VRDLCU80A41F205N", "VERDI", "LUCIA");
const std::string kNeri = employee("NRELSN75M12H501X", "NERI", "ALESSANDRO");
const std::string kBruno = employee("BRNPLA90B10L219Q", "BRUNO", "PAOLA");
const std::string kDeleted(2000, '\0');

} // namespace

TEST_F(RegisterStoresTest, AnEmployeeDeletedIsSkippedByTheList)
{
    root.write(kEmployees, kVerdi + kNeri + kBruno);
    EmployeeStore employees(paths, "C:\\nolv\\paghe\\unb00903.016");
    EXPECT_EQ(employees.recordsInFile(), 3);

    ASSERT_TRUE(employees.remove(2).ok());
    EXPECT_EQ(root.read(kEmployees), kVerdi + kDeleted + kBruno);

    const EmployeeList listed = employees.list(3);
    EXPECT_TRUE(listed.opened.ok());
    ASSERT_EQ(listed.records.size(), 2u);
    EXPECT_EQ(listed.records[0].record, 1);
    EXPECT_EQ(listed.records[0].fiscalCode, "VRDLCU80A41F205N");
    EXPECT_EQ(listed.records[0].surname, fitRight("VERDI", 24));
    EXPECT_EQ(listed.records[1].record, 3);
    EXPECT_EQ(listed.records[1].name, fitRight("PAOLA", 20));

    // A record the file does not hold is not made up, and nothing is written.
    const StoreResult beyond = employees.remove(4);
    EXPECT_EQ(beyond.error, 62);
    EXPECT_EQ(beyond.message, "Errore di lettura tipo  62 nel file binario C:\\nolv\\paghe\\unb00903.016 al record  4");
    EXPECT_EQ(root.read(kEmployees), kVerdi + kDeleted + kBruno);
}

TEST_F(RegisterStoresTest, AnEmployeesPersonalPartIsSavedInPlaceAndARecordCutShortIsRefused)
{
    root.write(kEmployees, kVerdi + kNeri.substr(0, 1500));
    EmployeeStore employees(paths, "C:\\nolv\\paghe\\unb00903.016");

    EmployeeRecord shown = employees.load(1);
    ASSERT_TRUE(shown.whole);
    EXPECT_EQ(shown.entries[21], "     2107.69");
    PersonalPart part;
    for (int k = 1; k <= 20; ++k)
        part.entries[static_cast<std::size_t>(k)] = shown.entries[static_cast<std::size_t>(k)];
    part.entries[2] = "verdi bianchi";
    part.entries[4] = "2";
    part.post95 = "s";
    part.operatingUnit = "12";
    part.payKind = "m";
    ASSERT_TRUE(employees.save(shown, part).ok());
    // Upper case, each text in its place (qualification at 62, pay kind and regime at 1382 and
    // 1383, operating unit at 1461-1466), NULs after the last entry.
    std::string saved = kVerdi;
    saved.replace(17, 24, fitRight("VERDI BIANCHI", 24));
    saved.replace(61, 2, "2 ");
    saved.replace(1381, 2, "MS");
    saved.replace(1460, 6, "12    ");
    saved.replace(1554, 446, std::string(446, '\0'));
    EXPECT_EQ(root.read(kEmployees), saved + kNeri.substr(0, 1500));
    EXPECT_EQ(shown.entries[2], fitRight("VERDI BIANCHI", 24));

    // The second record is cut short: it is read as not whole, with the read's failure, and
    // no save writes over it, even once the file has been completed.
    EmployeeRecord cut = employees.load(2);
    EXPECT_FALSE(cut.whole);
    EXPECT_EQ(cut.read.message, "Errore di lettura tipo  62 nel file binario C:\\nolv\\paghe\\unb00903.016 al record  2");
    root.write(kEmployees, saved + kNeri);
    const StoreResult refused = employees.save(cut, part);
    EXPECT_EQ(refused.outcome, StoreResult::Outcome::NotReadWhole);
    EXPECT_EQ(refused.message, "Il record del dipendente non e' stato letto per intero: nessuna modifica salvata ");
    EXPECT_EQ(root.read(kEmployees), saved + kNeri);

    // A file that is not there is said to be missing and never made.
    EmployeeStore missing(paths, "C:\\nolv\\paghe\\unb00403.016");
    const EmployeeList none = missing.list(3);
    EXPECT_EQ(none.opened.outcome, StoreResult::Outcome::FileMissing);
    EXPECT_EQ(none.opened.message, "Archivio inesistente C:\\nolv\\paghe\\unb00403.016");
    EXPECT_EQ(missing.remove(1).outcome, StoreResult::Outcome::FileMissing);
    EXPECT_FALSE(std::filesystem::exists(root.path() / "c/nolv/paghe/unb00403.016"));
}
