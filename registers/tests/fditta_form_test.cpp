#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

#include "records/text.h"
#include "registers/fditta_form.h"
#include "registers/questions.h"
#include "testing/file_size_limit.h"
#include "testing/installation_values.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_root.h"

using namespace registers;
using records::fitRight;
using records::testing::RecordingLauncher;
using records::testing::ScriptedPrompter;
using records::testing::TempRoot;

namespace {

const std::string kData = "d/nolv/nv770/2016/dati/";

// A company record as the payroll suite stores it, field by field (positions 2 to 344).
std::string sampleRecord()
{
    return "$" + std::string("0") + fitRight("BIANCHI LAURA", 34) + "BNCLRA90C52F205S" + "F" + "12031990"
        + fitRight("MILANO", 24) + fitRight("24 ORE ABBIGLIAMENTO", 24) + "07643520567" + "G " + "471410" + "0 "
        + "5242" + "1" + "0" + fitRight("0", 6) + fitRight("VIA ROMA 1", 24) + "20100" + fitRight("MILANO", 24) + "MI"
        + fitRight("VIA DANTE 2", 24) + "20121" + fitRight("MILANO", 24) + "MI" + fitRight("0212345678", 12)
        + fitRight("laura@example.it", 50) + "000" + fitRight("0", 12) + "1" + "01" + "1201" + "3401" + "1" + "05"
        + "0";
}

// Records of 800 characters: what lies after position 344 belongs to other programs.
std::string slot(const std::string& record, char tail = '#')
{
    return record + std::string(800 - record.size(), tail);
}

std::string municipality(const std::string& code, const std::string& name)
{
    return fitRight("$" + code + "     " + fitRight(name, 24) + "MI20100", 200);
}

class FakeListWindow : public CodeListWindow {
public:
    std::optional<std::string> choose(CodeList list, const std::vector<std::string>& entries) override
    {
        shownList = list;
        shownEntries = entries;
        if (pick < 0)
            return std::nullopt;
        return entries.at(static_cast<std::size_t>(pick));
    }
    int pick = -1;
    CodeList shownList{};
    std::vector<std::string> shownEntries;
};

struct FDittaFormTest : ::testing::Test {
    TempRoot root;
    records::testing::InstallationValues shared{root.path()};
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
    FDittaForm form{shared.workplace(prompter, launcher)};

    void SetUp() override
    {
        root.write("c/disco.ute", "D:        ");
        root.write("d/WNOLV/anno1.dat", "2016      ");
    }
    std::string companyFile(int n) const
    {
        return kData + std::to_string(n) + "/dittg" + std::to_string(n) + ".016";
    }
    void writeCompany(int n, const std::string& bytes) const { root.write(companyFile(n), bytes); }
};

} // namespace

TEST_F(FDittaFormTest, LoadShowsTheRecordAndListsTheCompaniesOfTheYear)
{
    writeCompany(12, slot(sampleRecord()));
    writeCompany(7, slot(sampleRecord()));
    writeCompany(1, slot(sampleRecord()));
    root.write(kData + "3/altro.txt", "");               // a folder without a company file
    root.write(kData + "2/dittg2.015", slot(sampleRecord())); // another year
    form.selectCompany(7);
    form.load();

    EXPECT_EQ(form.companies, (std::vector<int>{1, 7, 12}));
    EXPECT_EQ(form.fileName(), "D:\\nolv\\nv770\\2016\\dati\\\\7\\dittg7.016");
    EXPECT_EQ(form.fiscalCode.text, "BNCLRA90C52F205S");
    EXPECT_EQ(form.email.text, fitRight("laura@example.it", 50));
    EXPECT_EQ(form.field34.text, "0");
    EXPECT_EQ(form.birthDay.text + "|" + form.birthMonth.text + "|" + form.birthYear.text, "12|03|1990");
    EXPECT_EQ(form.kindDescription, "Ditta individuale");
    EXPECT_EQ(form.accountingDescription, "Semplificata");
    EXPECT_EQ(form.settlementDescription, "Trimestrale");
    EXPECT_EQ(form.takingsDescription, "Normali");
    EXPECT_EQ(form.field32Description, "Gestite");
    EXPECT_EQ(form.field34Description, "Non gestito");
    EXPECT_TRUE(prompter.shown.empty());

    form.boxEntered(16);
    EXPECT_EQ(form.statusText, "Indicare via e n\xB0 civico relativi al domiclio fiscale");
    EXPECT_EQ(form.taxAddress.text, "VIA ROMA 1");
    form.showStatus("altro");
    form.showHelp(0); // no help of its own: the last one again
    EXPECT_EQ(form.statusText, "Indicare via e n\xB0 civico relativi al domiclio fiscale");
    form.kind.text = "1";
    form.boxChanged(1);
    EXPECT_EQ(form.kindDescription, "Societ\xE0");
    form.kind.text = "5";
    form.boxChanged(1);
    EXPECT_EQ(form.kindDescription, "Societ\xE0");
}

