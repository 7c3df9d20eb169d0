#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "cu/createl_form.h"
#include "cu/telematic/run_report.h"
#include "cu/telematic/tests/telematic_test_support.h"
#include "records/installation.h"
#include "records/output_file.h"
#include "records/record_file.h"
#include "testing/installation_values.h"

using namespace cu::telematic;
using namespace cu::telematic::testing;
using records::testing::RecordingLauncher;

namespace {

constexpr const char* kDataFolder = "c/nolv/nv770/2016/dati/";
constexpr const char* kNotAnEmployee = "Il record indicato non contiene un dipendente da trasmettere ";

// Every entry below `folder` with the bytes of the files.
std::map<std::string, std::string> entriesBelow(const std::filesystem::path& folder)
{
    std::map<std::string, std::string> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        entries[entry.path().string()]
            = entry.is_regular_file() ? records::testing::TempRoot::readFile(entry.path()) : "";
    return entries;
}

struct RunTest : ::testing::Test {
    records::testing::TempRoot root;
    records::testing::ScriptedPrompter prompter;
    RecordingLauncher launcher;
    records::testing::InstallationValues shared{root.path()};
    cu::CreatelForm form{shared.workplace(prompter, launcher)};
    payroll::HeaderTable header = sampleHeader();
    std::string employeeCount = "0004";
    std::vector<std::string> archive;

    void SetUp() override
    {
        root.write("c/disco.ute", "C:        ");
        payroll::CuFields first = sampleEmployee("RSSMRA70A01F205X", "ROSSI", "MARIO");
        payroll::CuFields skipped = sampleEmployee("BNCGNN80A01F205Y", "BIANCHI", "GIANNI");
        payroll::CuFields noBirthDate = sampleEmployee("VRDLGU75A01F205Z", "VERDI", "LUIGI");
        noBirthDate.cu[5] = "        ";
        payroll::CuFields second = sampleEmployee("NREFNC65A41F205W", "NERI", "FRANCA");
        archive = {payroll::packArchiveRecord(first), payroll::packArchiveRecord(skipped, ' '), payroll::packArchiveRecord(noBirthDate),
                   payroll::packArchiveRecord(second)};
    }

    // Writes archive 3, loads the window, opens the archive and chooses the kind of supply.
    void open(int supplyItem = 0)
    {
        root.write(std::string(kDataFolder) + "FCU3.017", payroll::packHeaderRecord(header) + secondHeaderRecord('1', employeeCount));
        root.write(std::string(kDataFolder) + "DCU3.017", archiveFile(archive));
        form.load();
        form.archiveCode.text = "3";
        form.openArchive();
        form.chooseSupplyKind(supplyItem);
    }
    void protocol(const std::string& record)
    {
        form.protocolId.text = "12345678901234567";
        form.protocolNumber.text = "000042";
        form.employeeRecord.text = record;
    }
    std::string telematic() const { return root.read(std::string(kDataFolder) + "TCU317"); }
    bool temporaryFileLeft() const { return !root.temporaryFilesIn(kDataFolder).empty(); }
    bool leftovers() const
    {
        return std::filesystem::exists(root.path() / kDataFolder / "TCU317") || temporaryFileLeft();
    }
    void expectStop(const RunResult& result, const std::string& message)
    {
        EXPECT_EQ(result.outcome, RunOutcome::Stopped);
        ASSERT_FALSE(prompter.shown.empty());
        EXPECT_EQ(prompter.last().title, "Accesso");
        EXPECT_EQ(prompter.last().text, message);
        EXPECT_EQ(prompter.last().icon, records::Icon::Stop);
        EXPECT_FALSE(leftovers());
        EXPECT_TRUE(result.telematicHostPath.empty());
    }
};

} // namespace

