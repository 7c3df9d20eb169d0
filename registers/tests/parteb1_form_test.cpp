#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <memory>
#include <sys/resource.h>

#include "records/text.h"
#include "registers/parteb1_form.h"
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

const std::string kPaghe = "c/nolv/paghe/unb00903.016";
const std::string kPagmar = "c/nolv/pagmar/unb00903.016";

// The coded part of an employee record, positions 62 to 125: qualifications 1 to 3 (2 each),
// contribution type, citizenship, municipality, contract (4 each), hours, part-time
// percentage, monthly payments (6 each), hiring day and kind (2 each), INPS number (10),
// termination day and reason, worker type (2 each), statistical worker type (4).
std::string coded(const std::vector<std::string>& texts)
{
    const std::size_t widths[] = {2, 2, 2, 4, 4, 4, 4, 6, 6, 6, 2, 2, 10, 2, 2, 2, 4};
    std::string part;
    for (std::size_t i = 0; i < std::size(widths); ++i)
        part += fitRight(texts.at(i), widths[i]);
    return part;
}

// An employee record as the payroll program writes it: blanks in the fields it left empty,
// the pay data of entry 21 (126-137), entries 215-217 (1363-1381), 218 and 219 (1382,
// 1383), 257 (1461-1466), and a mark of another program's after the last entry (1555-2000).
std::string employee(const std::string& fiscalCode, const std::string& surname, const std::string& name,
                     const std::string& codedPart, const std::string& payKind, const std::string& post95)
{
    std::string record = "$" + fiscalCode + fitRight(surname, 24) + fitRight(name, 20) + codedPart;
    record += fitRight("2107.69", 12);
    record = fitRight(record, 1362) + "INC1" + "ENT" + fitRight("150.00", 12) + payKind + post95;
    record = fitRight(record, 1460) + "000004";
    return fitRight(record, 1554) + std::string(446, '#');
}

const std::string kRossi = employee(
    "RSSMRA85T10A562S", "ROSSI", "MARIO",
    coded({"1", "F", "I", "", "000", "L219", "011", "4000", "", "1300", "", "", "", "", "", "0", ""}), "M", "S");
const std::string kBianchi = employee("BNCLRA90C52F205S", "BIANCHI", "LAURA",
                                      coded({"2", "P", "D", "J0", "201", "F205", "063", "2000", "5000", "1400", "01",
                                             "1", "8112345678", "", "", "AT", "APPB"}),
                                      "G", "N");
const std::string kDeleted(2000, '\0');

struct Parteb1FormTest : ::testing::Test {
    TempRoot root;
    records::testing::InstallationValues shared{root.path()};
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
    std::unique_ptr<Parteb1Form> form;
    // The company and month the window opens on, as its opener hands them over.
    EmployeeFileChoice employees;

    void SetUp() override
    {
        root.write("c/disco.ute", "C:        ");
        root.write("c/WNOLV/anno1.dat", "2016      ");
        root.write(kPaghe, kRossi + kDeleted + kBianchi);
        employees.selectedDataFile = "C:\\nolv\\paghe\\una00903.016";
        employees.recordCount = 3;
        employees.dataAreaSelector = kPagheArea;
    }
    Parteb1Form& load()
    {
        form = std::make_unique<Parteb1Form>(shared.workplace(prompter, launcher), employees);
        form->load();
        return *form;
    }
    std::string comboText(int combo) const
    {
        const CodeChoice& box = form->list(combo);
        return box.index < 0 ? std::string("<none>") : box.items[static_cast<std::size_t>(box.index)];
    }
    int itemOf(int combo, const std::string& item) const
    {
        const auto& items = form->list(combo).items;
        const auto found = std::find(items.begin(), items.end(), item);
        return found == items.end() ? -1 : static_cast<int>(found - items.begin());
    }
    std::vector<std::string> boxes() const
    {
        std::vector<std::string> texts;
        for (int k = 1; k <= Parteb1Form::kBoxCount; ++k)
            texts.push_back(form->box(k).text);
        return texts;
    }
    // Overwrites `text` at a 1-based position of `record`.
    static std::string with(std::string record, std::size_t position, const std::string& text)
    {
        return record.replace(position - 1, text.size(), text);
    }
};

} // namespace