TEST_F(FDittaFormTest, F9SavesOnlyTheRecordSlotWithEveryFieldInItsPlace)
{
    const std::string first = std::string(800, '1');
    const std::string third = std::string(800, '3');
    writeCompany(4, first + slot(sampleRecord()) + third);
    form.selectRecord("D:\\nolv\\nv770\\2016\\dati\\4\\dittg4.016", 800, 2);
    form.load();

    // The box has the focus, so it holds its text without the blanks: the record must not shift.
    form.boxEntered(2);
    form.name.text = "ROSSI SRL";
    form.boxChanged(2);
    form.boxKeyPressed(2, BoxKey::F9);

    std::string expected = slot(sampleRecord());
    expected.replace(2, 34, fitRight("ROSSI SRL", 34));
    EXPECT_EQ(root.read(companyFile(4)), first + expected + third);
    EXPECT_TRUE(prompter.shown.empty()); // F9 asks nothing
}

TEST_F(FDittaFormTest, LeavingTheFiscalCodeFillsTheBirthDataOfAWoman)
{
    root.write("d/tabcom/comuni.dat", municipality("H501", "ROMA") + municipality("L219", "TORINO")
                                          + municipality("F205", "MILANO"));
    writeCompany(1, slot(fitRight("$0", 344)));
    form.selectCompany(1);
    form.load();

    form.fiscalCode.text = "BNCLRA90C52F205S";
    form.boxChanged(3);
    form.boxLeft(3);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(form.sex.text, "F");
    EXPECT_EQ(form.birthPlace.text, fitRight("MILANO", 24));
    EXPECT_EQ(form.birthDay.text + "|" + form.birthMonth.text + "|" + form.birthYear.text, "12|03|1990");

    // The lookup went through record 3 of the table; the save still goes to record 1.
    prompter.answer(true);
    form.saveRecord();
    const std::string stored = root.read(companyFile(1));
    ASSERT_EQ(stored.size(), 800u);
    EXPECT_EQ(stored.substr(0, 61), "$0" + std::string(34, ' ') + "BNCLRA90C52F205S" + "F" + "12031990");
    EXPECT_EQ(stored.substr(61, 24), fitRight("MILANO", 24));
    EXPECT_EQ(stored.substr(344), std::string(456, '#'));
}