TEST_F(RunTest, AnOrdinaryRunWritesTheEmployeesInUseAndReloadsTheWindow)
{
    header[16] = "X";
    open();
    std::vector<std::string> progress;
    form.changed = [&] { progress.push_back(form.progressText); };
    const RunResult result = form.run();

    ASSERT_EQ(result.outcome, RunOutcome::Completed);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.last().title, "Creazione Telematico");
    EXPECT_EQ(prompter.last().text, "Memorizazione regolarmente effettuata...");
    EXPECT_EQ(prompter.last().icon, records::Icon::Information);
    EXPECT_EQ(result.telematicHostPath, (root.path() / kDataFolder / "TCU317").string());
    EXPECT_FALSE(temporaryFileLeft());
    EXPECT_NE(std::find(progress.begin(), progress.end(),
                        "Memorizzazione in corso......della CU di ROSSI COSTRUZIONI SRL   SEDE DI MILANO          "),
              progress.end());

    const auto records = splitRecords(telematic());
    ASSERT_EQ(recordTypes(records), "ABCDGDGZ");
    EXPECT_EQ(at(records[3], 1, 89), "D01234567890     00000001RSSMRA70A01F205X00001" + std::string(23, '0')
                                         + std::string(14, ' ') + "     1");
    EXPECT_EQ(at(records[4], 1, 89), "G01234567890     00000001RSSMRA70A01F205X00001" + std::string(43, ' '));
    EXPECT_EQ(at(records[5], 26, 46), "NREFNC65A41F205W00002");
    EXPECT_EQ(at(records[6], 26, 46), "NREFNC65A41F205W00002");
    EXPECT_EQ(at(records[7], 1, 60), "Z" + std::string(14, ' ') + "000000001000000001000000002000000002000000000");
    EXPECT_EQ(result.totals[1], 2);
    EXPECT_EQ(result.header[42], std::string(17, ' '));

    // The window is loaded afresh for the next run.
    EXPECT_EQ(form.archiveCode.text, "");
    EXPECT_EQ(form.outputName.text, "");
    EXPECT_EQ(form.progressText, "");
    EXPECT_EQ(form.archiveItems.size(), 1u);
    EXPECT_FALSE(form.closeRequested);
}

TEST_F(RunTest, ARunLeavesTheFilesOfAnotherWindowOpen)
{
    // Another window (the UniEmens one, between two companies of one declaration) holds its
    // XML file open while the operator makes a CU run.
    std::filesystem::create_directories(root.path() / "c/wnolv");
    records::TextFile otherWindow(shared.paths, "c:\\wnolv\\altra.xml");
    ASSERT_TRUE(otherWindow.open().ok());
    ASSERT_TRUE(otherWindow.writeLine("<DenunceMensili>").ok());

    open();
    ASSERT_EQ(form.run().outcome, RunOutcome::Completed);

    EXPECT_TRUE(otherWindow.isOpen());
    EXPECT_EQ(otherWindow.writeLine("</DenunceMensili>").error, 0);
    otherWindow.close();
    EXPECT_EQ(root.read("c/wnolv/altra.xml"), "<DenunceMensili>\r\n</DenunceMensili>\r\n");
}

TEST_F(RunTest, AnAnnulmentWritesOnlyTheNamedEmployeesRecordD)
{
    open(1);
    protocol("4");
    prompter.answer(true);
    const RunResult result = form.run();
    ASSERT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_EQ(prompter.shown[0].text, "Confermi la funzione di Annul/Sostit. del dipendente NERI" + std::string(20, ' ')
                                          + "FRANCA" + std::string(18, ' ') + " ?");
    EXPECT_TRUE(prompter.shown[0].question);
    EXPECT_EQ(prompter.shown[0].title, "");
    const auto records = splitRecords(telematic());
    ASSERT_EQ(recordTypes(records), "ABDZ");
    EXPECT_EQ(at(records[1], 91, 92), "10");
    EXPECT_EQ(at(records[2], 26, 89), "NREFNC65A41F205W00001" "12345678901234567" "000042" + std::string(14, ' ')
                                          + "A    1");
    EXPECT_EQ(at(records[3], 16, 60), "000000001000000000000000001000000000000000000");
    EXPECT_EQ(result.header[43], "000042");
}

