// The CU run and the opening of an archive as the command line and the form call them:
// through a named request, without any window.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "cu/telematic/archive.h"
#include "cu/telematic/questions.h"
#include "cu/telematic/run.h"
#include "cu/telematic/tests/telematic_test_support.h"
#include "records/installation.h"
#include "records/output_file.h"
#include "testing/installation_values.h"

using namespace cu::telematic;
using namespace cu::telematic::testing;
using records::testing::RecordingLauncher;
using records::testing::ScriptedPrompter;

namespace {

constexpr const char* kDataFolder = "c/nolv/nv770/2016/dati/";
constexpr const char* kSuccess = "Memorizazione regolarmente effettuata...";

struct RunRequestTest : ::testing::Test {
    records::testing::TempRoot root;
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
    records::testing::InstallationValues shared{root.path()};
    records::Workplace workplace{shared.workplace(prompter, launcher)};
    payroll::HeaderTable header = sampleHeader();

    void SetUp() override
    {
        // The folders that the drive file "C:" names.
        shared.installation.drivePrefix = "C:";
        shared.installation.dataDirectory = "C:\\nolv\\nv770\\2016\\dati\\";
        writeArchive();
    }

    // Archive 3: Rossi, Bianchi (a record not in use) and Neri.
    void writeArchive(const std::string& secondRecord = secondHeaderRecord('1', "0003"))
    {
        root.write(std::string(kDataFolder) + "FCU3.017", payroll::packHeaderRecord(header) + secondRecord);
        const payroll::CuFields notInUse = sampleEmployee("BNCGNN80A01F205Y", "BIANCHI", "GIANNI");
        root.write(std::string(kDataFolder) + "DCU3.017",
                   archiveFile({payroll::packArchiveRecord(sampleEmployee("RSSMRA70A01F205X", "ROSSI", "MARIO")),
                                payroll::packArchiveRecord(notInUse, ' '),
                                payroll::packArchiveRecord(sampleEmployee("NREFNC65A41F205W", "NERI", "FRANCA"))}));
    }

    static RunRequest ordinary()
    {
        RunRequest request;
        request.archive = "3";
        request.outputFolder = "C:\\nolv\\nv770\\2016\\dati\\";
        request.outputName = "TCU317";
        return request;
    }
    static RunRequest annulmentOfNeri()
    {
        RunRequest request = ordinary();
        request.supply = Supply::annulment();
        request.replaced = {"12345678901234567", "000042"};
        request.employeeRecord = "3";
        return request;
    }

    std::string telematic() const { return root.read(std::string(kDataFolder) + "TCU317"); }
    bool temporaryFileLeft() const { return !root.temporaryFilesIn(kDataFolder).empty(); }
};

// A CU header record written position by position: the kind of supply stored in position 2,
// the name in 21-44 and 45-68, the intermediary and the commitment from position 207 on.
std::string headerRecord(char storedKind, const std::string& type, const std::string& date)
{
    std::string record(1200, ' ');
    const auto put = [&record](std::size_t position, const std::string& text) {
        record.replace(position - 1, text.size(), text);
    };
    put(1, "$");
    put(2, std::string(1, storedKind));
    put(21, "  PANIFICIO ESPOSITO");
    put(45, "DI G. ESPOSITO & C. SNC");
    put(207, "SPSGNN60A01F839X");
    put(223, type);
    put(224, date);
    put(330, "3351234567");
    put(343, "paghe@esposito.example.it");
    return record;
}

} // namespace