TEST_F(FDittaFormTest, ACompanysCodeIsCheckedAsAVatNumberAndOnlyARightOneGoesToBox8)
{
    // A company whose VAT number 07643520567 is stored in box 8.
    std::string record = fitRight("$1", 344);
    record.replace(109, 11, "07643520567");
    writeCompany(1, slot(record));
    form.selectCompany(1);
    form.load();

    const struct {
        std::string typed;   // into box 3
        std::string message; // shown on leaving it
        std::string box8;    // afterwards
    } cases[] = {
        // A wrong check digit (7 is the right one), a person's fiscal code, "no code".
        {"07643520560",
         "Codice fiscale: la partita IVA non e' corretta. Con le prime dieci cifre indicate, l'ultima (la cifra di "
         "controllo) dovrebbe essere 7.",
         "07643520567"},
        {"BNCLRA90C52F205S", "Codice fiscale: la partita IVA deve avere 11 cifre, senza lettere ne' spazi.",
         "07643520567"},
        {"0", "", "07643520567"},
        // The right number of another company is taken over.
        {"01114601006", "", "01114601006"},
    };
    for (const auto& c : cases) {
        prompter.shown.clear();
        form.fiscalCode.text = c.typed;
        form.boxLeft(3);
        EXPECT_EQ(prompter.texts(), c.message.empty() ? std::vector<std::string>{}
                                                      : std::vector<std::string>{c.message})
            << c.typed;
        EXPECT_EQ(form.checks().lastCheckFailed, c.message.empty() ? 0 : 1) << c.typed;
        EXPECT_EQ(form.vatNumber.text, c.box8) << c.typed;
        EXPECT_EQ(form.fields[8], c.box8) << c.typed;
    }
}

TEST_F(FDittaFormTest, TheBirthDateIsCheckedAndTheDescriptionIsNot)
{
    writeCompany(1, slot(fitRight("$0", 344)));
    form.selectCompany(1);
    form.load();

    form.activityDescription.text = "24 ORE SERVIZI";
    form.boxLeft(7);
    EXPECT_TRUE(prompter.shown.empty());

    form.birthDay.text = "5";
    form.birthDayLeft();
    form.birthMonth.text = "3";
    form.birthMonthLeft();
    form.birthYear.text = "1990";
    form.birthYearLeft();
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(form.birthDate.text, "05031990");

    form.birthDay.text = "29";
    form.birthDateChanged();
    form.birthMonth.text = "02";
    form.birthDateChanged();
    form.birthYear.text = "1900";
    form.birthYearLeft();
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Data di nascita: la data non esiste. Indicare giorno, "
                                                          "mese e anno di una data del calendario (es. 30 05 1992)."}));

    form.birthDate.text = "31042016";
    form.boxLeft(5);
    EXPECT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(form.birthYear.text, "2016");
}

TEST_F(FDittaFormTest, NoAndEscWriteNothingBlankingKeepsTheMarkAndEmptiesEveryField)
{
    writeCompany(1, slot(sampleRecord()));
    form.selectCompany(1);
    form.load();

    form.boxKeyPressed(34, BoxKey::Enter);
    EXPECT_EQ(form.focusRequest, 1);
    form.boxKeyPressed(1, BoxKey::Up);
    EXPECT_EQ(form.focusRequest, 1);

    form.name.text = "ALTRO NOME";
    prompter.answer(false);
    form.saveRecord();
    prompter.answer(false);
    form.blankRecord();
    EXPECT_EQ(root.read(companyFile(1)), slot(sampleRecord()));

    prompter.answer(true);
    form.blankRecord();
    EXPECT_EQ(root.read(companyFile(1)), slot("$" + std::string(343, ' ')));
    EXPECT_EQ(form.name.text, std::string(34, ' '));
    EXPECT_EQ(form.kindDescription, "");
    ASSERT_EQ(prompter.shown.size(), 5u);
    EXPECT_EQ(prompter.shown[3].text,
              "ATTENZIONE: questa operazione canceller\xE0 il record. Per annullarla, cliccare <NO> nella successiva "
              "richiesta di modifica dati. Cliccare <OK> per continuare.");
    EXPECT_EQ(prompter.shown[4].asked, registers::kConfirmChange);

    // Esc leaves edits only after the question, answered No here.
    form.name.text = "ALTRO NOME";
    prompter.answer(records::Answer::No);
    form.boxKeyPressed(2, BoxKey::Escape);
    EXPECT_EQ(prompter.last().asked, registers::kSaveEdits);
    EXPECT_FALSE(form.visible);
    EXPECT_EQ(root.read(companyFile(1)), slot("$" + std::string(343, ' ')));
}