TEST_F(RunTest, AReplacementAndASingleNormalSupplyWriteTheNamedEmployeeOnly)
{
    employeeCount = "0000"; // the named record is looked at whatever the count says
    open(2);
    protocol("1");
    prompter.answer(true);
    ASSERT_EQ(form.run().outcome, RunOutcome::Completed);
    auto records = splitRecords(telematic());
    ASSERT_EQ(recordTypes(records), "ABDGZ");
    EXPECT_EQ(at(records[1], 91, 92), "01");
    EXPECT_EQ(at(records[2], 26, 46), "RSSMRA70A01F205X00001");
    EXPECT_EQ(at(records[2], 84, 84), "S");

    prompter.shown.clear();
    form.archiveCode.text = "3";
    form.openArchive();
    form.chooseSupplyKind(3); // T=Normale SINGOLA: no protocol needed, no question asked
    form.employeeRecord.text = " 4";
    ASSERT_EQ(form.run().outcome, RunOutcome::Completed);
    ASSERT_EQ(prompter.shown.size(), 1u);
    records = splitRecords(telematic());
    ASSERT_EQ(recordTypes(records), "ABDGZ");
    EXPECT_EQ(at(records[2], 26, 46), "NREFNC65A41F205W00001");
    EXPECT_EQ(at(records[2], 84, 84), " ");
}

TEST_F(RunTest, TheNamedRecordMustHoldAnEmployeeToSend)
{
    open(3);
    for (const char* record : {"2", "3", "0", "-1", "abc", "5", "1.5", ""}) {
        SCOPED_TRACE(record);
        prompter.shown.clear();
        form.employeeRecord.text = record;
        expectStop(form.run(), kNotAnEmployee);
        EXPECT_EQ(prompter.shown.size(), 1u);
    }
}

TEST_F(RunTest, EveryStopShowsItsMessageAndLeavesNoFile)
{
    root.write(std::string(kDataFolder) + "TCU317", "an earlier file");
    const auto check = [&](const std::string& message) {
        prompter.shown.clear();
        const RunResult result = form.run();
        EXPECT_EQ(result.outcome, RunOutcome::Stopped);
        ASSERT_EQ(prompter.shown.size(), 1u) << message;
        EXPECT_EQ(prompter.last().text, message);
        EXPECT_EQ(prompter.last().title, "Accesso");
        EXPECT_EQ(prompter.last().icon, records::Icon::Stop);
        EXPECT_EQ(telematic(), "an earlier file");
        EXPECT_FALSE(temporaryFileLeft());
    };
    open(1);
    form.commitmentType.text = std::string(17, ' '); // no commitment from the window either
    form.commitmentDate.text = std::string(17, ' ');
    protocol("4");
    form.protocolId.text = "   ";
    check("Manca il numero Identificativo Entratel ");
    protocol("4");
    form.protocolNumber.text = "";
    check("Manca il numero di Protocollo Sostituz/Annullamento ");
    protocol(" ");
    check("Manca il numero di Record del dipendente da Annullare o Sostituire ");
    form.chooseSupplyKind(0);
    form.selectedArchive = "7";
    check("Archivio inesistente ");

    form.selectedArchive = "3";
    root.write(std::string(kDataFolder) + "FCU3.017", payroll::packHeaderRecord(header) + secondHeaderRecord('2', "0004"));
    check("La CU deve essere per LD, quella selezionata e' per LA ");
    header[22] = "00000000";
    root.write(std::string(kDataFolder) + "FCU3.017", payroll::packHeaderRecord(header) + secondHeaderRecord('1', "0004"));
    check("Manca la data dell'impegno alla trasmissione ");
    header[22] = "15022017";
    header[21] = "0";
    root.write(std::string(kDataFolder) + "FCU3.017", payroll::packHeaderRecord(header) + secondHeaderRecord('1', "0004"));
    check("Manca la tipologia dell'impegno alla trasmissione ");
    header[21] = "1";
    header[14] = "";
    root.write(std::string(kDataFolder) + "FCU3.017", payroll::packHeaderRecord(header) + secondHeaderRecord('1', "0004"));
    check("Grave !! Numero dipendenti pari a zero ");
    header[14] = "2";
    root.write(std::string(kDataFolder) + "FCU3.017", payroll::packHeaderRecord(header) + secondHeaderRecord('1', "0004"));
    std::filesystem::remove(root.path() / kDataFolder / "DCU3.017");
    check("Archivio Dipendenti inesistente ");
}