TEST_F(RunRequestTest, AnOrdinarySupplyWritesEveryEmployeeInUse)
{
    std::vector<std::string> storing;
    std::vector<std::int64_t> advanced;
    RunProgress progress;
    progress.storing = [&](const std::string& text) { storing.push_back(text); };
    progress.advanced = [&](std::int64_t done, double total) {
        advanced.push_back(done);
        EXPECT_EQ(total, 3);
    };

    const RunResult result = run(workplace, ordinary(), progress);

    ASSERT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_EQ(result.stopMessage, "");
    EXPECT_EQ(result.telematicHostPath, (root.path() / kDataFolder / "TCU317").string());
    ASSERT_EQ(prompter.texts(), std::vector<std::string>{kSuccess});
    EXPECT_EQ(prompter.last().title, "Creazione Telematico");
    EXPECT_EQ(prompter.last().icon, records::Icon::Information);
    EXPECT_EQ(storing, std::vector<std::string>{"Memorizzazione in corso......della CU di ROSSI COSTRUZIONI SRL   "
                                                "SEDE DI MILANO          "});
    EXPECT_EQ(advanced, (std::vector<std::int64_t>{1, 2, 3}));
    EXPECT_TRUE(launcher.shownFiles.empty());

    const auto records = splitRecords(telematic());
    ASSERT_EQ(recordTypes(records), "ABDGDGZ");
    // Certification numbers 1 and 2: the record not in use takes none. An ordinary supply
    // leaves the replaced protocol zero and position 84 blank.
    EXPECT_EQ(at(records[2], 26, 89), "RSSMRA70A01F205X00001" + std::string(23, '0') + std::string(14, ' ') + "     1");
    EXPECT_EQ(at(records[4], 26, 46), "NREFNC65A41F205W00002");
    EXPECT_EQ(at(records[6], 16, 51), "000000001000000000000000002000000002");
    EXPECT_FALSE(temporaryFileLeft());
}

// Record B states the certifications the file carries, whatever count the archive's header
// gives: the two employees in use of three records, the one certification of a single supply.
TEST_F(RunRequestTest, RecordBStatesTheCertificationsOfTheFile)
{
    struct Case {
        const char* headerCount;
        bool annulment;
        const char* stated;
    };
    for (const Case c : {Case{"2", false, "00000002"}, Case{"7", false, "00000002"}, Case{"1E5", false, "00000002"},
                         Case{"2", true, "00000001"}}) {
        SCOPED_TRACE(std::string(c.headerCount) + (c.annulment ? " annulment" : " ordinary"));
        header[14] = c.headerCount;
        writeArchive();
        if (c.annulment)
            prompter.answer(true);
        ASSERT_EQ(run(workplace, c.annulment ? annulmentOfNeri() : ordinary()).outcome, RunOutcome::Completed);
        const auto records = splitRecords(telematic());
        EXPECT_EQ(at(records[1], 402, 409), c.stated);
    }
}

TEST_F(RunRequestTest, AnAnnulmentAsksForItsConfirmationBeforeTheCertificationIsWritten)
{
    const std::string question = "Confermi la funzione di Annul/Sostit. del dipendente NERI" + std::string(20, ' ')
        + "FRANCA" + std::string(18, ' ') + " ?";

    // Confirmed: records A, B, the one record D and Z, and the success message after it.
    prompter.answer(true);
    RunResult result = run(workplace, annulmentOfNeri());
    ASSERT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{question, kSuccess}));
    EXPECT_TRUE(prompter.shown[0].asked == kConfirmAnnulment);
    EXPECT_EQ(prompter.shown[0].title, "");
    auto records = splitRecords(telematic());
    ASSERT_EQ(recordTypes(records), "ABDZ");
    EXPECT_EQ(at(records[1], 91, 92), "10"); // record B: an annulment, not a replacement
    EXPECT_EQ(at(records[2], 26, 89),
              "NREFNC65A41F205W00001" "12345678901234567" "000042" + std::string(14, ' ') + "A    1");
    EXPECT_EQ(result.header[42], "12345678901234567");
    EXPECT_EQ(result.header[43], "000042");

    // Declined: the run ends at the question, silently, and the earlier file stays.
    prompter.shown.clear();
    root.write(std::string(kDataFolder) + "TCU317", "an earlier file");
    prompter.answer(false);
    result = run(workplace, annulmentOfNeri());
    EXPECT_EQ(result.outcome, RunOutcome::Declined);
    EXPECT_EQ(result.stopMessage, "");
    EXPECT_EQ(result.telematicHostPath, "");
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{question});
    EXPECT_EQ(telematic(), "an earlier file");
    EXPECT_FALSE(temporaryFileLeft());
}

