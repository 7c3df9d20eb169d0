#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "payroll/collaborator_record.h"
#include "payroll/company_record.h"
#include "records/file_lock.h"
#include "records/output_file.h"
#include "testing/installation_values.h"
#include "testing/scripted_prompter.h"
#include "uniemens/company_files.h"
#include "uniemens/series.h"
#include "uniemens/tests/uniemens_test_support.h"

// The series and the company scan through their own interface, without any form: what a
// program that declares the companies of a month itself would do.

using namespace uniemens;
using records::testing::RecordingLauncher;
using records::testing::ScriptedPrompter;
using uniemens::testing::addEmployeeCompany;
using uniemens::testing::companyHeader;
using uniemens::testing::crlf;
using uniemens::testing::occurrences;
using uniemens::testing::parsedTexts;

namespace fs = std::filesystem;

namespace {

constexpr const char* kStored = "Memorizzazione regolarmente effettuata";

// The series asks no question: the ScriptedPrompter fails the test on any.
struct SeriesTest : ::testing::Test {
    uniemens::testing::Installation installation;
    records::testing::InstallationValues shared{installation.root.path()};
    ScriptedPrompter prompter;
    RecordingLauncher launcher;

    SeriesTest()
    {
        shared.installation.drivePrefix = "C:";
        shared.installation.workingYear = "2016";
    }

    records::Workplace workplace() { return shared.workplace(prompter, launcher); }

    // A collaborator company of March with one collaborator paid this month.
    void addCollaboratorCompany(const char* code, const char* name)
    {
        payroll::CompanyHeaderFields h = companyHeader(code, "1", name);
        h[18] = "40121";
        h[19] = "037006";
        h[20] = "1";
        installation.addCompany(code, "03", h);
        payroll::CollaboratorFields k;
        k[1] = "LMBGNN70A01A944S", k[2] = "LOMBARDI", k[3] = "GIOVANNI", k[4] = "A944", k[5] = "07";
        k[7] = "1250", k[8] = "3172", k[9] = "0";
        k[10] = "01", k[11] = "03", k[12] = "2016", k[13] = "31", k[14] = "03", k[15] = "2016";
        installation.addCollaborators(code, "03", payroll::packCollaborator(k));
    }

    static std::string dataFile(const char* code) { return std::string("C:\\nolv\\paghe\\una") + code + "03.016"; }

    // The files of the checking program's folder that are not being written.
    std::vector<std::string> storedFiles() const
    {
        std::vector<std::string> names;
        for (const std::string& name : installation.xmlFolderNames()) {
            if (!records::OutputFile::isTemporaryName(name) && !records::FileLock::isLockFileName(name))
                names.push_back(name);
        }
        return names;
    }
};

} // namespace