TEST_F(Parteb1FormTest, LoadListsTheRecordsInUseAndShowsTheFirstWithItsCodes)
{
    Parteb1Form& f = load();
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(f.employeeItems,
              (std::vector<std::string>{" 1ROSSI MARIO               ", " 3BIANCHI LAURA               "}));
    EXPECT_EQ(f.companyCode.text, "009");
    EXPECT_EQ(f.workingYear.text, "2016");
    EXPECT_EQ(f.recordBox.text, "1");
    EXPECT_EQ(f.statusText, " Seleziona l'azione tramite i pulsanti");
    EXPECT_EQ(boxes(),
              (std::vector<std::string>{"RSSMRA85T10A562S",
                                        fitRight("ROSSI", 24),
                                        fitRight("MARIO", 20),
                                        "1 ",
                                        "F ",
                                        "I ",
                                        "    ",
                                        "000 ",
                                        "L219",
                                        "011 ",
                                        "4000  ",
                                        "      ",
                                        "1300  ",
                                        "  ",
                                        "  ",
                                        "          ",
                                        "  ",
                                        "  ",
                                        "0 ",
                                        "    ",
                                        "S",
                                        "000004",
                                        "M"}));
    EXPECT_EQ(f.employeeShown, fitRight("ROSSI", 24) + " " + fitRight("MARIO", 20));
    // Blank codes show the items that say "none"; four blanks show "Normale".
    EXPECT_EQ(comboText(1), "1  Operaio");
    EXPECT_EQ(comboText(4), "    Normale");
    EXPECT_EQ(comboText(5), "000 Italia");
    EXPECT_EQ(comboText(6), "   Nessuna indicazione");
    EXPECT_EQ(comboText(7), "   Nessuna indicazione");
    EXPECT_EQ(comboText(9), "     Nessuna indicazione");

    // Choosing the second employee of the list shows record 3 and its codes.
    f.chooseEmployee(1);
    EXPECT_EQ(f.recordNumber, 3);
    EXPECT_EQ(f.recordBox.text, "3");
    EXPECT_TRUE(f.focusToNext);
    EXPECT_EQ(f.fiscalCode.text, "BNCLRA90C52F205S");
    EXPECT_EQ(comboText(2), "P  Tempo parziale");
    EXPECT_EQ(comboText(3), "D  Tempo determinato o contratto a termine");
    EXPECT_EQ(comboText(4), "J0   (descrizione non disponibile)");
    EXPECT_EQ(comboText(5), "201 Albania");
    EXPECT_EQ(comboText(6), "1  Assunzione");
    EXPECT_EQ(comboText(8), "AT (descrizione non disponibile)");
    EXPECT_EQ(comboText(9), "APPB Apprendistato professionalizzante,Contratto di mestiere");
}

// The office's tables: a new code and new words are in the lists and shown with the record's
// codes; a line that cannot be taken is named once in the status line and changes nothing.
TEST_F(Parteb1FormTest, TheInstallationsTablesAddCodesAndWordsAndTheirFaultsAreNamedOnce)
{
    root.write("c/wnolv/tabcom/codici/tipo_lavoratore.txt",
               "# tabella dell'ufficio\n0|Dipendente senza tipo particolare\nQ9|Codice nuovo\nAT Senza separatore\n");
    root.write("c/wnolv/tabcom/codici/tipo_contribuzione.txt", "J0|Parole dell'ufficio\n");
    Parteb1Form& f = load();
    EXPECT_EQ(comboText(8), "0  Dipendente senza tipo particolare");
    EXPECT_EQ(f.list(8).items.back(), "Q9 Codice nuovo");
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(f.statusText, "Tabelle dei codici: C:\\wnolv\\tabcom\\codici\\tipo_lavoratore.txt, riga 4: manca il "
                            "separatore \"|\" tra codice e descrizione; riga non usata");
    EXPECT_EQ(f.codeTableFile(8), "C:\\wnolv\\tabcom\\codici\\tipo_lavoratore.txt");

    f.chooseEmployee(1);
    EXPECT_EQ(comboText(4), "J0   Parole dell'ufficio");
    EXPECT_EQ(comboText(8), "AT (descrizione non disponibile)");
    // Named once: the next record has its own status line.
    EXPECT_EQ(f.statusText, " Seleziona l'azione tramite i pulsanti");
    f.chooseCode(8, itemOf(8, "Q9 Codice nuovo"));
    EXPECT_EQ(f.workerType.text, "Q9");
}