TEST_F(RunTest, ProtocolAndCommitmentDataThatTheAuthorityWouldRefuseStopTheRun)
{
    constexpr const char* kEntratel = "Il numero Identificativo Entratel deve avere 17 cifre ";
    constexpr const char* kProtocol = "Il numero di Protocollo Sostituz/Annullamento deve avere 6 cifre ";
    constexpr const char* kDate = "La data dell'impegno alla trasmissione e' errata ";
    constexpr const char* kType = "La tipologia dell'impegno alla trasmissione deve essere 1 o 2 ";
    const struct {
        int supply;             // kind of supply item: 0 N, 1 A, 2 S
        const char* submission; // "1-Protocollo Identificativo della CU"
        const char* certificate;
        const char* archiveType; // header fields 21 and 22 as the archive states them
        const char* archiveDate;
        const char* typedType; // "Tipo Impegno", "Data Impegno" as typed
        const char* typedDate;
        const char* message; // nullptr: the run completes
    } cases[] = {
        {1, "abc", "xyz", "1", "15022017", "", "", kEntratel},
        {2, "1234567890123456", "000042", "1", "15022017", "", "", kEntratel}, // 16 digits
        {1, "1234567890123456X", "000042", "1", "15022017", "", "", kEntratel},
        {1, " 2345678901234567", "000042", "1", "15022017", "", "", kEntratel},
        {1, "12345678901234567", "xyz", "1", "15022017", "", "", kProtocol},
        {2, "12345678901234567", "42", "1", "15022017", "", "", kProtocol},
        {1, "12345678901234567", "00004 ", "1", "15022017", "", "", kProtocol},
        // Only the first 17 and 6 characters go into the file.
        {1, "12345678901234567 note", "000042/2017", "1", "15022017", "", "", nullptr},
        // Ordinary supplies carry no protocol numbers at all.
        {0, "abc", "xyz", "1", "15022017", "", "", nullptr},
        // The date is looked at before the type, whether typed or from the archive.
        {0, "", "", "0", "", "7", "31022017", kDate},
        {0, "", "", "0", "", "1", "29021900", kDate},
        {0, "", "", "0", "", "1", "2802017", kDate},
        {0, "", "", "0", "", "1", "28-02-17", kDate},
        {0, "", "", "1", "31042017", "", "", kDate},
        {0, "", "", "0", "", "7", "29022000", kType},
        {0, "", "", "0", "", "9", "28022017", kType},
        {0, "", "", "0", "", "A", "28022017", "Manca la tipologia dell'impegno alla trasmissione "},
        {0, "", "", "3", "28022017", "", "", kType},
        {0, "", "", "0", "28022017", "2", "", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.submission) + "/" + c.certificate + "/" + c.archiveType + c.archiveDate + "/"
                     + c.typedType + c.typedDate);
        prompter.shown.clear();
        prompter.answers.clear();
        header[21] = c.archiveType;
        header[22] = c.archiveDate;
        open(c.supply);
        protocol("4");
        form.protocolId.text = c.submission;
        form.protocolNumber.text = c.certificate;
        form.commitmentType.text = c.typedType;
        form.commitmentDate.text = c.typedDate;
        root.write(std::string(kDataFolder) + "TCU317", "an earlier file");
        prompter.answer(true);
        const RunResult result = form.run();
        if (!c.message) {
            EXPECT_EQ(result.outcome, RunOutcome::Completed);
            continue;
        }
        EXPECT_EQ(result.outcome, RunOutcome::Stopped);
        EXPECT_EQ(prompter.texts(), std::vector<std::string>{c.message});
        EXPECT_EQ(prompter.last().title, "Accesso");
        EXPECT_EQ(prompter.last().icon, records::Icon::Stop);
        EXPECT_EQ(telematic(), "an earlier file");
        EXPECT_FALSE(temporaryFileLeft());
    }
}

TEST_F(RunTest, ACommitmentMissingFromTheArchiveIsTakenFromTheWindowFittedToItsPlace)
{
    header[21] = "0";
    header[22] = "";
    open();
    form.commitmentType.text = "2 ";
    form.commitmentDate.text = "01032017 in ritardo";
    ASSERT_EQ(form.run().outcome, RunOutcome::Completed);
    const std::string b = splitRecords(telematic())[1];
    EXPECT_EQ(at(b, 412, 438), "VRDGPP60C03F205K2010320171 ");
}