TEST_F(SeriesTest, ACompanyIsStoredAsAWholeDeclarationAndNothingIsAsked)
{
    addCollaboratorCompany("005", "CENTRO STUDI AURORA SRL");
    Series series(workplace());
    std::size_t shownWhenStored = 0;
    std::string storedPath;
    series.events.stored = [&](const std::string& hostPath) {
        shownWhenStored = prompter.shown.size();
        storedPath = hostPath;
    };
    series.open(3);

    const SeriesResult added = series.add(dataFile("005"));
    EXPECT_EQ(added.outcome, SeriesOutcome::Added);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{kStored});
    EXPECT_TRUE(series.isOpen());
    EXPECT_EQ(series.kind(), DeclarationKind::Collaborators);
    EXPECT_EQ(series.companies(), std::vector<std::string>{"005"});
    EXPECT_EQ(series.fileName(), "C:\\Program Files\\INPS\\INPS uniEmens individuale\\uea0050316.xml");
    EXPECT_TRUE(storedFiles().empty()); // written under a name of its own until stored

    const SeriesResult stored = series.store();
    ASSERT_EQ(stored.outcome, SeriesOutcome::Stored);
    EXPECT_EQ(stored.hostPath, installation.xmlFile("uea0050316.xml").string());
    EXPECT_EQ(storedPath, stored.hostPath);
    EXPECT_FALSE(series.isOpen());
    // The file has its name before the operator is told so.
    EXPECT_EQ(shownWhenStored, 1u);
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{
                  kStored, "Il file :C:\\Program Files\\INPS\\INPS uniEmens individuale\\uea0050316.xml e' stato memorizzato"}));
    EXPECT_EQ(installation.xmlFolderNames(), std::vector<std::string>{"uea0050316.xml"});
    EXPECT_EQ(installation.readXml("uea0050316.xml"), crlf({
                                                          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
                                                          "<DenunceMensili>",
                                                          "<DatiMittente Tipo=\"2\">",
                                                          "<CFPersonaMittente>FRRLGU60A01L219K</CFPersonaMittente>",
                                                          "<RagSocMittente>STUDIO FERRERO</RagSocMittente>",
                                                          "<CFMittente>01234567890</CFMittente>",
                                                          "<CFSoftwarehouse>07777777771</CFSoftwarehouse>",
                                                          "<SedeINPS>8100</SedeINPS>",
                                                          "</DatiMittente>",
                                                          "<Azienda>",
                                                          "<AnnoMeseDenuncia>2016-03</AnnoMeseDenuncia>",
                                                          "<CFAzienda>01987654321</CFAzienda>",
                                                          "<RagSocAzienda>CENTRO STUDI AURORA SRL</RagSocAzienda>",
                                                          "<ListaCollaboratori>",
                                                          "<CAP>40121</CAP>",
                                                          "<ISTAT>037006</ISTAT>",
                                                          "<Collaboratore>",
                                                          "<CFCollaboratore>LMBGNN70A01A944S</CFCollaboratore>",
                                                          "<Cognome>LOMBARDI</Cognome>",
                                                          "<Nome>GIOVANNI</Nome>",
                                                          "<CodiceComune>A944</CodiceComune>",
                                                          "<TipoRapporto>07</TipoRapporto>",
                                                          "<Imponibile>1250</Imponibile>",
                                                          "<Aliquota>3172</Aliquota>",
                                                          "<Dal>2016-03-01</Dal>",
                                                          "<Al>2016-03-31</Al>",
                                                          "</Collaboratore>",
                                                          "</ListaCollaboratori>",
                                                          "</Azienda>",
                                                          "</DenunceMensili>",
                                                      }));
}

TEST_F(SeriesTest, TwoCompaniesChainIntoOneFileNamedAfterTheFirst)
{
    addEmployeeCompany(installation, "001", "FP", 1, "ROSSI SRL");
    addEmployeeCompany(installation, "002", "FC", 2, "BIANCHI SPA");
    Series series(workplace());
    series.open(3);
    ASSERT_EQ(series.add(dataFile("001")).outcome, SeriesOutcome::Added);
    ASSERT_EQ(series.add(dataFile("002")).outcome, SeriesOutcome::Added);
    EXPECT_EQ(series.companies(), (std::vector<std::string>{"001", "002"}));
    const SeriesResult stored = series.store();
    ASSERT_EQ(stored.outcome, SeriesOutcome::Stored);

    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{
                  kStored, kStored,
                  "Il file :C:\\Program Files\\INPS\\INPS uniEmens individuale\\fp0010316.xml e' stato memorizzato"}));
    EXPECT_EQ(installation.xmlFolderNames(), std::vector<std::string>{"fp0010316.xml"});
    const std::string xml = installation.readXml("fp0010316.xml");
    EXPECT_EQ(occurrences(xml, "<DenunceMensili>"), 1u);
    EXPECT_EQ(occurrences(xml, "<DatiMittente"), 1u);
    EXPECT_EQ(parsedTexts(xml, "RagSocAzienda"), (std::vector<std::string>{"ROSSI SRL", "BIANCHI SPA"}));
    EXPECT_EQ(occurrences(xml, "<DenunciaIndividuale>"), 3u);
    // Each company's composition decides its own totals: "FP" has none, "FC" has them.
    EXPECT_EQ(occurrences(xml, "<DenunciaAziendale>"), 1u);
    EXPECT_NE(xml.find(crlf({"</PosContributiva>", "</Azienda>", "<Azienda>", "<AnnoMeseDenuncia>2016-03</AnnoMeseDenuncia>"})),
              std::string::npos);
    EXPECT_TRUE(xml.ends_with(crlf({"</PosContributiva>", "</Azienda>", "</DenunceMensili>"})));
}

