// Two clerks on one register record: saves kept apart by the file's lock, and a record saved
// by another clerk since it was read never overwritten without the operator's choice.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <iostream>
#include <latch>
#include <string>
#include <thread>

#include "records/file_lock.h"
#include "records/host_paths.h"
#include "records/installation.h"
#include "records/text.h"
#include "registers/company_store.h"
#include "registers/employee_store.h"
#include "registers/fditta_form.h"
#include "registers/parteb1_form.h"
#include "registers/questions.h"
#include "testing/installation_values.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_root.h"

using namespace registers;
using records::fitRight;
using records::testing::RecordingLauncher;
using records::testing::ScriptedPrompter;
using records::testing::TempRoot;
namespace fs = std::filesystem;

namespace {

const std::string kCompanyFile = "c/nolv/nv770/2016/dati/7/dittg7.016";
const std::string kEmployees = "c/nolv/paghe/unb00903.016";

// A company's master record: "$", kind "1", name (34), VAT number (16) and, at 253, the
// phone (12), blanks to position 344, then what other programs keep (456).
std::string company(const std::string& name, const std::string& phone = "")
{
    return fitRight(fitRight("$1" + fitRight(name, 34) + "07643520567", 252) + fitRight(phone, 12), 344)
        + std::string(456, '#');
}

// "$", fiscal code (16), surname (24), name (20), blanks to the pay data of entry 21 at 126,
// blanks to 2000, as the payroll program writes it.
std::string employee(const std::string& surname, const std::string& pay = "2107.69")
{
    return fitRight(fitRight("$RSSMRA85T10A562S" + fitRight(surname, 24) + fitRight("MARIO", 20), 125) + fitRight(pay, 12),
                    2000);
}

// The same record as the register saves it: NULs after the last entry (1555-2000).
std::string savedEmployee(const std::string& surname, const std::string& pay = "2107.69")
{
    return employee(surname, pay).replace(1554, 446, std::string(446, '\0'));
}

payroll::CompanyFields companyFields(const std::string& name)
{
    payroll::CompanyFields fields;
    fields[1] = "1";
    fields[2] = name;
    fields[3] = "07643520567";
    return fields;
}

PersonalPart personalPart(const EmployeeRecord& shown, const std::string& surname)
{
    PersonalPart part;
    for (std::size_t k = 1; k <= 20; ++k)
        part.entries[k] = shown.entries[k];
    part.entries[2] = surname;
    part.payKind = shown.entries[218];
    part.post95 = shown.entries[219];
    part.operatingUnit = shown.entries[257];
    return part;
}

struct RegisterGuardTest : ::testing::Test {
    TempRoot root;
    records::PathMapper paths{root.path()};
    records::Installation installation{"C:", "C:\\nolv\\nv770\\2016\\dati\\", "2016"};
    CompanyStore companies{paths, installation};
    EmployeeStore employees{paths, "C:\\nolv\\paghe\\unb00903.016"};

    void SetUp() override
    {
        root.write(kCompanyFile, company("BIANCHI LAURA"));
        root.write(kEmployees, employee("ROSSI"));
    }
    std::vector<std::string> namesIn(const std::string& folder) const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(root.path() / folder))
            names.push_back(entry.path().filename().string());
        return names;
    }
};

// Each store's save of one record, as two clerks would make it with what they typed.
struct SaveOfOneRecord {
    const char* what;
    std::string file;       // below the root
    std::string fileName;   // installation notation
    std::string original;   // the record both clerks read
    std::string saved[2];   // the record as each clerk's save writes it
    std::function<std::function<StoreResult()>(RegisterGuardTest& test, int clerk)> prepare;
};

std::vector<SaveOfOneRecord> savesOfOneRecord()
{
    return {
        {"company", kCompanyFile, "C:\\nolv\\nv770\\2016\\dati\\\\7\\dittg7.016", company("BIANCHI LAURA"),
         {company("VERDI SNC"), company("NERI SAS")},
         [](RegisterGuardTest& test, int clerk) -> std::function<StoreResult()> {
             auto record = std::make_shared<CompanyRecord>(test.companies.load(test.companies.placeOf(7)));
             const std::string name = clerk == 0 ? "VERDI SNC" : "NERI SAS";
             return [&test, record, name] { return test.companies.save(*record, companyFields(name)); };
         }},
        {"employee", kEmployees, "C:\\nolv\\paghe\\unb00903.016", employee("ROSSI"),
         {savedEmployee("VERDI"), savedEmployee("NERI")},
         [](RegisterGuardTest& test, int clerk) -> std::function<StoreResult()> {
             auto shown = std::make_shared<EmployeeRecord>(test.employees.load(1));
             const PersonalPart part = personalPart(*shown, clerk == 0 ? "VERDI" : "NERI");
             return [&test, shown, part] { return test.employees.save(*shown, part); };
         }},
    };
}

} // namespace