TEST_F(RunTest, DecliningTheConfirmationEndsTheRunSilentlyWithoutAFile)
{
    open(2);
    protocol("1");
    prompter.answer(false);
    const RunResult result = form.run();
    EXPECT_EQ(result.outcome, RunOutcome::Declined);
    EXPECT_EQ(prompter.shown.size(), 1u);
    EXPECT_FALSE(leftovers());
    EXPECT_EQ(form.employeeRecord.text, "1"); // the window keeps its state
}

TEST_F(RunTest, AWriteErrorStopsTheRunWithoutSuccessOrFile)
{
    root.write(std::string(kDataFolder) + "TCU317", "an earlier file");
    open();
    RunResult result;
    {
        const FileSizeLimit limit(2 * 1900); // the third record fails as on a full disk
        result = form.run();
    }
    EXPECT_EQ(result.outcome, RunOutcome::Stopped);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.last().text, "Errore di scrittura tipo  61 nel file binario C:\\nolv\\nv770\\2016\\dati\\TCU317"
                                    " al record  3");
    EXPECT_EQ(telematic(), "an earlier file");
    EXPECT_FALSE(temporaryFileLeft());
}

TEST_F(RunTest, AnOutputPathThatCannotNameAFileStopsBeforeAnythingIsWritten)
{
    const struct {
        std::string folder;
        std::string name;
        std::string message;
    } cases[] = {
        {"C:\\manca\\", "TCU317", "Errore tipo  76 nella creazione del file "},
        {"C:\\nolv\\nv770\\2016\\dati\\", "", "Errore tipo  75 nella creazione del file "}, // the folder itself
        {"C:\\nolv\\nv770\\2016\\", "dati", "Errore tipo  75 nella creazione del file "},
        // Control characters typed into the boxes name no host file.
        {"C:\\nolv\\nv770\\2016\\dati\\", "TCU\x1B" "317", "Errore tipo  64 nella creazione del file "},
        {"C:\\nolv\\nv770\\2016\\dati\\", std::string("TCU317\0.x", 9), "Errore tipo  64 nella creazione del file "},
        {"C:\\nolv\\nv770\t\\2016\\dati\\", "TCU317", "Errore tipo  64 nella creazione del file "},
    };
    root.write(std::string(kDataFolder) + "TCU317", "an earlier file");
    open();
    const auto before = entriesBelow(root.path());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message + c.name);
        prompter.shown.clear();
        form.outputFolder.text = c.folder;
        form.outputName.text = c.name;
        EXPECT_EQ(form.run().outcome, RunOutcome::Stopped);
        EXPECT_EQ(prompter.texts(), std::vector<std::string>{c.message});
        EXPECT_EQ(entriesBelow(root.path()), before);
    }
    EXPECT_EQ(telematic(), "an earlier file");
}

TEST_F(RunTest, AHeaderFileWithoutItsSecondRecordStopsAfterTheReadMessage)
{
    open();
    root.write(std::string(kDataFolder) + "FCU3.017", payroll::packHeaderRecord(header));
    EXPECT_EQ(form.run().outcome, RunOutcome::Stopped);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.last().text,
              "Errore di lettura tipo  62 nel file binario C:\\nolv\\nv770\\2016\\dati\\FCU3.017 al record  2");
    EXPECT_FALSE(leftovers());
}