// A refused company leaves the series as it was: still open, its companies kept, its file
// being written; the next company goes on into it.
TEST_F(SeriesTest, ARefusalKeepsTheSeriesOpen)
{
    addEmployeeCompany(installation, "001", "", 1, "ROSSI SRL");
    addEmployeeCompany(installation, "002", "", 1, "BIANCHI SPA");
    addCollaboratorCompany("005", "AURORA SRL");
    installation.addCompany("007", "03", companyHeader("002", "0", "BIANCHI SPA")); // named 007, holds 002
    installation.addCompany("009", "03", companyHeader("009", "7"));
    struct Case {
        const char* code;
        const char* refusal;
        const char* title;
        records::Icon icon;
    };
    const Case cases[] = {
        {"001", "La ditta 001 e' gia' nel file ", "", records::Icon::Information},
        {"005", "La ditta 005 ha una denuncia di altro tipo: va inviata in un file a parte ", "",
         records::Icon::Information},
        {"009", "La ditta 009 ha una denuncia di altro tipo: va inviata in un file a parte ", "",
         records::Icon::Information},
        {"007", "Il file C:\\nolv\\paghe\\una00703.016 contiene la ditta 002 ", "Accesso", records::Icon::Stop},
    };
    Series series(workplace());
    series.open(3);
    ASSERT_EQ(series.add(dataFile("001")).outcome, SeriesOutcome::Added);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const std::size_t shown = prompter.shown.size();
        const SeriesResult refused = series.add(dataFile(c.code));
        EXPECT_EQ(refused.outcome, SeriesOutcome::Refused);
        EXPECT_EQ(refused.message, c.refusal);
        ASSERT_EQ(prompter.shown.size(), shown + 1);
        EXPECT_EQ(prompter.last().text, c.refusal);
        EXPECT_EQ(prompter.last().title, c.title);
        EXPECT_EQ(prompter.last().icon, c.icon);
        EXPECT_TRUE(series.isOpen());
        EXPECT_EQ(series.companies(), std::vector<std::string>{"001"});
        ASSERT_EQ(installation.xmlFolderNames().size(), 2u); // the file being written and its lock
        EXPECT_TRUE(storedFiles().empty());
    }
    ASSERT_EQ(series.add(dataFile("002")).outcome, SeriesOutcome::Added);
    ASSERT_EQ(series.store().outcome, SeriesOutcome::Stored);
    EXPECT_EQ(parsedTexts(installation.readXml("uea0010316.xml"), "RagSocAzienda"),
              (std::vector<std::string>{"ROSSI SRL", "BIANCHI SPA"}));
}