TEST_F(RunRequestTest, AStoppedRunNamesItsMessageAndLeavesTheEarlierFile)
{
    const struct {
        const char* what;
        RunRequest request;
        std::string secondRecord; // of the header file
        const char* message;
    } cases[] = {
        {"no submission identifier",
         [] {
             RunRequest r = annulmentOfNeri();
             r.replaced.submission = "   ";
             return r;
         }(),
         secondHeaderRecord('1', "0003"), "Manca il numero Identificativo Entratel "},
        {"a certificate number of five digits",
         [] {
             RunRequest r = annulmentOfNeri();
             r.supply = Supply::replacement();
             r.replaced.certificate = "00042 ";
             return r;
         }(),
         secondHeaderRecord('1', "0003"), "Il numero di Protocollo Sostituz/Annullamento deve avere 6 cifre "},
        {"no header file of that number",
         [] {
             RunRequest r = ordinary();
             r.archive = "03";
             return r;
         }(),
         secondHeaderRecord('1', "0003"), "Archivio inesistente "},
        {"a certification of self-employment", ordinary(), secondHeaderRecord('2', "0003"),
         "La CU deve essere per LD, quella selezionata e' per LA "},
        {"a header file without its second record", ordinary(), "",
         "Errore di lettura tipo  62 nel file binario C:\\nolv\\nv770\\2016\\dati\\FCU3.017 al record  2"},
        {"a single supply of a record not in use",
         [] {
             RunRequest r = ordinary();
             r.supply = Supply::singleEmployeeSupply();
             r.employeeRecord = "2";
             return r;
         }(),
         secondHeaderRecord('1', "0003"), "Il record indicato non contiene un dipendente da trasmettere "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeArchive(c.secondRecord);
        root.write(std::string(kDataFolder) + "TCU317", "an earlier file");
        prompter.shown.clear();

        const RunResult result = run(workplace, c.request);

        EXPECT_EQ(result.outcome, RunOutcome::Stopped);
        EXPECT_EQ(result.stopMessage, c.message);
        EXPECT_EQ(result.telematicHostPath, "");
        EXPECT_EQ(prompter.texts(), std::vector<std::string>{c.message});
        // The run's own stops carry the stop icon and the title "Accesso"; a file that cannot
        // be read is told by the message of its read.
        const bool fileMessage = std::string(c.message).starts_with("Errore");
        EXPECT_EQ(prompter.last().icon, fileMessage ? records::Icon::None : records::Icon::Stop);
        EXPECT_EQ(prompter.last().title, fileMessage ? "" : "Accesso");
        EXPECT_EQ(telematic(), "an earlier file");
        EXPECT_FALSE(temporaryFileLeft());
    }
}

TEST_F(RunRequestTest, TheCommitmentOfTheRequestFillsOnlyWhatTheArchiveLacks)
{
    const struct {
        const char* archiveType; // header fields 21 and 22
        const char* archiveDate;
        const char* written;     // record B, positions 428-436: the type and the date
    } cases[] = {
        {"1", "", "1" "01032017"},
        {"0", "15022017", "2" "15022017"},
        {" ", "00000000", "2" "01032017"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.archiveType) + "/" + c.archiveDate);
        header[21] = c.archiveType;
        header[22] = c.archiveDate;
        writeArchive();
        RunRequest request = ordinary();
        request.commitment = {"2", "01032017"};
        ASSERT_EQ(run(workplace, request).outcome, RunOutcome::Completed);
        // Positions 412-427 hold the intermediary's fiscal code.
        EXPECT_EQ(at(splitRecords(telematic())[1], 412, 436), std::string("VRDGPP60C03F205K") + c.written);
    }
}