TEST_F(RunTest, TheReportAndItsBatchFileAreWrittenAndShown)
{
    open();
    prompter.answer(true);
    form.askForReport();
    const RunResult result = form.run();
    ASSERT_EQ(result.outcome, RunOutcome::Reported);
    // The window stays, loaded afresh for the next run.
    EXPECT_FALSE(form.closeRequested);
    EXPECT_FALSE(form.reportWanted);
    EXPECT_EQ(result.reportHostPath, (root.path() / kDataFolder / "report.txt").string());
    EXPECT_EQ(result.batchHostPath, (root.path() / "c/nolv/nv770/2016/avstp.bat").string());
    EXPECT_EQ(launcher.shownFiles, std::vector<std::string>{result.reportHostPath});

    std::string expected = "   CERTIFICAZIONE UNICA LAVORO DIPENDENTE ANNO 2017\r\n" + std::string(55, '-') + "\r\n"
        "Sostituto           :ROSSI COSTRUZIONI SRL   \r\n"
        "                    :SEDE DI MILANO          \r\n"
        "Codice fiscale      :01234567890     \r\n"
        "Tipologia fornitura :N\r\n"
        "Protocollo n.1 Sost :                 \r\n"
        "Protocollo n.2 Sost :      \r\n"
        "Percorso e nome file:C:\\nolv\\nv770\\2016\\dati\\TCU317\r\n"
        + std::string(56, '-') + "\r\n           Dati utili alla quadratura C.U.\r\n" + std::string(56, '-') + "\r\n"
        "Numero Dipendenti               2 \r\n";
    const std::string report = root.read(std::string(kDataFolder) + "report.txt");
    EXPECT_EQ(report.substr(0, expected.size()), expected);
    // Each employee earned 25000 (CU 22, field "DB001001").
    EXPECT_EQ(report.substr(expected.size(), 45), "Totale Redditi                  50000 \r\nRiten");
    EXPECT_TRUE(report.ends_with("Rivalutazioni del TFR           0 \r\n" + std::string(58, '-') + "\r\n"));
    EXPECT_EQ(root.read("c/nolv/nv770/2016/avstp.bat"),
              "ECHO OFF\r\nCLS\r\nC:\\wnolv\\wordpad C:\\nolv\\NV770\\2016\\dati\\report.txt\r\nexit\r\n");
}

TEST(RunReport, TotalsAreRoundedToCentsAndPrintedInTheirOrder)
{
    EXPECT_EQ(reportNumber(1234.5), " 1234,5 ");
    EXPECT_EQ(reportNumber(0.5), " 0,5 ");
    EXPECT_EQ(reportNumber(12), " 12 ");
    EXPECT_EQ(reportNumber(0), " 0 ");
    EXPECT_EQ(reportNumber(5.55111512312578e-17), " 0 ");
    EXPECT_EQ(reportNumber(0.1 + 0.2), " 0,3 ");
    EXPECT_EQ(reportNumber(-1.234), "-1,23 ");

    ReportTotals totals{};
    for (int slot = 1; slot <= 30; ++slot)
        totals[static_cast<std::size_t>(slot)] = slot;
    const auto lines = reportLines(payroll::HeaderTable{}, "S", "x", totals);
    ASSERT_EQ(lines.size(), 34u);
    std::string slots;
    for (std::size_t i = 12; i < 33; ++i) {
        EXPECT_EQ(lines[i].size(), 31 + reportNumber(std::stoi(lines[i].substr(32))).size()) << lines[i];
        slots += lines[i].substr(32, lines[i].size() - 33) + ",";
    }
    EXPECT_EQ(slots, "1,2,3,4,7,8,5,6,9,10,11,12,13,14,15,21,16,17,18,19,20,");
    EXPECT_EQ(lines[31], "Ritenute Irpef TFR anni preced. 19 ");
}