TEST_F(RegisterGuardTest, ASaveWhileAnotherHoldsTheFileIsRefusedAndWritesNothing)
{
    for (const SaveOfOneRecord& c : savesOfOneRecord()) {
        SCOPED_TRACE(c.what);
        const std::function<StoreResult()> save = c.prepare(*this, 0);
        records::FileLock other;
        ASSERT_EQ(other.acquire(root.path() / c.file), records::FileLock::State::Held);
        const StoreResult refused = save();
        EXPECT_EQ(refused.outcome, StoreResult::Outcome::InUse);
        EXPECT_TRUE(refused.message.starts_with("Il file " + c.fileName + " e' in uso da ")) << refused.message;
        EXPECT_EQ(root.read(c.file), c.original);
        other.release();
        EXPECT_TRUE(save().ok());
        EXPECT_EQ(root.read(c.file), c.saved[0]);
        EXPECT_EQ(namesIn(fs::path(c.file).parent_path().string()),
                  std::vector<std::string>{fs::path(c.file).filename().string()});
    }
}

// Both clerks read the record, then save at once: one save stores its record, the other is
// refused (the file in use, or the record changed since it was read) and writes nothing.
TEST_F(RegisterGuardTest, TwoSavesOfOneRecordNeverBothStore)
{
    for (const SaveOfOneRecord& c : savesOfOneRecord()) {
        SCOPED_TRACE(c.what);
        int inUse = 0;
        int changed = 0;
        for (int round = 0; round < 100; ++round) {
            SCOPED_TRACE(round);
            root.write(c.file, c.original);
            const std::function<StoreResult()> saves[2] = {c.prepare(*this, 0), c.prepare(*this, 1)};
            StoreResult results[2];
            std::latch start(2);
            const auto save = [&](int k) {
                start.arrive_and_wait();
                results[k] = saves[k]();
            };
            std::thread other(save, 1);
            save(0);
            other.join();

            ASSERT_NE(results[0].ok(), results[1].ok());
            const int winner = results[0].ok() ? 0 : 1;
            const StoreResult& refused = results[1 - winner];
            EXPECT_EQ(root.read(c.file), c.saved[winner]);
            if (refused.outcome == StoreResult::Outcome::InUse) {
                ++inUse;
                EXPECT_TRUE(refused.message.starts_with("Il file " + c.fileName + " e' in uso da "));
            } else {
                ++changed;
                EXPECT_EQ(refused.outcome, StoreResult::Outcome::ChangedOnDisk);
                EXPECT_EQ(refused.storedRecord, c.saved[winner]);
            }
        }
        std::cout << "two saves of one " << c.what << " record, 100 rounds: the other save refused as in use " << inUse
                  << " times, as changed since read " << changed << " times\n";
    }
}