// A stop ends the series: the file being written is gone, an older file of its name is as it
// was, and there is nothing left to store.
TEST_F(SeriesTest, AStopLeavesNoFile)
{
    addEmployeeCompany(installation, "001", "FC", 1);
    addEmployeeCompany(installation, "002", "FC", 2);
    payroll::CompanyHeaderFields counted = companyHeader("002", "0");
    counted[13] = "FC";
    counted[20] = "3"; // the employee data file holds two
    installation.addCompany("002", "03", counted);
    addCollaboratorCompany("005", "AURORA SRL");
    fs::remove(installation.root.path() / "c/nolv/paghe/unc00503.016");
    installation.root.write(std::string(uniemens::testing::kXmlFolder) + "/fc0010316.xml", "earlier");
    struct Case {
        std::vector<const char*> companies; // the last one stops
        const char* stop;
        bool readMessage; // the failed read of the data file was told first
    };
    const Case cases[] = {
        {{"001", "002"}, "L'archivio dei dipendenti non contiene il record 3 ", true},
        {{"005"}, "L'archivio dei collaboratori non contiene il record 1 ", false},
        {{"001", "004"}, "Archivio inesistente C:\\nolv\\paghe\\una00403.016", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stop);
        prompter.shown.clear();
        Series series(workplace());
        series.open(3);
        for (std::size_t k = 0; k + 1 < c.companies.size(); ++k)
            ASSERT_EQ(series.add(dataFile(c.companies[k])).outcome, SeriesOutcome::Added);
        const std::size_t shown = prompter.shown.size();
        const SeriesResult stopped = series.add(dataFile(c.companies.back()));
        EXPECT_EQ(stopped.outcome, SeriesOutcome::Stopped);
        EXPECT_EQ(stopped.message, c.stop);
        ASSERT_EQ(prompter.shown.size(), shown + (c.readMessage ? 2 : 1));
        if (c.readMessage) {
            EXPECT_TRUE(prompter.shown[shown].text.starts_with("Errore di lettura tipo ")) << prompter.shown[shown].text;
        }
        EXPECT_EQ(prompter.last().text, c.stop);
        EXPECT_EQ(prompter.last().title, "Accesso");
        EXPECT_EQ(prompter.last().icon, records::Icon::Stop);
        EXPECT_FALSE(series.isOpen());
        EXPECT_TRUE(series.companies().empty());
        EXPECT_EQ(installation.xmlFolderNames(), std::vector<std::string>{"fc0010316.xml"});
        EXPECT_EQ(installation.readXml("fc0010316.xml"), "earlier");

        // Nothing is left to store, and nothing more is said.
        EXPECT_EQ(series.store().outcome, SeriesOutcome::Stopped);
        EXPECT_EQ(prompter.last().text, c.stop);
        EXPECT_EQ(installation.xmlFolderNames(), std::vector<std::string>{"fc0010316.xml"});
    }
}

// The companies of a month as the payroll program prepared them: by the code in the file's
// name, files only, each with what its header says.
TEST_F(SeriesTest, TheScanListsTheMonthsCompaniesWithTheirHeadings)
{
    addEmployeeCompany(installation, "001", "FC", 1, "EDILIZIA ROSSI COSTRUZIONI E RESTAURI SRL");
    installation.root.write("c/nolv/paghe/UNA00503.016",
                            payroll::packCompanyHeader(companyHeader("005", "1", "CENTRO STUDI AURORA SRL")));
    installation.root.write("c/nolv/paghe/una00703.016", std::string(500, ' ')); // a header cut short
    installation.addCompany("009", "03", companyHeader("002", "7", "BIANCHI SPA"));
    installation.addCompany("003", "04", companyHeader("003", "0")); // another month
    fs::create_directories(installation.root.path() / "c/nolv/paghe/una00803.016");

    const std::vector<ListedCompany> listed = scanMonth(shared.paths, "C:", "2016", 3);
    showScanFailures(prompter, listed);
    ASSERT_EQ(listed.size(), 4u);
    const struct {
        const char* dataFile;
        const char* code;
        std::string item;
        std::optional<CompanyHeading> heading;
    } expected[] = {
        {"C:\\nolv\\paghe\\una00103.016", "001", "001 EDILIZIA ROSSI COSTRUZIONI E RESTA",
         CompanyHeading{"001", DeclarationKind::Employees}},
        {"C:\\nolv\\paghe\\una00503.016", "005", "005 CENTRO STUDI AURORA SRL" + std::string(11, ' '),
         CompanyHeading{"005", DeclarationKind::Collaborators}},
        {"C:\\nolv\\paghe\\una00703.016", "007", "007 ", std::nullopt},
        {"C:\\nolv\\paghe\\una00903.016", "009", "002 BIANCHI SPA" + std::string(23, ' '),
         CompanyHeading{"002", DeclarationKind::Other}},
    };
    for (std::size_t k = 0; k < listed.size(); ++k) {
        SCOPED_TRACE(expected[k].code);
        EXPECT_EQ(listed[k].dataFile, expected[k].dataFile);
        EXPECT_EQ(listed[k].code, expected[k].code);
        EXPECT_EQ(listed[k].item, expected[k].item);
        ASSERT_EQ(listed[k].heading.has_value(), expected[k].heading.has_value());
        if (expected[k].heading) {
            EXPECT_EQ(listed[k].heading->code, expected[k].heading->code);
            EXPECT_EQ(listed[k].heading->kind, expected[k].heading->kind);
        }
    }
    // The header cut short said why it could not be read, and only it did.
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.last().text,
              "Errore di lettura tipo  62 nel file binario C:\\nolv\\paghe\\una00703.016 al record  1");
    EXPECT_TRUE(scanMonth(shared.paths, "C:", "2016", 5).empty());
}