TEST_F(RunTest, AnArchiveShorterThanTheHeaderCountStopsTheRunAtTheFirstMissingRecord)
{
    const std::string readError
        = "Errore di lettura tipo  62 nel file binario C:\\nolv\\nv770\\2016\\dati\\DCU3.017 al record  ";
    const struct {
        const char* count;
        std::size_t archiveBytes; // of the four records' 24000
        const char* missing;
    } cases[] = {
        {"0006", 24000, "5"},
        {"9999", 24000, "5"},
        {"1E99", 24000, "5"}, // a count no archive can reach
        {"0004", 23999, "4"}, // the last record cut short
        {"0004", 6000, "2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count + std::to_string(c.archiveBytes));
        prompter.shown.clear();
        employeeCount = c.count;
        open();
        root.write(std::string(kDataFolder) + "TCU317", "an earlier file");
        root.write(std::string(kDataFolder) + "DCU3.017", archiveFile(archive).substr(0, c.archiveBytes));
        const RunResult result = form.run();
        EXPECT_EQ(result.outcome, RunOutcome::Stopped);
        EXPECT_EQ(prompter.texts(), (std::vector<std::string>{
                                        readError + c.missing,
                                        std::string("L'archivio dei dipendenti non contiene il record ") + c.missing + " ",
                                    }));
        EXPECT_EQ(prompter.last().title, "Accesso");
        EXPECT_EQ(prompter.last().icon, records::Icon::Stop);
        EXPECT_EQ(telematic(), "an earlier file");
        EXPECT_FALSE(temporaryFileLeft());
    }
}

TEST_F(RunTest, ALongArchiveIsReadToItsEndAndStopsAtItsFirstMissingRecord)
{
    // 130 employees, wherever the archive ends or is cut short: every record up to the count
    // is looked at, and the first one missing is named, however the records are read.
    const std::string readError
        = "Errore di lettura tipo  62 nel file binario C:\\nolv\\nv770\\2016\\dati\\DCU3.017 al record  ";
    const std::vector<std::string> employees(130, archive[0]);
    const struct {
        const char* count;
        std::size_t archiveBytes;
        const char* missing; // nullptr: the run completes
    } cases[] = {
        {"0130", 130 * 6000, nullptr},
        {"0200", 130 * 6000, "131"},
        {"0130", 129 * 6000, "130"},
        {"0200", 64 * 6000, "65"},
        {"0200", 64 * 6000 + 3000, "65"},
        {"0200", 63 * 6000 + 1, "64"},
        {"0200", 128 * 6000, "129"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count + std::string(" ") + std::to_string(c.archiveBytes));
        prompter.shown.clear();
        employeeCount = c.count;
        open();
        root.write(std::string(kDataFolder) + "DCU3.017", archiveFile(employees).substr(0, c.archiveBytes));
        const RunResult result = form.run();
        if (c.missing == nullptr) {
            EXPECT_EQ(result.outcome, RunOutcome::Completed);
            const std::string types = recordTypes(splitRecords(telematic()));
            EXPECT_EQ(std::count(types.begin(), types.end(), 'D'), 130);
            EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Memorizazione regolarmente effettuata..."});
            continue;
        }
        EXPECT_EQ(result.outcome, RunOutcome::Stopped);
        EXPECT_EQ(prompter.texts(), (std::vector<std::string>{
                                        readError + c.missing,
                                        std::string("L'archivio dei dipendenti non contiene il record ") + c.missing + " ",
                                    }));
        EXPECT_FALSE(temporaryFileLeft());
    }
}

TEST_F(RunTest, ARecordThatCannotBeWrittenIsReportedBeforeALaterReadError)
{
    employeeCount = "0006";
    open();
    RunResult result;
    {
        const FileSizeLimit limit(2 * 1900); // records A and B fit, the first record D does not
        result = form.run();
    }
    EXPECT_EQ(result.outcome, RunOutcome::Stopped);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Errore di scrittura tipo  61 nel file binario "
                                                         "C:\\nolv\\nv770\\2016\\dati\\TCU317 al record  3"});
    EXPECT_FALSE(leftovers());
}

TEST_F(RunTest, ARecordThatCannotBeWrittenIsReportedInsteadOfALaterStop)
{
    payroll::CuFields last = sampleEmployee("NREFNC65A41F205W", "NERI", "FRANCA");
    last.cu[22] = "1E14"; // more than the thirteen digits of an amount
    archive[3] = payroll::packArchiveRecord(last);
    open();
    RunResult result;
    {
        const FileSizeLimit limit(2 * 1900);
        result = form.run();
    }
    EXPECT_EQ(result.outcome, RunOutcome::Stopped);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Errore di scrittura tipo  61 nel file binario "
                                                         "C:\\nolv\\nv770\\2016\\dati\\TCU317 al record  3"});
    EXPECT_FALSE(leftovers());

    // With room for the file the same archive stops at the amount.
    prompter.shown.clear();
    expectStop(form.run(), "Importo non rappresentabile nel campo DB001001 ");
    EXPECT_EQ(prompter.shown.size(), 1u);
}