TEST_F(FDittaFormTest, ASaveThatFailsLeavesTheStoredFileAsItWas)
{
    writeCompany(1, slot(sampleRecord()));
    form.selectRecord("D:\\nolv\\nv770\\2016\\dati\\1\\dittg1.016", 800, 2);
    form.load();
    prompter.shown.clear(); // record 2 is not there yet: the read message

    // The file may grow by 100 bytes only: the write of record 2 stops half way.
    const bool saved = [&] {
        const records::testing::FileSizeLimit limit(900);
        return form.save();
    }();

    EXPECT_FALSE(saved);
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{
                                    "Errore di scrittura tipo  61 nel file binario "
                                    "D:\\nolv\\nv770\\2016\\dati\\1\\dittg1.016 al record  2"}));
    EXPECT_EQ(root.read(companyFile(1)), slot(sampleRecord()));

    // A file that cannot be opened: its message, and no second one for a write.
    std::filesystem::create_directories(root.path() / kData / "9/dittg9.016");
    prompter.shown.clear();
    form.openCompany(9);
    EXPECT_FALSE(form.save());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text.rfind("Errore tipo ", 0), 0u);
}

TEST_F(FDittaFormTest, CodeListsFillTheirFieldWithTheChosenCode)
{
    root.write(kData + "pecog.dat", fitRight("$CONTI STANDARD", 600) + fitRight(" VECCHIO", 600)
                                          + fitRight("$CONTI COMMERCIO", 600));
    root.write("d/wnolv/coge/ateco.dat", fitRight("$471410COMMERCIO AL DETTAGLIO DI ABBIGLIAMENTO", 200)
                                             + fitRight("*999999SOSPESO", 200));
    writeCompany(1, slot(sampleRecord()));
    FakeListWindow list;
    form.setCodeListWindow(&list);
    form.selectCompany(1);
    form.load();

    list.pick = 28;
    form.chooseCode(CodeList::LegalForm);
    ASSERT_EQ(list.shownEntries.size(), 44u);
    EXPECT_EQ(list.shownEntries[0], "0  Ditte individuali");
    EXPECT_EQ(list.shownEntries[29], "---Soggetti non residenti----");
    EXPECT_EQ(list.shownEntries[43], "43 Altre organizz.di persone e beni");
    EXPECT_EQ(form.legalForm.text, "28");

    list.pick = 1;
    form.chooseCode(CodeList::AccountPersonalization);
    EXPECT_EQ(list.shownEntries, (std::vector<std::string>{"01 CONTI STANDARD", "03 CONTI COMMERCIO"}));
    EXPECT_EQ(form.accountPersonalization.text, "03");

    list.pick = 0;
    form.chooseCode(CodeList::Activity);
    EXPECT_EQ(list.shownEntries, (std::vector<std::string>{"471410COMMERCIO AL DETTAGLIO DI ABBIGLIAMENTO"}));
    EXPECT_EQ(form.fields[10], "471410");

    list.pick = -1; // nothing chosen: the box keeps its code
    form.chooseCode(CodeList::Intermediary);
    EXPECT_TRUE(list.shownEntries.empty());
    EXPECT_EQ(form.intermediary.text, "05");
    EXPECT_FALSE(std::filesystem::exists(root.path() / "d/wnolv/tabcom/soggetto.dat"));
}

