#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "app/cli.h"
#include "demo/demo_installation.h"
#include "payroll/code_tables.h"
#include "records/file_result.h"
#include "records/text.h"
#include "registers/company_files.h"
#include "registers/company_store.h"
#include "registers/employee_code_lists.h"
#include "registers/employee_files.h"
#include "registers/fditta_form.h"
#include "registers/parteb1_form.h"
#include "testing/installation_values.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_root.h"

using records::testing::RecordingLauncher;
using records::testing::ScriptedPrompter;
using records::testing::TempRoot;

namespace {

struct RegisterDemoTest : ::testing::Test {
    TempRoot root;
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
    records::testing::InstallationValues shared{root.path()};
    records::Workplace workplace{shared.workplace(prompter, launcher)};

    void SetUp() override { demo::writeDemoInstallation(root.path()); }
};

} // namespace

TEST_F(RegisterDemoTest, AnagraficheFindsExactlyTheThreePlantedFaults)
{
    std::ostringstream out, err;
    EXPECT_EQ(app::cli::main({"telematico-cli", "anagrafiche", "--root", root.path().string()}, out, err), 1);
    // The check digit of 0612345063 is 4: odd places 0+1+3+5+6 = 15, even places doubled
    // (less 9 above 9) 3+4+8+0+6 = 21, 10 - 36 mod 10. ZNNPLA87S02L736 counts 115 at its odd
    // places and 49 at its even ones: 164 mod 26 = 8, the letter "I".
    EXPECT_EQ(out.str(),
              "C:\\nolv\\nv770\\2016\\dati\\\\4\\dittg4.016 record 1 campo 8: Codice errato: il cin e'    4\n"
              "C:\\nolv\\nv770\\2016\\dati\\\\9\\dittg9.016 record 1 campo 5: La data inserita e' errata\n"
              "C:\\nolv\\paghe\\unb00903.016 record 2 campo 1: Codice errato: il cin e'   I\n"
              "Controllate 22 anagrafiche, 3 errori\n");
    EXPECT_EQ(err.str(), "");
}

TEST_F(RegisterDemoTest, TheCompanyWindowFindsTheCompaniesTheirListsAndTheBirthDataOfTheOwner)
{
    records::showFailures(prompter, registers::completeInstallation(shared.paths, shared.installation));
    std::vector<std::pair<int, std::string>> companies;
    for (const registers::CompanyChoice& choice : registers::CompanyStore(shared.paths, shared.installation).choices())
        companies.emplace_back(choice.company, choice.name);
    EXPECT_EQ(companies,
              (std::vector<std::pair<int, std::string>>{{1, "EDILIZIA ROSSI COSTRUZIONI S.R.L."},
                                                        {2, "BIANCHI-MARIO"},
                                                        {3, "FERRERO-GIORGIO"},
                                                        {4, "DE LUCA-ANNA"},
                                                        {5, "CENTRO STUDI AURORA S.R.L."},
                                                        {7, "PANIFICIO ESPOSITO SNC"},
                                                        {9, "MORETTI-CHIARA"}}));

    registers::FDittaForm form(workplace);
    form.selectCompany(9);
    form.load();
    EXPECT_EQ(form.kindDescription, "Ditta individuale");
    EXPECT_EQ(form.birthDay.text + form.birthMonth.text + form.birthYear.text, "30021975");
    form.boxLeft(5);
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Data di nascita: la data non esiste. Indicare giorno, mese "
                                                          "e anno di una data del calendario (es. 30 05 1992)."}));
    // The fiscal code MRTCHR75B43G224K tells the true date: day 43 - 40 of February, a woman,
    // born in Padova.
    form.boxLeft(3);
    EXPECT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(form.birthDay.text + form.birthMonth.text + form.birthYear.text, "03021975");
    EXPECT_EQ(form.sex.text, "F");
    EXPECT_EQ(records::trim(form.birthPlace.text), "PADOVA");

    struct Pick : registers::CodeListWindow {
        std::vector<std::string> shown;
        std::optional<std::string> choose(registers::CodeList, const std::vector<std::string>& entries) override
        {
            shown = entries;
            return entries.back();
        }
    } pick;
    form.setCodeListWindow(&pick);
    form.chooseCode(registers::CodeList::Activity);
    EXPECT_EQ(pick.shown.size(), 6u); // the code no longer in use is not offered
    EXPECT_EQ(form.activityCode.text, "855920");
    form.chooseCode(registers::CodeList::Intermediary);
    EXPECT_EQ(form.intermediary.text, "02");
    form.chooseCode(registers::CodeList::AccountPersonalization);
    EXPECT_EQ(pick.shown.back(), "03 PIANO DEI CONTI DEI PROFESSIONISTI");
    EXPECT_EQ(form.accountPersonalization.text, "03");
}