TEST_F(RunRequestTest, AReportIsWrittenButNotShownAndPrintsTheSupplyLetterAsGiven)
{
    RunRequest request = ordinary();
    request.supply = Supply("n"); // a letter typed in lower case: an ordinary supply
    request.report = true;
    const RunResult result = run(workplace, request);

    ASSERT_EQ(result.outcome, RunOutcome::Reported);
    EXPECT_EQ(result.reportHostPath, (root.path() / kDataFolder / "report.txt").string());
    EXPECT_EQ(result.batchHostPath, (root.path() / "c/nolv/nv770/2016/avstp.bat").string());
    EXPECT_TRUE(launcher.shownFiles.empty()); // showing it is the caller's choice
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{kSuccess});
    EXPECT_EQ(recordTypes(splitRecords(telematic())), "ABDGDGZ");
    const std::string report = root.read(std::string(kDataFolder) + "report.txt");
    EXPECT_NE(report.find("\r\nTipologia fornitura :n\r\n"), std::string::npos);
    EXPECT_NE(report.find("\r\nNumero Dipendenti               2 \r\n"), std::string::npos);
}

TEST_F(RunRequestTest, AReportFileThatCannotBeWrittenIsToldAfterTheSuccess)
{
    // A folder stands where a file of the report is to be written. The telematic file is
    // complete all the same: the run tells its success, then which file could not be made.
    const struct {
        const char* blocked;
        const char* message;
        bool reportWritten;
    } cases[] = {
        {"c/nolv/nv770/2016/dati/report.txt",
         "Errore tipo  75 nell'apertura del file sequenzialeC:\\nolv\\NV770\\2016\\dati\\report.txt", false},
        {"c/nolv/nv770/2016/avstp.bat",
         "Errore tipo  75 nell'apertura del file sequenzialeC:\\nolv\\NV770\\2016\\avstp.bat", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.blocked);
        std::filesystem::remove_all(root.path() / kDataFolder / "report.txt");
        std::filesystem::remove_all(root.path() / "c/nolv/nv770/2016/avstp.bat");
        std::filesystem::create_directories(root.path() / c.blocked);
        prompter.shown.clear();
        RunRequest request = ordinary();
        request.report = true;
        const RunResult result = run(workplace, request);

        EXPECT_EQ(result.outcome, RunOutcome::Completed);
        EXPECT_EQ(result.reportHostPath, "");
        EXPECT_EQ(result.batchHostPath, "");
        EXPECT_EQ(prompter.texts(), (std::vector<std::string>{kSuccess, c.message}));
        EXPECT_EQ(prompter.last().icon, records::Icon::None);
        EXPECT_EQ(prompter.last().title, "");
        EXPECT_EQ(recordTypes(splitRecords(telematic())), "ABDGDGZ");
        EXPECT_EQ(std::filesystem::is_regular_file(root.path() / kDataFolder / "report.txt"), c.reportWritten);
        EXPECT_FALSE(temporaryFileLeft());
    }
}