// Each coded field shows the words of its code beside the box: from the tables of the
// program as the installation corrects them, and from the suite's own lists.
TEST_F(FDittaFormTest, CodedFieldsShowTheWordsOfTheirCodesAsTheInstallationHasThem)
{
    root.write(kData + "pecog.dat", fitRight("$CONTI STANDARD", 600) + fitRight("$CONTI COMMERCIO", 600));
    root.write("d/wnolv/coge/ateco.dat", fitRight("$471410COMMERCIO AL DETTAGLIO DI ABBIGLIAMENTO", 200));
    root.write("d/wnolv/tabcom/soggetto.dat",
               fitRight("$05 ROSSI MARIO - CONSULENTE DEL LAVORO", 200) + fitRight("$07", 200));
    // The office's table of legal forms: new words for code 0, a new code, a line it cannot take.
    root.write("d/wnolv/tabcom/codici/natura_giuridica.txt",
               "0|Impresa individuale\n44|Forma nuova\n45 Senza separatore\n");
    std::string record = sampleRecord();
    record.replace(330, 2, "02"); // account personalization 2
    writeCompany(1, slot(record));
    FakeListWindow list;
    form.setCodeListWindow(&list);
    form.selectCompany(1);
    form.load();

    EXPECT_EQ(form.sectorWords, "COMMERCIO ALL'INGROSSO E AL DETTAGLIO; RIPARAZIONE DI AUTOVEICOLI E MOTOCICLI");
    EXPECT_EQ(form.activityCodeWords, "COMMERCIO AL DETTAGLIO DI ABBIGLIAMENTO");
    EXPECT_EQ(form.legalFormWords, "Impresa individuale");
    EXPECT_EQ(form.personalizationWords, "CONTI COMMERCIO");
    EXPECT_EQ(form.intermediaryWords, "ROSSI MARIO - CONSULENTE DEL LAVORO");
    // The line that could not be taken is named once, in the status line, never in a box.
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(form.statusText, "Tabelle dei codici: D:\\wnolv\\tabcom\\codici\\natura_giuridica.txt, riga 3: manca "
                               "il separatore \"|\" tra codice e descrizione; riga non usata");
    form.boxEntered(2);
    EXPECT_EQ(form.statusText.rfind("Indicare la denominazione", 0), 0u);

    // "per azioni": the box takes the code, the words stand beside it.
    list.pick = 1;
    form.chooseCode(CodeList::LegalForm);
    EXPECT_EQ(list.shownEntries.front(), "0  Impresa individuale");
    EXPECT_EQ(list.shownEntries.back(), "44 Forma nuova");
    EXPECT_EQ(form.legalForm.text, "1 ");
    EXPECT_EQ(form.legalFormWords, "Societ\xE0 in accomandita per azioni");

    // A code that its list does not hold says so; an empty field says nothing.
    form.activityCode.text = "999999";
    form.boxChanged(10);
    EXPECT_EQ(form.activityCodeWords, "Codice non presente nell'elenco");
    form.sector.text = "  ";
    form.boxChanged(9);
    EXPECT_EQ(form.sectorWords, "");
    // A code its list holds without words has none to show, and is no unknown code.
    form.intermediary.text = "07";
    form.boxChanged(33);
    EXPECT_EQ(form.intermediaryWords, "");
}

TEST_F(FDittaFormTest, ANewCompanyStartsBlankAndIsSavedAsAWholeRecord)
{
    std::filesystem::create_directories(root.path() / kData / "5");
    form.selectCompany(5);
    form.load();
    EXPECT_TRUE(prompter.shown.empty()); // no file yet: nothing to read, nothing created
    EXPECT_FALSE(std::filesystem::exists(root.path() / companyFile(5)));
    EXPECT_EQ(form.name.text, "");

    form.kind.text = "1";
    form.name.text = "NUOVA SRL";
    form.vatNumber.text = "07643520567";
    // Box 3 is empty, which is no VAT number: F9 asks before it stores that.
    prompter.answer(true);
    form.boxKeyPressed(2, BoxKey::F9);
    ASSERT_EQ(prompter.texts(), (std::vector<std::string>{"Il campo Codice fiscale non ha superato il controllo "
                                                          "(Codice FORMALMENTE errato). Salvare comunque ?"}));
    prompter.shown.clear();
    const std::string expected = "$1" + fitRight("NUOVA SRL", 34) + std::string(73, ' ') + "07643520567";
    EXPECT_EQ(root.read(companyFile(5)), fitRight(expected, 800));

    FDittaForm again{shared.workplace(prompter, launcher)};
    again.openCompany(5);
    EXPECT_EQ(again.name.text, fitRight("NUOVA SRL", 34));
    EXPECT_EQ(again.kindDescription, "Societ\xE0");
    EXPECT_TRUE(prompter.shown.empty());
}