TEST_F(RegisterDemoTest, TheEmployeeWindowOffersTheMonthsAndListsTheEmployeesInUse)
{
    records::showFailures(prompter, registers::completeInstallation(shared.paths, shared.installation));
    const std::vector<registers::EmployeeFileChoice> files
        = registers::scanEmployeeFiles(shared.paths, shared.installation);
    // March: the building firm and the bakery with their company data files, company 009 of
    // the register with an employee file only; April: the restaurant, the chemist's and the
    // cancellation.
    ASSERT_EQ(files.size(), 6u);
    EXPECT_EQ(files[0].companyName, "EDILIZIA ROSSI COSTRUZIONI S.R.L."); // from its company data file
    const auto moretti = std::find_if(files.begin(), files.end(),
                                      [](const registers::EmployeeFileChoice& f) { return f.company == "009"; });
    ASSERT_NE(moretti, files.end());
    EXPECT_EQ(moretti->month, "03");
    EXPECT_EQ(moretti->companyName, "MORETTI-CHIARA"); // from the company register
    EXPECT_EQ(moretti->recordCount, 4);

    registers::Parteb1Form form(workplace, *moretti);
    form.load();
    EXPECT_EQ(form.employeeItems,
              (std::vector<std::string>{" 1BERTOLDI SARA                ", " 2ZANON PAOLO               ",
                                        " 4CARRARO GIULIA              "}));
    form.chooseEmployee(1);
    EXPECT_EQ(form.fiscalCode.text, "ZNNPLA87S02L736J");
    EXPECT_TRUE(prompter.shown.empty());
}

// Every code that the demo's registers hold is shown with its words in the employee and the
// company window, but for three that no source describes: the worker type "0", which the
// table has without words, and the contribution type "0000" and statistical worker type
// "NFLE" of the April cook, which the payroll suite's lists do not hold.
TEST_F(RegisterDemoTest, EveryCodeOfTheDemoIsShownInWords)
{
    records::showFailures(prompter, registers::completeInstallation(shared.paths, shared.installation));
    std::set<std::string> undescribed;
    std::set<std::string> unlisted;
    std::size_t codesSeen = 0;
    for (const registers::EmployeeFileChoice& file : registers::scanEmployeeFiles(shared.paths, shared.installation)) {
        registers::Parteb1Form form(workplace, file);
        form.load();
        for (std::size_t employee = 0; employee < form.employeeRecords.size(); ++employee) {
            form.chooseEmployee(static_cast<int>(employee));
            for (int list = 1; list <= registers::Parteb1Form::kCodeListCount; ++list) {
                const registers::EmployeeCodeList& codes = registers::employeeCodeList(list);
                const std::string code(records::trim(form.box(codes.box).text));
                if (code.empty())
                    continue;
                ++codesSeen;
                const registers::CodeChoice& shown = form.list(list);
                if (shown.index < 0)
                    unlisted.insert(std::to_string(list) + ":" + code);
                else if (shown.items[static_cast<std::size_t>(shown.index)].ends_with(payroll::kNoDescription))
                    undescribed.insert(std::to_string(list) + ":" + code);
            }
        }
    }
    EXPECT_GT(codesSeen, 50u); // the employees of six files, nine lists each
    EXPECT_EQ(undescribed, (std::set<std::string>{"8:0"}));
    EXPECT_EQ(unlisted, (std::set<std::string>{"4:0000", "9:NFLE"}));

    for (const int company : registers::CompanyStore(shared.paths, shared.installation).companies()) {
        registers::FDittaForm form(workplace);
        form.selectCompany(company);
        form.load();
        const std::pair<int, const std::string*> coded[] = {
            {9, &form.sectorWords},           {10, &form.activityCodeWords},   {11, &form.legalFormWords},
            {29, &form.personalizationWords}, {33, &form.intermediaryWords},
        };
        for (const auto& [field, words] : coded) {
            if (records::trim(form.box(field).text).empty())
                continue;
            EXPECT_FALSE(words->empty()) << company << " " << field;
            EXPECT_NE(*words, "Codice non presente nell'elenco") << company << " " << field;
        }
    }
    EXPECT_TRUE(prompter.shown.empty());
}