TEST_F(Parteb1FormTest, NavigationStaysWithinTheRecordsAndRecoTakesWholeNumbersOnly)
{
    Parteb1Form& f = load();
    f.previousRecord();
    EXPECT_EQ(f.recordNumber, 1);
    f.nextRecord();
    f.nextRecord();
    EXPECT_EQ(f.recordNumber, 3);
    f.nextRecord();
    EXPECT_EQ(f.recordNumber, 3);
    EXPECT_EQ(records::trim(f.surname.text), "BIANCHI");

    f.recordBox.text = "1.5";
    f.recordNumberTyped();
    EXPECT_EQ(f.recordNumber, 3);
    f.recordBox.text = "1";
    f.recordNumberTyped();
    EXPECT_EQ(f.recordNumber, 1);
    EXPECT_EQ(records::trim(f.surname.text), "ROSSI");
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(Parteb1FormTest, ACountBeyondTheFileReadsOnlyWhatIsThereAndAMissingFileIsNotMade)
{
    employees.recordCount = 1'000'000;
    EXPECT_EQ(load().recordCount, 3);
    EXPECT_EQ(form->employeeItems.size(), 2u);
    EXPECT_TRUE(prompter.shown.empty());

    employees.selectedDataFile = "C:\\nolv\\paghe\\una00403.016";
    load();
    EXPECT_TRUE(form->closeRequested);
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Archivio inesistente C:\\nolv\\paghe\\unb00403.016"}));
    EXPECT_FALSE(std::filesystem::exists(root.path() / "c/nolv/paghe/unb00403.016"));
}

TEST_F(Parteb1FormTest, SaveWritesOnlyItsSlotInUpperCaseWithNulsAfterTheLastEntry)
{
    Parteb1Form& f = load();
    f.boxEntered(2);
    EXPECT_EQ(f.surname.text, "ROSSI");
    EXPECT_EQ(f.statusText, " Cognome");
    f.surname.text = "verdi";
    f.boxLeft(2);
    EXPECT_EQ(f.surname.text, fitRight("verdi", 24));
    f.chooseCode(1, itemOf(1, "A  Atipica ex INPDAI"));
    f.chooseCode(8, itemOf(8, "SC Lavoratore dello spettacolo o dello sport"));
    f.post95.text = "n";
    f.operatingUnit.text = "12";
    f.payKind.text = "g";

    prompter.answer(false);
    f.saveRecord();
    EXPECT_EQ(root.read(kPaghe), kRossi + kDeleted + kBianchi);

    prompter.answer(true);
    f.saveRecord();
    EXPECT_EQ(prompter.shown.back().asked, registers::kConfirmChange);
    EXPECT_EQ(prompter.shown.back().title, "Modifica dei dati");
    EXPECT_EQ(prompter.shown.back().text, "Conferma ");
    EXPECT_TRUE(f.focusToNext);

    std::string saved = with(kRossi, 18, "VERDI" + std::string(19, ' '));
    saved = with(saved, 62, "A ");
    saved = with(saved, 120, "SC");
    saved = with(saved, 1382, "GN");
    saved = with(saved, 1461, "12    ");
    saved = with(saved, 1555, std::string(446, '\0'));
    EXPECT_EQ(root.read(kPaghe), saved + kDeleted + kBianchi);
    EXPECT_EQ(f.surname.text, fitRight("VERDI", 24));

    // F9 in a box saves without asking; Restore takes the boxes back from the record.
    f.name.text = "ANNA";
    f.boxKeyPressed(3, BoxKey::F9);
    EXPECT_EQ(root.read(kPaghe), with(saved, 42, fitRight("ANNA", 20)) + kDeleted + kBianchi);
    f.name.text = "LUCIA";
    f.restoreBoxes();
    EXPECT_EQ(f.name.text, fitRight("ANNA", 20));
}

TEST_F(Parteb1FormTest, DeleteAsksTwiceAndLeavesNulsThatTheNextLoadSkips)
{
    Parteb1Form& f = load();
    f.chooseEmployee(1);

    prompter.answer(false);
    f.deleteRecord();
    EXPECT_EQ(prompter.shown[0].text,
              " Attenzione.. hai scelto di cancellare il record  3  Se non sei sicuro di questa scelta pressa NO nella "
              "successiva richiesta di modifica dati. Intanto pressa OK per continuare.");
    EXPECT_FALSE(prompter.shown[0].question);
    EXPECT_EQ(prompter.shown[1].asked, registers::kConfirmDelete);
    EXPECT_FALSE(f.closeRequested);
    EXPECT_EQ(root.read(kPaghe), kRossi + kDeleted + kBianchi);

    prompter.answer(true);
    f.deleteRecord();
    EXPECT_EQ(root.read(kPaghe), kRossi + kDeleted + kDeleted);
    // The form stays on the employee left, and says which record went.
    EXPECT_FALSE(f.closeRequested);
    EXPECT_EQ(f.employeeItems, (std::vector<std::string>{" 1ROSSI MARIO               "}));
    EXPECT_EQ(f.recordNumber, 1);
    EXPECT_EQ(records::trim(f.surname.text), "ROSSI");
    EXPECT_EQ(f.statusText, "Cancellato il record 3 (BIANCHI LAURA)");
    EXPECT_EQ(load().employeeItems, (std::vector<std::string>{" 1ROSSI MARIO               "}));

    // Deleting the last employee closes the form, saying so.
    prompter.answer(true);
    form->deleteRecord();
    EXPECT_TRUE(form->closeRequested);
    EXPECT_EQ(prompter.last().text, "Cancellato il record 1 (ROSSI MARIO): l'archivio non ha altri dipendenti");
    EXPECT_EQ(root.read(kPaghe), kDeleted + kDeleted + kDeleted);
}

TEST_F(Parteb1FormTest, ASaveOrDeleteThatCannotWriteItsSlotChangesNothing)
{
    Parteb1Form& f = load();
    f.chooseEmployee(1);
    f.surname.text = "NERI";

    // The file may not reach beyond 5000 bytes: the write of record 3 (4001-6000) stops half way.
    bool saved = false;
    {
        const records::testing::FileSizeLimit limit(5000);
        saved = f.save();
        prompter.answer(true);
        f.deleteRecord();
    }

    EXPECT_FALSE(saved);
    EXPECT_FALSE(f.closeRequested);
    const std::string failed
        = "Errore di scrittura tipo  61 nel file binario C:\\nolv\\paghe\\unb00903.016 al record  3";
    EXPECT_EQ(prompter.shown[0].text, failed);
    EXPECT_EQ(prompter.shown.back().text, failed);
    EXPECT_EQ(root.read(kPaghe), kRossi + kDeleted + kBianchi);

    // A record past the end of the file is not made up: the read says so and nothing is written.
    prompter.answer(records::Answer::No); // the edit of record 3 is dropped
    prompter.shown.clear();
    f.recordBox.text = "4";
    f.recordNumberTyped();
    // Its boxes are empty, and an empty box matches every item: the last one is shown.
    EXPECT_EQ(comboText(1), "U  Lavoratore autonomo sportivo professionista");
    f.surname.text = "NERI";
    EXPECT_FALSE(f.save());
    ASSERT_EQ(prompter.shown.size(), 3u);
    EXPECT_EQ(prompter.shown[1].text.rfind("Errore di lettura tipo  62", 0), 0u);
    EXPECT_EQ(prompter.shown[2].text,
              "Il record del dipendente non e' stato letto per intero: nessuna modifica salvata ");
    EXPECT_EQ(root.read(kPaghe), kRossi + kDeleted + kBianchi);
}

TEST_F(Parteb1FormTest, InPagmarBox21IsEntry216AndEveryLaterCharacterIsKept)
{
    root.write(kPagmar, kRossi + kBianchi);
    employees.dataAreaSelector = kPagmarArea;
    employees.recordCount = 2;
    Parteb1Form& f = load();
    EXPECT_FALSE(f.operatingUnitVisible);
    EXPECT_FALSE(f.payKind.enabled);
    EXPECT_EQ(f.post95.text, "INC1ENT150.0");
    EXPECT_EQ(f.payKind.text, "");

    f.surname.text = "Neri";
    f.post95.text = "s";
    ASSERT_TRUE(f.save());
    std::string saved = with(kRossi, 18, "NERI" + std::string(20, ' '));
    saved = with(saved, 1363, "S" + std::string(11, ' '));
    EXPECT_EQ(root.read(kPagmar), saved + kBianchi);
    EXPECT_EQ(root.read(kPaghe), kRossi + kDeleted + kBianchi);
}

TEST_F(Parteb1FormTest, ContributionTypeItemsClimbToTheirCodeAndNormaleLeavesNoneSelected)
{
    Parteb1Form& f = load();
    f.chooseCode(4, itemOf(4, "J0   (descrizione non disponibile)"));
    EXPECT_EQ(f.contributionType.text, "J0  ");
    EXPECT_EQ(comboText(4), "J0   (descrizione non disponibile)");
    f.chooseCode(4, 0);
    EXPECT_EQ(f.contributionType.text, "    ");
    EXPECT_EQ(f.contributionTypes.index, -1);
    f.chooseCode(5, itemOf(5, "999 Apolide"));
    EXPECT_EQ(f.citizenship.text, "999 ");
}

TEST_F(Parteb1FormTest, KeysMoveTheFocusWithinTheTwentyBoxesAndEscCloses)
{
    Parteb1Form& f = load();
    const struct {
        int box;
        BoxKey key;
        int focus;
    } cases[] = {
        {1, BoxKey::Enter, 2}, {20, BoxKey::Enter, 1}, {23, BoxKey::Enter, 1},
        {1, BoxKey::Up, 1},    {21, BoxKey::Up, 20},   {5, BoxKey::Other, 0},
    };
    for (const auto& c : cases) {
        f.focusRequest = 0;
        f.boxKeyPressed(c.box, c.key);
        EXPECT_EQ(f.focusRequest, c.focus) << c.box << " " << static_cast<int>(c.key);
    }
    f.boxEntered(23);
    EXPECT_EQ(f.statusText, " M = Mensile  G = Giornaliera");
    f.boxKeyPressed(4, BoxKey::Escape);
    EXPECT_TRUE(f.closeRequested);
    EXPECT_EQ(root.read(kPaghe), kRossi + kDeleted + kBianchi);
}

TEST_F(Parteb1FormTest, EditsAreNotLeftBehindWithoutAQuestion)
{
    // Record 3 (BIANCHI) with its surname changed, left in each of the ways the window
    // offers: to the record before (2, deleted), to the first by the list or by its number,
    // or out of the window.
    const struct {
        const char* what;
        std::function<void(Parteb1Form&)> leave;
        double record; // shown afterwards; 0: the window closes
    } ways[] = {
        {"previous", [](Parteb1Form& f) { f.previousRecord(); }, 2},
        {"list", [](Parteb1Form& f) { f.chooseEmployee(0); }, 1},
        {"number",
         [](Parteb1Form& f) {
             f.recordBox.text = "1";
             f.recordNumberTyped();
         },
         1},
        {"exit button", [](Parteb1Form& f) { f.close(); }, 0},
        {"Esc", [](Parteb1Form& f) { f.boxKeyPressed(2, BoxKey::Escape); }, 0},
    };
    std::string stored = with(kBianchi, 18, fitRight("NERI", 24));
    stored.replace(1554, 446, std::string(446, '\0'));
    const std::string original = kRossi + kDeleted + kBianchi;

    for (const auto& way : ways) {
        for (const records::Answer answer : {records::Answer::Cancel, records::Answer::No, records::Answer::Yes}) {
            const std::string name = std::string(way.what) + " " + std::to_string(static_cast<int>(answer));
            root.write(kPaghe, original);
            Parteb1Form& f = load();
            f.chooseEmployee(1);
            f.surname.text = "Neri";
            f.focusToNext = false;
            prompter.shown.clear();
            prompter.answer(answer);
            way.leave(f);

            ASSERT_EQ(prompter.shown.size(), 1u) << name;
            EXPECT_EQ(prompter.shown[0].text, "Salvare le modifiche al record ?");
            EXPECT_EQ(prompter.shown[0].title, "Modifica dei dati");
            EXPECT_EQ(prompter.shown[0].icon, records::Icon::Question);
            EXPECT_EQ(prompter.shown[0].asked, registers::kSaveEdits);
            EXPECT_TRUE(prompter.shown[0].cancelOffered);
            if (answer == records::Answer::Cancel) {
                // Everything as it was: the record, its boxes, the list and the number.
                EXPECT_EQ(f.recordNumber, 3) << name;
                EXPECT_EQ(f.surname.text, "Neri") << name;
                EXPECT_EQ(f.recordBox.text, "3") << name;
                EXPECT_EQ(f.employeeShown, fitRight("BIANCHI", 24) + " " + fitRight("LAURA", 20)) << name;
                EXPECT_FALSE(f.closeRequested) << name;
                EXPECT_FALSE(f.focusToNext) << name;
                EXPECT_EQ(root.read(kPaghe), original) << name;
                continue;
            }
            EXPECT_EQ(f.closeRequested, way.record == 0) << name;
            if (way.record != 0) {
                EXPECT_EQ(f.recordNumber, way.record) << name;
                EXPECT_FALSE(f.edited()) << name;
            }
            EXPECT_EQ(root.read(kPaghe), answer == records::Answer::Yes ? kRossi + kDeleted + stored : original)
                << name;
        }
    }

    // The same text in lower case is no edit; next on the last record moves nowhere and keeps
    // what was typed.
    root.write(kPaghe, original);
    Parteb1Form& f = load();
    f.chooseEmployee(1);
    f.surname.text = "bianchi";
    EXPECT_FALSE(f.edited());
    f.name.text = "ANNA";
    prompter.shown.clear();
    f.nextRecord();
    EXPECT_EQ(f.recordNumber, 3);
    EXPECT_EQ(f.name.text, "ANNA");
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(Parteb1FormTest, ARecordNotReadWholeWhenShownIsNeverWrittenBack)
{
    // Record 3 is cut short when the window shows it; the payroll program completes the file
    // afterwards.
    root.write(kPaghe, kRossi + kDeleted + kBianchi.substr(0, 1000));
    Parteb1Form& f = load();
    f.nextRecord();
    f.nextRecord();
    ASSERT_EQ(f.recordNumber, 3);
    EXPECT_EQ(f.fiscalCode.text, "");
    root.write(kPaghe, kRossi + kDeleted + kBianchi);

    f.surname.text = "NERI";
    prompter.shown.clear();
    EXPECT_FALSE(f.saveRecord());
    f.boxKeyPressed(2, BoxKey::F9);
    EXPECT_EQ(prompter.texts(),
              std::vector<std::string>(2, "Il record del dipendente non e' stato letto per intero: "
                                          "nessuna modifica salvata "));
    EXPECT_EQ(prompter.shown[0].title, "Accesso");
    EXPECT_EQ(prompter.shown[0].icon, records::Icon::Stop);
    EXPECT_EQ(root.read(kPaghe), kRossi + kDeleted + kBianchi);
}