namespace {

const std::string kUnreadRecord = "Il record della ditta non e' stato letto per intero: nessuna modifica salvata ";
const std::string kSaveEditsText = "Salvare le modifiche al record ?";

// `record` with `text` written over it from the 1-based position.
std::string with(std::string record, std::size_t position, const std::string& text)
{
    return record.replace(position - 1, text.size(), text);
}

} // namespace

TEST_F(FDittaFormTest, ARecordThatWasNotReadWholeIsNeverWrittenBack)
{
    // Company 1's file is one byte short of its record; company 2's file holds its first
    // record whole and only 400 characters of the second.
    const std::string oneByteShort = slot(sampleRecord()).substr(0, 799);
    const std::string halfSecond = slot(sampleRecord()) + slot(sampleRecord()).substr(0, 400);
    writeCompany(1, oneByteShort);
    writeCompany(2, halfSecond);
    const struct {
        int company;
        double record;
        std::string bytes;
    } cases[] = {{1, 1, oneByteShort}, {2, 2, halfSecond}};

    for (const auto& c : cases) {
        FDittaForm f{shared.workplace(prompter, launcher)};
        f.selectRecord("D:\\nolv\\nv770\\2016\\dati\\" + std::to_string(c.company) + "\\dittg"
                           + std::to_string(c.company) + ".016",
                       800, c.record);
        prompter.shown.clear();
        f.load();
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(prompter.shown[0].text.rfind("Errore di lettura tipo ", 0), 0u);
        EXPECT_EQ(f.name.text, "");

        // One phone number typed: no way of saving stores it over the fields not shown.
        f.phone.text = "0212345678";
        prompter.shown.clear();
        EXPECT_FALSE(f.saveRecord());
        f.boxKeyPressed(24, BoxKey::F9);
        f.blankRecord();
        ASSERT_EQ(prompter.shown.size(), 3u) << c.company;
        for (const auto& shown : prompter.shown) {
            EXPECT_EQ(shown.text, kUnreadRecord);
            EXPECT_EQ(shown.title, "Accesso");
            EXPECT_EQ(shown.icon, records::Icon::Stop);
            EXPECT_FALSE(shown.question);
        }
        EXPECT_FALSE(f.save());

        // Si' to the question on leaving cannot save either: the window stays, with the edit.
        prompter.answer(records::Answer::Yes);
        f.boxKeyPressed(24, BoxKey::Escape);
        EXPECT_TRUE(f.visible);
        EXPECT_EQ(prompter.last().text, kUnreadRecord);
        EXPECT_EQ(f.phone.text, "0212345678");
        prompter.answer(records::Answer::No);
        f.boxKeyPressed(24, BoxKey::Escape);
        EXPECT_FALSE(f.visible);
        EXPECT_EQ(root.read(companyFile(c.company)), c.bytes) << c.company;
    }
}

TEST_F(FDittaFormTest, ASaveThatFailsOnANewCompanyLeavesNoFileBehind)
{
    std::filesystem::create_directories(root.path() / kData / "5");
    form.selectCompany(5);
    form.load();
    form.kind.text = "1";
    form.name.text = "NUOVA SRL";
    form.fiscalCode.text = "07643520567";
    bool saved = true;
    {
        // The new file may not grow beyond 100 bytes: the record cannot be written.
        const records::testing::FileSizeLimit limit(100);
        prompter.answer(true);
        saved = form.saveRecord();
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Conferma ", "Errore di scrittura tipo  61 nel file binario "
                                                                       "D:\\nolv\\nv770\\2016\\dati\\\\5\\dittg5.016 "
                                                                       "al record  1"}));
    EXPECT_FALSE(std::filesystem::exists(root.path() / companyFile(5)));
    form.scanCompanies();
    EXPECT_TRUE(form.companies.empty());

    // Once the disk takes it, the same boxes are saved.
    form.boxKeyPressed(2, BoxKey::F9);
    EXPECT_EQ(root.read(companyFile(5)), fitRight("$1" + fitRight("NUOVA SRL", 34) + "07643520567", 800));
}