TEST_F(RunRequestTest, AnArchiveIsOpenedByTheNumberAsTyped)
{
    root.write(std::string(kDataFolder) + "FCU7.017", headerRecord('1', "2", "27022017") + std::string(1200, ' '));
    const struct {
        const char* typed;
        ArchiveOpening::Outcome outcome;
        const char* number;
        const char* message;
    } cases[] = {
        {" 7 ", ArchiveOpening::Outcome::Opened, "7", ""},
        {"007", ArchiveOpening::Outcome::Missing, "007", "Archivio inesistente "}, // FCU007.017
        {"8", ArchiveOpening::Outcome::Missing, "8", "Archivio inesistente "},
        {"abc", ArchiveOpening::Outcome::NotChosen, "abc", "Certificazione non ancora selezionata "},
        {" 0 ", ArchiveOpening::Outcome::NotChosen, "0", "Certificazione non ancora selezionata "},
        {"", ArchiveOpening::Outcome::NotChosen, "", "Certificazione non ancora selezionata "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const ArchiveOpening opening = openArchive(workplace, c.typed);
        EXPECT_EQ(opening.outcome, c.outcome);
        EXPECT_EQ(opening.number, c.number);
        EXPECT_EQ(opening.stopMessage, c.message);
        EXPECT_EQ(opening.headerRecord.size(), opening.opened() ? 1200u : 0u);
    }
    // The stops are the caller's to show.
    EXPECT_TRUE(prompter.shown.empty());
}

TEST(ArchiveHeader, TheWindowShowsTheHeaderRecordsOwnPositions)
{
    HeaderSummary summary = summarizeHeader("7", headerRecord('1', "2", "27022017"));
    EXPECT_EQ(summary.listItem, "7 PANIFICIO ESPOSITO-DI G. ESPOSITO & C. SNC");
    EXPECT_EQ(summary.storedSupplyLetter, "A");
    EXPECT_EQ(summary.intermediaryFiscalCode, "SPSGNN60A01F839X");
    EXPECT_EQ(summary.commitmentType, "2");
    EXPECT_EQ(summary.commitmentDate, "27022017");
    EXPECT_EQ(summary.intermediaryPhone, "3351234567  ");
    EXPECT_EQ(summary.intermediaryEmail, "paghe@esposito.example.it" + std::string(20, ' '));
    EXPECT_TRUE(summary.commitmentTypeStated);
    EXPECT_TRUE(summary.commitmentDateStated);

    // "0" ordinary, "2" replacement; any other character leaves the kind as chosen. A type or
    // date of 0 is no commitment stated.
    summary = summarizeHeader("7", headerRecord('0', " ", "00000000"));
    EXPECT_EQ(summary.storedSupplyLetter, "N");
    EXPECT_FALSE(summary.commitmentTypeStated);
    EXPECT_FALSE(summary.commitmentDateStated);
    EXPECT_EQ(summarizeHeader("7", headerRecord('2', "1", "")).storedSupplyLetter, "S");
    EXPECT_EQ(summarizeHeader("7", headerRecord('x', "1", "")).storedSupplyLetter, "");
    // A record that could not be read shows the number alone.
    EXPECT_EQ(summarizeHeader("7", "").listItem, "7 -");
}

TEST_F(RunRequestTest, TheArchivesAreListedInNumberOrderWhateverTheCaseOfTheirNames)
{
    root.write(std::string(kDataFolder) + "fcu15.017", headerRecord('0', "1", "15022017"));
    root.write(std::string(kDataFolder) + "FCU1000.017", headerRecord('0', "1", "15022017"));
    root.write(std::string(kDataFolder) + "FCU0.017", headerRecord('0', "1", "15022017"));
    root.write(std::string(kDataFolder) + "DCU2.017", "");
    const std::vector<ListedArchive> archives = listArchives(workplace);
    ASSERT_EQ(archives.size(), 2u);
    EXPECT_EQ(archives[0].number, 3);
    EXPECT_EQ(archives[0].headerRecord, payroll::packHeaderRecord(header));
    EXPECT_EQ(archives[1].number, 15);
    EXPECT_EQ(archives[1].headerRecord, headerRecord('0', "1", "15022017"));
    EXPECT_TRUE(prompter.shown.empty());
}

TEST(CuFileNames, AnArchiveNumberNamesItsFilesAsTyped)
{
    records::Installation installation;
    installation.dataDirectory = "D:\\nolv\\nv770\\2016\\dati\\";
    EXPECT_EQ(headerFileName(installation, "007"), "D:\\nolv\\nv770\\2016\\dati\\FCU007.017");
    EXPECT_EQ(employeeFileName(installation, "12"), "D:\\nolv\\nv770\\2016\\dati\\DCU12.017");
    EXPECT_EQ(telematicFileName("12"), "TCU1217");
}