// One series after another in the same series object, small and large: a large one goes to
// the file a block at a time while the next lines are made, and every file holds the same
// bytes as if each line had been written alone, whatever blocks its lines fell into: the
// block of the one employee of the smallest file once per employee, after the same heading.
TEST_F(SeriesTest, SeriesAfterSeriesHoldEveryEmployeeOnceWhateverTheirSize)
{
    const std::string end = "</DenunciaIndividuale>\r\n";
    struct Declared {
        std::string xml;
        std::size_t first = std::string::npos; // the first employee's block
        std::size_t last = std::string::npos;  // where the blocks end
    };
    const auto declare = [&](int employees) {
        addEmployeeCompany(installation, "001", "FC", employees);
        Series series(workplace());
        Declared declared;
        for (int round = 0; round < 2; ++round) {
            series.open(3);
            if (series.add(dataFile("001")).outcome != SeriesOutcome::Added
                || series.store().outcome != SeriesOutcome::Stored)
                return Declared{"not stored"};
            // The same object again: the second file is the same as the first.
            const std::string stored = installation.readXml("fc0010316.xml");
            if (round == 1 && stored != declared.xml)
                return Declared{"the second file differs"};
            declared.xml = stored;
        }
        declared.first = declared.xml.find("<DenunciaIndividuale>");
        declared.last = declared.xml.rfind(end);
        if (declared.last != std::string::npos)
            declared.last += end.size();
        return declared;
    };
    const Declared one = declare(1);
    ASSERT_NE(one.first, std::string::npos) << one.xml;
    ASSERT_NE(one.last, std::string::npos);
    const std::string employee = one.xml.substr(one.first, one.last - one.first);
    EXPECT_EQ(occurrences(employee, "<DenunciaIndividuale>"), 1u);

    for (const int employees : {3000, 2, 1500}) {
        SCOPED_TRACE(employees);
        const Declared many = declare(employees);
        ASSERT_NE(many.first, std::string::npos) << many.xml.substr(0, 100);
        ASSERT_NE(many.last, std::string::npos);
        EXPECT_EQ(many.xml.substr(0, many.first).size(), one.first);
        EXPECT_TRUE(many.xml.ends_with("</DenunceMensili>\r\n"));
        const std::string_view blocks = std::string_view(many.xml).substr(many.first, many.last - many.first);
        ASSERT_EQ(blocks.size(), employees * employee.size());
        std::size_t differing = 0;
        for (int k = 0; k < employees; ++k)
            differing += blocks.substr(k * employee.size(), employee.size()) != employee ? 1 : 0;
        EXPECT_EQ(differing, 0u);
    }
    // The smallest of the large files takes several of the writer's blocks.
    EXPECT_GT(1500 * employee.size(), 4u * 256u * 1024u);
}