TEST_F(FDittaFormTest, ACodeThatFailsItsCheckIsStoredOnlyAfterTheQuestionForItsBox)
{
    const struct {
        const char* what;
        int box; // 3, 5 (the three date boxes) or 8
        std::string typed;
        std::string kind;
        std::string question;
    } cases[] = {
        {"fiscal code, wrong check letter", 3, "BNCLRA90C52F205X", "0",
         "Il campo Codice fiscale non ha superato il controllo (Codice errato: il cin e'   S). Salvare comunque ?"},
        {"fiscal code in lower case", 3, "bnclra90c52f205s", "2",
         "Il campo Codice fiscale non ha superato il controllo (Codice FORMALMENTE errato). Salvare comunque ?"},
        {"a person's code as a company's VAT number", 3, "BNCLRA90C52F205S", "1",
         "Il campo Codice fiscale non ha superato il controllo (Codice FORMALMENTE errato). Salvare comunque ?"},
        {"29 February 1900", 5, "29021900", "0",
         "Il campo Data di nascita non ha superato il controllo (La data inserita e' errata). Salvare comunque ?"},
        {"VAT number, wrong check digit", 8, "07643520560", "0",
         "Il campo Partita IVA non ha superato il controllo (Codice errato: il cin e'    7). Salvare comunque ?"},
    };
    const std::size_t positions[] = {0, 0, 0, 37, 0, 54, 0, 0, 110};
    for (const auto& c : cases) {
        writeCompany(1, slot(sampleRecord()));
        FDittaForm f{shared.workplace(prompter, launcher)};
        f.selectCompany(1);
        f.load();
        f.kind.text = c.kind;
        if (c.box == 5) {
            f.birthDay.text = c.typed.substr(0, 2);
            f.birthMonth.text = c.typed.substr(2, 2);
            f.birthYear.text = c.typed.substr(4);
        } else {
            f.box(c.box).text = c.typed;
        }

        // "Salva" and F9 ask the question instead of "Conferma "; No stores nothing.
        prompter.shown.clear();
        prompter.answer(false);
        EXPECT_FALSE(f.saveRecord()) << c.what;
        prompter.answer(false);
        f.boxKeyPressed(2, BoxKey::F9);
        ASSERT_EQ(prompter.shown.size(), 2u) << c.what;
        for (const auto& shown : prompter.shown) {
            EXPECT_EQ(shown.text, c.question) << c.what;
            EXPECT_EQ(shown.title, "Modifica dei dati");
            EXPECT_EQ(shown.icon, records::Icon::Question);
            EXPECT_EQ(shown.asked, registers::kSaveDespiteCheck);
        }
        EXPECT_EQ(root.read(companyFile(1)), slot(sampleRecord())) << c.what;

        // Yes stores the box as it stands.
        prompter.answer(true);
        EXPECT_TRUE(f.saveRecord()) << c.what;
        EXPECT_EQ(prompter.shown.size(), 3u) << c.what;
        const std::string stored = with(with(slot(sampleRecord()), 2, c.kind),
                                        positions[c.box], c.typed);
        EXPECT_EQ(root.read(companyFile(1)), stored) << c.what;
    }

    // Two boxes fail: each is asked for in turn, and one No stores nothing.
    writeCompany(1, slot(sampleRecord()));
    form.selectCompany(1);
    form.load();
    form.fiscalCode.text = "BNCLRA90C52F205X";
    form.vatNumber.text = "07643520560";
    prompter.shown.clear();
    prompter.answer(true);
    prompter.answer(false);
    form.boxKeyPressed(3, BoxKey::F9);
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[1].text.rfind("Il campo Partita IVA ", 0), 0u);
    EXPECT_EQ(root.read(companyFile(1)), slot(sampleRecord()));
    prompter.answer(true);
    prompter.answer(true);
    EXPECT_TRUE(form.saveRecord());
    EXPECT_EQ(prompter.shown.size(), 4u); // no "Conferma " after them
    EXPECT_EQ(root.read(companyFile(1)),
              with(with(slot(sampleRecord()), 37, "BNCLRA90C52F205X"), 110, "07643520560"));
}