// What the payroll program changes outside the boxes is no conflict and stays; a boxed entry,
// the record deleted or taken out of use is.
TEST_F(RegisterGuardTest, AnEmployeeRecordChangedOutsideItsBoxesIsNoConflict)
{
    const struct {
        const char* what;
        std::string meanwhile;
        bool conflict;
        std::string stored; // what the disk holds after the save
    } cases[] = {
        {"pay data changed by the payroll program", employee("ROSSI", "2200.00"), false,
         savedEmployee("NERI", "2200.00")},
        {"surname changed by another clerk", employee("BRUNO"), true, employee("BRUNO")},
        {"deleted by another clerk", std::string(2000, '\0'), true, std::string(2000, '\0')},
        {"taken out of use", " " + employee("ROSSI").substr(1), true, " " + employee("ROSSI").substr(1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        root.write(kEmployees, employee("ROSSI"));
        EmployeeRecord shown = employees.load(1);
        root.write(kEmployees, c.meanwhile);
        const StoreResult result = employees.save(shown, personalPart(shown, "NERI"));
        EXPECT_EQ(result.outcome, c.conflict ? StoreResult::Outcome::ChangedOnDisk : StoreResult::Outcome::Done);
        EXPECT_EQ(result.storedRecord, c.conflict ? c.meanwhile : std::string());
        EXPECT_EQ(root.read(kEmployees), c.stored);
    }
}

// The company window asks, naming what the other clerk's record holds: Si' shows it, No
// writes the boxes over it, Annulla keeps the boxes and writes nothing.
TEST_F(RegisterGuardTest, TheCompanyWindowAsksWhoseRecordStays)
{
    const std::string question
        = "Il record e' stato salvato da un altro utente dopo che questa finestra lo ha letto. Ora contiene:\n"
          "Denominazione: VERDI SNC\n"
          "Telefono: 0612345678\n"
          "\nRicaricare il record salvato (Si'), sovrascriverlo con i dati di questa finestra (No) o tornare "
          "alla finestra senza salvare (Annulla) ?";
    const std::string theirs = company("VERDI SNC", "0612345678");
    const struct {
        records::Answer answer;
        std::string stored;
        std::string boxName;
    } cases[] = {
        {records::Answer::Yes, theirs, fitRight("VERDI SNC", 34)},
        {records::Answer::No, company("BIANCHI ROSSI"), "BIANCHI ROSSI"},
        {records::Answer::Cancel, theirs, "BIANCHI ROSSI"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.answer));
        root.write("c/disco.ute", "C:        ");
        root.write("c/WNOLV/anno1.dat", "2016      ");
        root.write(kCompanyFile, company("BIANCHI LAURA"));
        records::testing::InstallationValues shared{root.path()};
        ScriptedPrompter prompter;
        RecordingLauncher launcher;
        FDittaForm form{shared.workplace(prompter, launcher)};
        form.selectCompany(7);
        form.load();
        form.name.text = "BIANCHI ROSSI";
        root.write(kCompanyFile, theirs);

        prompter.answer(c.answer);
        EXPECT_EQ(form.saveAfterChecks(false), c.answer == records::Answer::No);
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(prompter.last().asked, kRecordChanged);
        EXPECT_EQ(prompter.last().title, "Modifica dei dati");
        EXPECT_EQ(prompter.last().icon, records::Icon::Question);
        EXPECT_EQ(prompter.last().text, question);
        EXPECT_EQ(root.read(kCompanyFile), c.stored);
        EXPECT_EQ(form.name.text, c.boxName);
    }
}

// The employee window the same way; a record deleted meanwhile is said to be.
TEST_F(RegisterGuardTest, TheEmployeeWindowAsksWhoseRecordStays)
{
    const struct {
        const char* what;
        std::string theirs;
        std::string told;
    } cases[] = {
        {"saved", employee("BRUNO"), "Cognome: BRUNO\n"},
        {"deleted", std::string(2000, '\0'), "(il record e' stato cancellato)\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        root.write("c/disco.ute", "C:        ");
        root.write("c/WNOLV/anno1.dat", "2016      ");
        root.write(kEmployees, employee("ROSSI"));
        records::testing::InstallationValues shared{root.path()};
        EmployeeFileChoice employees;
        employees.selectedDataFile = "C:\\nolv\\paghe\\una00903.016";
        employees.recordCount = 1;
        employees.dataAreaSelector = kPagheArea;
        ScriptedPrompter prompter;
        RecordingLauncher launcher;
        Parteb1Form form{shared.workplace(prompter, launcher), employees};
        form.load();
        form.surname.text = "VERDI";
        root.write(kEmployees, c.theirs);

        prompter.answer(records::Answer::Yes);
        EXPECT_FALSE(form.save());
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(prompter.last().asked, kRecordChanged);
        EXPECT_NE(prompter.last().text.find("Ora contiene:\n" + c.told + "\nRicaricare"), std::string::npos)
            << prompter.last().text;
        // Reloaded: the boxes show what the disk holds, which stays as the other clerk left it.
        EXPECT_EQ(root.read(kEmployees), c.theirs);
        EXPECT_EQ(form.surname.text, records::fitRight(c.theirs.substr(17, 24), 24));
    }
}