TEST_F(FDittaFormTest, EditsAreNotLeftBehindWithoutAQuestion)
{
    writeCompany(1, slot(sampleRecord()));
    writeCompany(2, slot(with(sampleRecord(), 3, fitRight("VERDI SNC", 34))));
    form.selectCompany(1);
    form.load();
    // Entering and leaving a box takes its blanks away and back: no edit.
    form.boxEntered(2);
    form.boxLeft(2);
    form.boxEntered(25);
    EXPECT_FALSE(form.edited());
    form.boxKeyPressed(25, BoxKey::Escape);
    EXPECT_FALSE(form.visible);
    EXPECT_TRUE(prompter.shown.empty());

    FDittaForm f{shared.workplace(prompter, launcher)};
    f.selectCompany(1);
    f.load();
    f.phone.text = "0698765432";
    f.boxChanged(24);
    EXPECT_TRUE(f.edited());

    // Annulla: Esc, the exit button and another company all leave everything as it was.
    for (int i = 0; i < 3; ++i)
        prompter.answer(records::Answer::Cancel);
    f.windowKeyPressed(BoxKey::Escape);
    EXPECT_FALSE(f.close());
    EXPECT_FALSE(f.openCompany(2));
    ASSERT_EQ(prompter.shown.size(), 3u);
    for (const auto& shown : prompter.shown) {
        EXPECT_EQ(shown.text, kSaveEditsText);
        EXPECT_EQ(shown.title, "Modifica dei dati");
        EXPECT_EQ(shown.icon, records::Icon::Question);
        EXPECT_EQ(shown.asked, registers::kSaveEdits);
        EXPECT_TRUE(shown.cancelOffered);
    }
    EXPECT_TRUE(f.visible);
    EXPECT_FALSE(f.closeRequested);
    EXPECT_EQ(f.fileName(), "D:\\nolv\\nv770\\2016\\dati\\\\1\\dittg1.016");
    EXPECT_EQ(f.phone.text, "0698765432");
    EXPECT_EQ(root.read(companyFile(1)), slot(sampleRecord()));

    // Si' saves as F9 does: a box that fails its check is asked for, and No keeps the window.
    f.vatNumber.text = "07643520560";
    prompter.shown.clear();
    prompter.answer(records::Answer::Yes);
    prompter.answer(false);
    EXPECT_FALSE(f.close());
    EXPECT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[1].asked, registers::kSaveDespiteCheck);
    EXPECT_EQ(root.read(companyFile(1)), slot(sampleRecord()));
    // ... and Yes stores it, without "Conferma ", and the window closes.
    prompter.answer(records::Answer::Yes);
    prompter.answer(true);
    EXPECT_TRUE(f.close());
    EXPECT_EQ(prompter.shown.size(), 4u);
    const std::string saved = with(with(slot(sampleRecord()), 110, "07643520560"), 253, "0698765432  ");
    EXPECT_EQ(root.read(companyFile(1)), saved);

    // No: the other company is shown, and the edits are gone.
    FDittaForm g{shared.workplace(prompter, launcher)};
    g.selectCompany(1);
    g.load();
    g.name.text = "ALTRO NOME";
    prompter.answer(records::Answer::No);
    EXPECT_TRUE(g.openCompany(2));
    EXPECT_EQ(g.name.text, fitRight("VERDI SNC", 34));
    EXPECT_FALSE(g.edited());
    EXPECT_EQ(root.read(companyFile(1)), saved);
}
