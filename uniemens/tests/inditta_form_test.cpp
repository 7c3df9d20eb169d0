#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <memory>

#include "payroll/collaborator_record.h"
#include "payroll/company_record.h"
#include "payroll/employee_record.h"
#include "records/file_lock.h"
#include "records/output_file.h"
#include "testing/file_size_limit.h"
#include "testing/installation_values.h"
#include "testing/scripted_prompter.h"
#include "uniemens/inditta_form.h"
#include "uniemens/questions.h"
#include "uniemens/tests/uniemens_test_support.h"

using namespace uniemens;
using payroll::CollaboratorFields;
using payroll::EmployeeEntries;
using records::testing::RecordingLauncher;
using records::testing::ScriptedPrompter;
using uniemens::testing::companyHeader;
using uniemens::testing::crlf;
using uniemens::testing::employee;
using uniemens::testing::occurrences;
using uniemens::testing::parsedTexts;
using uniemens::testing::ScriptedFileChooser;

namespace fs = std::filesystem;

using records::testing::FileSizeLimit;

namespace {

constexpr const char* kStored = "Memorizzazione regolarmente effettuata";

struct IndittaFormTest : ::testing::Test {
    uniemens::testing::Installation installation;
    records::testing::InstallationValues shared{installation.root.path()};
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
    ScriptedFileChooser chooser;
    std::unique_ptr<IndittaForm> form;

    void SetUp() override
    {
        shared.installation.drivePrefix = "C:"; // as the createl window read it
        form = std::make_unique<IndittaForm>(shared.workplace(prompter, launcher), chooser);
    }

    void addEmployeeCompany(const char* code, const char* composition, int employees, const char* name = "ROSSI SRL")
    {
        uniemens::testing::addEmployeeCompany(installation, code, composition, employees, name);
    }

    void chooseMonthAndCompany(int month, const char* code)
    {
        form->load();
        form->chooseMonth(month - 1);
        const int index = form->findCompany(code);
        ASSERT_GE(index, 0) << code;
        form->chooseCompany(index);
    }

    std::vector<std::string> xmlFiles() const { return installation.xmlFolderNames(); }
};

} // namespace

TEST_F(IndittaFormTest, TheMonthListsItsCompaniesAndAMonthWithoutFilesSaysSo)
{
    installation.addCompany("001", "03", companyHeader("001", "0", "EDILIZIA ROSSI COSTRUZIONI E RESTAURI SRL"));
    installation.root.write("c/nolv/paghe/UNA00703.016", payroll::packCompanyHeader(companyHeader("007", "1", "AURORA")));
    installation.addCompany("001", "04", companyHeader("001", "0"));
    installation.root.write("c/nolv/paghe/una50003.016", payroll::packCompanyHeader(companyHeader("500", "0")));

    form->load();
    EXPECT_EQ(form->workingYear, "2016");
    EXPECT_EQ(shared.installation.workingYear, "2016");
    EXPECT_EQ(form->action, ConfirmAction::CreateDeclaration);
    EXPECT_EQ(form->months.size(), 12u);

    form->chooseMonth(2);
    EXPECT_EQ(form->selectedMonth, "03");
    ASSERT_EQ(form->companyItems.size(), 2u);
    // Code, one blank, the first 34 characters of the name.
    EXPECT_EQ(form->companyItems[0], "001 EDILIZIA ROSSI COSTRUZIONI E RESTA");
    EXPECT_EQ(form->companyItems[1], "007 AURORA" + std::string(28, ' '));
    EXPECT_EQ(form->companyListText, form->companyItems[0] + " Clicca per selezionare il file");
    EXPECT_EQ(form->selectedCompany(), "");
    form->chooseCompany(1);
    EXPECT_EQ(form->chosenDataFile, "C:\\nolv\\paghe\\una00703.016");
    EXPECT_EQ(form->selectedIndex, 2);
    // The list's text is the company chosen; its code and name go beside the file.
    EXPECT_EQ(form->companyListText, "007 AURORA" + std::string(28, ' '));
    EXPECT_EQ(form->selectedCompany(), "007 AURORA");

    form->chooseMonth(4);
    EXPECT_TRUE(form->companyItems.empty());
    EXPECT_EQ(form->companyListText, "Nessun file predisposto per il mese e l'anno");
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(IndittaFormTest, AnEmployeeCompanyOfCompositionFcGetsItsFileAndTotals)
{
    payroll::CompanyHeaderFields h = companyHeader("001", "0");
    h[13] = "FC";
    h[20] = "000003";
    h[22] = "1320.00";
    h[23] = "0";
    h[25] = "S";
    h[26] = "2";
    h[40] = "E";
    h[41] = "REV1";
    h[42] = "FON1";
    h[43] = "2";
    h[28] = "12.00";
    h[30] = "TFR1";
    h[62] = "8.00";
    h[63] = "DEB2";
    h[64] = "0";
    installation.addCompany("001", "03", h);
    installation.addEmployees("001", "03", payroll::packEmployee(employee("RSSMRA80A01F205X", "ROSSI", "MARIO"))
                                              + payroll::packEmployee(employee("VRDLGU85C12F205Z", "VERDI", "LUIGI"), ' ')
                                              + payroll::packEmployee(employee("BNCMRA90A41H501Y", "BIANCHI", "MARIA")));
    chooseMonthAndCompany(3, "001");
    prompter.answer(false); // no other company
    prompter.answer(false); // no check
    // The checking program is offered where it is installed.
    installation.root.write("c/Program Files/INPS/INPS uniEmens individuale/UniEMensIndiv.exe", "");

    EXPECT_EQ(form->confirm(), ConfirmOutcome::FileStored);
    ASSERT_EQ(prompter.texts(),
              (std::vector<std::string>{kStored, "Inserisci altra Ditta ?",
                                        "Il file :C:\\Program Files\\INPS\\INPS uniEmens individuale\\fc0010316.xml e' stato memorizzato",
                                        "Vuoi proseguire con il controllo del file ?"}));
    EXPECT_EQ(prompter.shown[1].title, "Fine lavoro");
    EXPECT_EQ(prompter.shown[1].asked, uniemens::kAnotherCompany);
    EXPECT_EQ(prompter.shown[3].asked, uniemens::kContinueWithCheck);
    EXPECT_TRUE(form->closeRequested);
    EXPECT_EQ(xmlFiles(), (std::vector<std::string>{"UniEMensIndiv.exe", "fc0010316.xml"}));
    EXPECT_EQ(form->storedHostPath(), installation.xmlFile("fc0010316.xml").string());

    const std::string xml = installation.readXml("fc0010316.xml");
    EXPECT_EQ(parsedTexts(xml, "CFLavoratore"), (std::vector<std::string>{"RSSMRA80A01F205X", "BNCMRA90A41H501Y"}));
    EXPECT_TRUE(xml.starts_with(crlf({
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
        "<RagSocAzienda>ROSSI COSTRUZIONI SRL</RagSocAzienda>",
        "<PosContributiva Composizione=\"FC\">",
        "<Matricola>8100012345</Matricola>",
        "<DenunciaIndividuale>",
    })));
    EXPECT_TRUE(xml.ends_with(crlf({
        "</DenunciaIndividuale>",
        "<DenunciaAziendale>",
        "<TrattQuotaLav>S</TrattQuotaLav>",
        "<NumLavoratori>2</NumLavoratori>",
        "<ForzaAziendale>2</ForzaAziendale>",
        "<FondoInterprof>",
        "<Adesione>",
        "<CodFondo>FON1</CodFondo>",
        "<NumDip>2</NumDip>",
        "</Adesione>",
        "<Revoca>REV1</Revoca>",
        "</FondoInterprof>",
        "<AziendaTFR>",
        "<RecuperoTFR>",
        "<CausaleRecTFR>TFR1</CausaleRecTFR>",
        "<ImportoRecTFR>12.00</ImportoRecTFR>",
        "</RecuperoTFR>",
        "</AziendaTFR>",
        "<AltrePartiteADebito>",
        "<CausaleADebito>DEB2</CausaleADebito>",
        "<SommaADebito>8.00</SommaADebito>",
        "</AltrePartiteADebito>",
        "<DatiQuadraturaRetrContr>",
        "<NumDenIndiv>2</NumDenIndiv>",
        "<TotaleADebito>1320.00</TotaleADebito>",
        "<TotaleACredito>0</TotaleACredito>",
        "</DatiQuadraturaRetrContr>",
        "</DenunciaAziendale>",
        "</PosContributiva>",
        "</Azienda>",
        "</DenunceMensili>",
    })));
}

// Only files are companies: a link to nothing or a folder under a company file's name is
// not listed, and nothing is created through the link.
TEST_F(IndittaFormTest, TheScanListsFilesOnlyAndCreatesNothing)
{
    addEmployeeCompany("001", "", 1);
    const fs::path paghe = installation.root.path() / "c/nolv/paghe";
    const fs::path nowhere = installation.root.path() / "nowhere.dat";
    fs::create_symlink(nowhere, paghe / "una00703.016");
    fs::create_directories(paghe / "una00803.016");
    installation.root.write("elsewhere.dat", payroll::packCompanyHeader(companyHeader("009", "0", "LINKED SRL")));
    fs::create_symlink(installation.root.path() / "elsewhere.dat", paghe / "una00903.016");

    form->load();
    form->chooseMonth(2);
    EXPECT_EQ(form->dataFiles,
              (std::vector<std::string>{"C:\\nolv\\paghe\\una00103.016", "C:\\nolv\\paghe\\una00903.016"}));
    EXPECT_FALSE(fs::exists(fs::symlink_status(nowhere)));
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(IndittaFormTest, CompositionAndCancellationDecideNameAndTotals)
{
    struct Case {
        const char* composition;
        const char* cancellation;
        const char* file;
        bool totals;
    };
    const Case cases[] = {
        {"FP", "0", "fp0010316.xml", false},
        {"XX", "1", "uea0010316.xml", true},
    };
    for (const Case& c : cases) {
        uniemens::testing::Installation own;
        records::testing::InstallationValues values{own.root.path()};
        values.installation.drivePrefix = "C:";
        payroll::CompanyHeaderFields h = companyHeader("001", "0");
        h[13] = c.composition;
        h[15] = c.cancellation;
        h[20] = "1";
        own.addCompany("001", "03", h);
        own.addEmployees("001", "03", payroll::packEmployee(employee("RSSMRA80A01F205X", "ROSSI", "MARIO")));
        IndittaForm f(values.workplace(prompter, launcher), chooser);
        f.load();
        f.chooseMonth(2);
        f.chooseCompany(0);
        prompter.answer(false);
        prompter.answer(false);
        ASSERT_EQ(f.confirm(), ConfirmOutcome::FileStored) << c.file;
        const std::string xml = own.readXml(c.file);
        EXPECT_EQ(occurrences(xml, "<DenunciaAziendale>"), c.totals ? 1u : 0u) << c.file;
        if (std::string(c.cancellation) == "1") {
            EXPECT_NE(xml.find("<DenunciaIndividuale Elimina=\"S\">"), std::string::npos);
            EXPECT_NE(xml.find(crlf({"<DatiQuadraturaRetrContr>", "<NumDenIndiv>0</NumDenIndiv>",
                                     "<TotaleADebito>0</TotaleADebito>", "<TotaleACredito>0</TotaleACredito>",
                                     "</DatiQuadraturaRetrContr>"})),
                      std::string::npos);
        }
        EXPECT_FALSE(parsedTexts(xml, "Matricola").empty());
    }
}

TEST_F(IndittaFormTest, ACollaboratorCompanyDeclaresThePaidCollaboratorsAndStaysListedButIsNotWrittenTwice)
{
    payroll::CompanyHeaderFields h = companyHeader("005", "1", "CENTRO STUDI AURORA SRL");
    h[13] = "FP"; // plays no part for collaborators
    h[18] = "40121";
    h[19] = "037006";
    h[20] = "3";
    installation.addCompany("005", "03", h);
    CollaboratorFields tutor;
    tutor[1] = "LMBGNN70A01A944S";
    tutor[2] = "LOMBARDI";
    tutor[3] = "GIOVANNI";
    tutor[4] = "A944";
    tutor[5] = "06";
    tutor[6] = "05";
    tutor[7] = "1250";
    tutor[8] = "3172";
    tutor[9] = "0";
    tutor[10] = "01", tutor[11] = "03", tutor[12] = "2016";
    tutor[13] = "31", tutor[14] = "03", tutor[15] = "2016";
    tutor[16] = "CA";
    tutor[17] = "123";
    tutor[18] = "100.00";
    tutor[19] = "T1";
    CollaboratorFields unpaid = tutor;
    unpaid[7] = "0";
    CollaboratorFields adviser = tutor;
    adviser[1] = "CNNLRA75B42F205P";
    adviser[2] = "CANNAVO";
    adviser[3] = "LAURA";
    adviser[5] = "07";
    adviser[9] = "DS1";
    adviser[18] = "0"; // a disaster code without a relief amount: no Agevolazione
    installation.addCollaborators("005", "03",
                                  payroll::packCollaborator(tutor) + payroll::packCollaborator(unpaid)
                                      + payroll::packCollaborator(adviser));
    payroll::CompanyHeaderFields none = companyHeader("006", "1", "AURORA SERVIZI SRL");
    none[18] = "40122";
    none[19] = "037006";
    none[20] = "0"; // no collaborator paid this month
    installation.addCompany("006", "03", none);
    chooseMonthAndCompany(3, "005");
    prompter.answer(true); // another company
    EXPECT_EQ(form->confirm(), ConfirmOutcome::CompanyAdded);
    EXPECT_TRUE(form->seriesOpen());
    EXPECT_EQ(form->findCompany("005"), 0);
    EXPECT_EQ(form->chosenDataFile, "");
    for (const std::string& name : xmlFiles())
        EXPECT_TRUE(records::OutputFile::isTemporaryName(name) || records::FileLock::isLockFileName(name)) << name;
    // Still listed, but already in the file.
    form->chooseCompany(0);
    EXPECT_EQ(form->confirm(), ConfirmOutcome::Refused);
    EXPECT_EQ(prompter.last().text, "La ditta 005 e' gia' nel file ");
    EXPECT_EQ(prompter.last().icon, records::Icon::Information);
    form->chooseCompany(form->findCompany("006"));
    prompter.answer(false);
    prompter.answer(false);
    EXPECT_EQ(form->confirm(), ConfirmOutcome::FileStored);

    const std::string company = crlf({
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
        "<TipoRapporto>06</TipoRapporto>",
        "<CodiceAttivita>05</CodiceAttivita>",
        "<Imponibile>1250</Imponibile>",
        "<Aliquota>3172</Aliquota>",
        "<Dal>2016-03-01</Dal>",
        "<Al>2016-03-31</Al>",
        "<Agevolazione>",
        "<CodCalamita>CA</CodCalamita>",
        "<CodCertificazione>123</CodCertificazione>",
        "<ImpAgevolazione>100.00</ImpAgevolazione>",
        "<TipoAgevolazione>T1</TipoAgevolazione>",
        "</Agevolazione>",
        "</Collaboratore>",
        "<Collaboratore>",
        "<CFCollaboratore>CNNLRA75B42F205P</CFCollaboratore>",
        "<Cognome>CANNAVO</Cognome>",
        "<Nome>LAURA</Nome>",
        "<CodiceComune>A944</CodiceComune>",
        "<TipoRapporto>07</TipoRapporto>",
        "<Imponibile>1250</Imponibile>",
        "<Aliquota>3172</Aliquota>",
        "<Dal>2016-03-01</Dal>",
        "<Al>2016-03-31</Al>",
        "</Collaboratore>",
        "</ListaCollaboratori>",
        "</Azienda>",
    });
    // A company whose collaborators are all skipped still has its block.
    const std::string skipped = crlf({
        "<Azienda>",
        "<AnnoMeseDenuncia>2016-03</AnnoMeseDenuncia>",
        "<CFAzienda>01987654321</CFAzienda>",
        "<RagSocAzienda>AURORA SERVIZI SRL</RagSocAzienda>",
        "<ListaCollaboratori>",
        "<CAP>40122</CAP>",
        "<ISTAT>037006</ISTAT>",
        "</ListaCollaboratori>",
        "</Azienda>",
    });
    const std::string xml = installation.readXml("uea0050316.xml");
    EXPECT_EQ(xml.substr(xml.find("<Azienda>")), company + skipped + "</DenunceMensili>\r\n");
    EXPECT_EQ(occurrences(xml, "<DatiMittente"), 1u);
    EXPECT_EQ(parsedTexts(xml, "CFCollaboratore").size(), 2u);
}

TEST_F(IndittaFormTest, TwoCompaniesChainIntoOneFileNamedAfterTheFirst)
{
    addEmployeeCompany("001", "FC", 1);
    addEmployeeCompany("002", "", 2, "BIANCHI SPA");
    addEmployeeCompany("003", "", 1, "VERDI SNC");
    chooseMonthAndCompany(3, "001");
    prompter.answer(true);
    ASSERT_EQ(form->confirm(), ConfirmOutcome::CompanyAdded);

    // The company written is off the list; the others keep their own files.
    ASSERT_EQ(form->companyItems.size(), 2u);
    EXPECT_EQ(form->companyItems[0].substr(0, 3), "002");
    EXPECT_EQ(form->dataFiles[0], "C:\\nolv\\paghe\\una00203.016");
    EXPECT_EQ(form->dataFiles[1], "C:\\nolv\\paghe\\una00303.016");
    EXPECT_EQ(form->companyListText, form->companyItems[0] + " Clicca per selezionare il file");
    EXPECT_FALSE(fs::exists(installation.xmlFile("fc0010316.xml"))); // not complete yet

    form->chooseCompany(1);
    EXPECT_EQ(form->chosenDataFile, "C:\\nolv\\paghe\\una00303.016");
    prompter.answer(false);
    ASSERT_EQ(form->confirm(), ConfirmOutcome::FileStored);
    // The checking program is not installed: its question, whose Yes could only fail, is
    // not asked; the file's message is the last.
    EXPECT_EQ(prompter.last().text,
              "Il file :C:\\Program Files\\INPS\\INPS uniEmens individuale\\fc0010316.xml e' stato memorizzato");
    EXPECT_TRUE(prompter.answers.empty());
    // While the file is stored, the help line says where it lies on this computer, and why
    // the check was not offered.
    EXPECT_EQ(form->statusText(), "Il file UniEmens si trova su questo computer in "
                                      + installation.root.path().string()
                                      + "/c/Program Files/INPS/INPS uniEmens individuale/fc0010316.xml (il programma "
                                        "di controllo dell'INPS non e' installato su questo computer)");
    EXPECT_TRUE(launcher.started.empty());

    EXPECT_EQ(xmlFiles(), std::vector<std::string>{"fc0010316.xml"});
    const std::string xml = installation.readXml("fc0010316.xml");
    EXPECT_EQ(occurrences(xml, "<DenunceMensili>"), 1u);
    EXPECT_EQ(occurrences(xml, "<DatiMittente"), 1u);
    EXPECT_EQ(parsedTexts(xml, "RagSocAzienda"), (std::vector<std::string>{"ROSSI SRL", "VERDI SNC"}));
    EXPECT_NE(xml.find("</Azienda>\r\n<Azienda>\r\n"), std::string::npos);
    EXPECT_EQ(occurrences(xml, "<DenunciaIndividuale>"), 2u);
}

// After "Inserisci altra Ditta ?" answered Yes nothing is chosen: "Conferma" asks for a
// company, the company written is refused without being read, and the list loses exactly
// the company written, wherever it stood.
TEST_F(IndittaFormTest, ACompanyIsWrittenOnceAndOnlyItLeavesTheList)
{
    addEmployeeCompany("001", "FC", 1);
    addEmployeeCompany("002", "", 2, "BIANCHI SPA");
    addEmployeeCompany("003", "", 1, "VERDI SNC");
    chooseMonthAndCompany(3, "002");
    prompter.answer(true);
    ASSERT_EQ(form->confirm(), ConfirmOutcome::CompanyAdded);
    EXPECT_EQ(form->chosenDataFile, "");
    EXPECT_EQ(form->selectedIndex, 0);
    EXPECT_EQ(form->dataFiles,
              (std::vector<std::string>{"C:\\nolv\\paghe\\una00103.016", "C:\\nolv\\paghe\\una00303.016"}));
    ASSERT_EQ(form->companyItems.size(), 2u);
    EXPECT_EQ(form->companyItems[1].substr(0, 13), "003 VERDI SNC");

    const std::size_t shown = prompter.shown.size();
    EXPECT_EQ(form->confirm(), ConfirmOutcome::NoCompany);
    EXPECT_TRUE(form->focusCompanyList);
    EXPECT_EQ(prompter.shown.size(), shown);

    // Named again (as a program driving the form can), the company is refused before its
    // data file is even looked at.
    fs::remove(installation.root.path() / "c/nolv/paghe/una00203.016");
    form->chosenDataFile = "C:\\nolv\\paghe\\una00203.016";
    EXPECT_EQ(form->confirm(), ConfirmOutcome::Refused);
    ASSERT_EQ(prompter.shown.size(), shown + 1);
    EXPECT_EQ(prompter.last().text, "La ditta 002 e' gia' nel file ");
    EXPECT_EQ(prompter.last().title, "");
    EXPECT_EQ(prompter.last().icon, records::Icon::Information);
    EXPECT_TRUE(form->seriesOpen());
    EXPECT_TRUE(form->seriesOpen());
    EXPECT_EQ(form->dataFiles.size(), 2u);

    form->chooseCompany(1);
    prompter.answer(true);
    ASSERT_EQ(form->confirm(), ConfirmOutcome::CompanyAdded);
    EXPECT_EQ(form->dataFiles, std::vector<std::string>{"C:\\nolv\\paghe\\una00103.016"});
    form->chooseCompany(0);
    prompter.answer(false);
    prompter.answer(false);
    ASSERT_EQ(form->confirm(), ConfirmOutcome::FileStored);
    const std::string xml = installation.readXml("uea0020316.xml");
    EXPECT_EQ(parsedTexts(xml, "RagSocAzienda"), (std::vector<std::string>{"BIANCHI SPA", "VERDI SNC", "ROSSI SRL"}));
    EXPECT_EQ(occurrences(xml, "<DenunciaIndividuale>"), 4u);
}

// A file holds workers of one kind: a company of another kind than the series' first one
// is refused and the series goes on, the companies stored in it kept.
TEST_F(IndittaFormTest, ACompanyOfAnotherKindIsRefusedAndTheSeriesGoesOn)
{
    struct Case {
        const char* first;
        const char* refused;
        const char* last;
        const char* file;
    };
    const Case cases[] = {
        {"001", "005", "002", "uea0010316.xml"}, // collaborators after employees
        {"005", "001", "006", "uea0050316.xml"}, // employees after collaborators
        {"001", "009", "002", "uea0010316.xml"}, // a kind that is neither
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.refused);
        uniemens::testing::Installation own;
        records::testing::InstallationValues values{own.root.path()};
        values.installation.drivePrefix = "C:";
        ScriptedPrompter answers;
        uniemens::testing::addEmployeeCompany(own, "001", "", 1, "ROSSI SRL");
        uniemens::testing::addEmployeeCompany(own, "002", "", 1, "BIANCHI SPA");
        for (const char* code : {"005", "006"}) {
            payroll::CompanyHeaderFields h = companyHeader(code, "1", std::string("AURORA ") + code);
            h[20] = "1";
            own.addCompany(code, "03", h);
            CollaboratorFields k;
            k[1] = "LMBGNN70A01A944S", k[2] = "LOMBARDI", k[3] = "GIOVANNI", k[5] = "07", k[7] = "1250";
            own.addCollaborators(code, "03", payroll::packCollaborator(k));
        }
        own.addCompany("009", "03", companyHeader("009", "7"));
        IndittaForm f(values.workplace(answers, launcher), chooser);
        f.load();
        f.chooseMonth(2);
        f.chooseCompany(f.findCompany(c.first));
        answers.answer(true);
        ASSERT_EQ(f.confirm(), ConfirmOutcome::CompanyAdded);
        const std::vector<std::string> listed = f.companyItems;

        f.chooseCompany(f.findCompany(c.refused));
        const std::size_t shown = answers.shown.size();
        EXPECT_EQ(f.confirm(), ConfirmOutcome::Refused);
        ASSERT_EQ(answers.shown.size(), shown + 1);
        EXPECT_EQ(answers.last().text, "La ditta " + std::string(c.refused)
                                           + " ha una denuncia di altro tipo: va inviata in un file a parte ");
        EXPECT_EQ(answers.last().icon, records::Icon::Information);
        EXPECT_TRUE(f.seriesOpen());
        EXPECT_EQ(f.companyItems, listed);
        // The file being written and its lock.
        const std::vector<std::string> names = own.xmlFolderNames();
        ASSERT_EQ(names.size(), 2u);
        EXPECT_EQ(std::count_if(names.begin(), names.end(), &records::OutputFile::isTemporaryName), 1);

        f.chooseCompany(f.findCompany(c.last));
        answers.answer(false);
        answers.answer(false);
        ASSERT_EQ(f.confirm(), ConfirmOutcome::FileStored);
        EXPECT_EQ(own.xmlFolderNames(), std::vector<std::string>{c.file});
        const std::string xml = own.readXml(c.file);
        EXPECT_EQ(occurrences(xml, "<Azienda>"), 2u);
        EXPECT_EQ(occurrences(xml, "<PosContributiva"), c.first[2] == '1' ? 2u : 0u);
        EXPECT_EQ(occurrences(xml, "<ListaCollaboratori>"), c.first[2] == '5' ? 2u : 0u);
    }
}

// A data file whose header names another company than its name is never declared, neither
// alone nor in a series, which goes on without it.
TEST_F(IndittaFormTest, ADataFileHoldingAnotherCompanyIsRefused)
{
    addEmployeeCompany("003", "", 1, "VERDI SNC");
    addEmployeeCompany("004", "", 1, "NERI SAS");
    addEmployeeCompany("001", "", 1);
    installation.addCompany("001", "03", companyHeader("002", "0", "BIANCHI SPA")); // a damaged header
    form->load();
    form->chooseMonth(2);
    EXPECT_EQ(form->companyItems[0].substr(0, 15), "002 BIANCHI SPA");
    EXPECT_EQ(form->findCompany("001"), 0); // by the name of its data file
    EXPECT_EQ(form->findCompany("002"), -1);
    const std::string refusal = "Il file C:\\nolv\\paghe\\una00103.016 contiene la ditta 002 ";

    form->chooseCompany(0);
    EXPECT_EQ(form->confirm(), ConfirmOutcome::Refused);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{refusal});
    EXPECT_EQ(prompter.last().title, "Accesso");
    EXPECT_EQ(prompter.last().icon, records::Icon::Stop);
    EXPECT_TRUE(xmlFiles().empty());
    bool opened = false;
    form->openEmployeeRegister = [&](const std::string&) { return opened = true; };
    form->chooseAction(ConfirmAction::EditEmployees);
    EXPECT_EQ(form->confirm(), ConfirmOutcome::Refused);
    EXPECT_FALSE(opened);
    form->chooseAction(ConfirmAction::CreateDeclaration);

    form->chooseCompany(form->findCompany("003"));
    prompter.answer(true);
    ASSERT_EQ(form->confirm(), ConfirmOutcome::CompanyAdded);
    form->chooseCompany(form->findCompany("001"));
    EXPECT_EQ(form->confirm(), ConfirmOutcome::Refused);
    EXPECT_EQ(prompter.last().text, refusal);
    EXPECT_TRUE(form->seriesOpen());
    form->chooseCompany(form->findCompany("004"));
    prompter.answer(false);
    prompter.answer(false);
    ASSERT_EQ(form->confirm(), ConfirmOutcome::FileStored);
    EXPECT_EQ(parsedTexts(installation.readXml("uea0030316.xml"), "RagSocAzienda"),
              (std::vector<std::string>{"VERDI SNC", "NERI SAS"}));
}

TEST_F(IndittaFormTest, AnAbandonedSeriesLeavesNoFile)
{
    addEmployeeCompany("001", "FC", 1);
    // An older file of the same name stays as it was.
    installation.root.write(std::string(uniemens::testing::kXmlFolder) + "/fc0010316.xml", "earlier");
    chooseMonthAndCompany(3, "001");
    prompter.answer(true);
    ASSERT_EQ(form->confirm(), ConfirmOutcome::CompanyAdded);
    // The earlier file, the one being written and the lock that keeps other series off it.
    EXPECT_EQ(xmlFiles().size(), 3u);
    EXPECT_NE(std::find(xmlFiles().begin(), xmlFiles().end(), "~fc0010316.xml.lock"), xmlFiles().end());
    form->goBack();
    EXPECT_TRUE(form->closeRequested);
    EXPECT_EQ(xmlFiles(), std::vector<std::string>{"fc0010316.xml"});
    EXPECT_EQ(installation.readXml("fc0010316.xml"), "earlier");

    // Closing the program in the middle of a series does the same.
    chooseMonthAndCompany(3, "001");
    prompter.answer(true);
    ASSERT_EQ(form->confirm(), ConfirmOutcome::CompanyAdded);
    form.reset();
    EXPECT_EQ(xmlFiles(), std::vector<std::string>{"fc0010316.xml"});
    EXPECT_EQ(installation.readXml("fc0010316.xml"), "earlier");
}

TEST_F(IndittaFormTest, AHeaderCountingMoreRecordsThanTheFileHoldsStopsTheSeries)
{
    addEmployeeCompany("001", "FC", 1);
    addEmployeeCompany("002", "FC", 2);
    payroll::CompanyHeaderFields h = companyHeader("002", "0");
    h[20] = "3";
    installation.addCompany("002", "03", h);

    chooseMonthAndCompany(3, "001");
    prompter.answer(true);
    ASSERT_EQ(form->confirm(), ConfirmOutcome::CompanyAdded);
    form->chooseCompany(form->findCompany("002"));
    ASSERT_EQ(form->confirm(), ConfirmOutcome::Stopped);

    ASSERT_GE(prompter.shown.size(), 2u);
    const auto& readFailure = prompter.shown[prompter.shown.size() - 2];
    EXPECT_TRUE(readFailure.text.starts_with("Errore di lettura tipo ")) << readFailure.text;
    EXPECT_EQ(prompter.last().text, "L'archivio dei dipendenti non contiene il record 3 ");
    EXPECT_EQ(prompter.last().title, "Accesso");
    EXPECT_EQ(prompter.last().icon, records::Icon::Stop);
    EXPECT_TRUE(xmlFiles().empty());
    // A new series can start: every company of the month is listed again.
    EXPECT_FALSE(form->seriesOpen());
    EXPECT_EQ(form->companyItems.size(), 2u);
}

// A large company's records are read many at a time; a file that ends early still names
// the first record missing, wherever the end falls.
TEST_F(IndittaFormTest, TheFirstMissingRecordIsNamedWhereverTheFileEnds)
{
    struct Case {
        int held;    // records in the employee data file
        int counted; // header field 20
        const char* stop;
    };
    const Case cases[] = {
        {16, 16, nullptr},
        {33, 33, nullptr},
        {20, 21, "L'archivio dei dipendenti non contiene il record 21 "},
        {20, 40, "L'archivio dei dipendenti non contiene il record 21 "},
        {32, 48, "L'archivio dei dipendenti non contiene il record 33 "},
        {262, 262, nullptr},
        {300, 300, nullptr},
        {140, 300, "L'archivio dei dipendenti non contiene il record 141 "},
        {299, 300, "L'archivio dei dipendenti non contiene il record 300 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.counted);
        uniemens::testing::Installation own;
        records::testing::InstallationValues values{own.root.path()};
        values.installation.drivePrefix = "C:";
        ScriptedPrompter answers;
        uniemens::testing::addEmployeeCompany(own, "001", "FC", c.held);
        payroll::CompanyHeaderFields h = companyHeader("001", "0");
        h[13] = "FC";
        h[20] = std::to_string(c.counted);
        own.addCompany("001", "03", h);
        IndittaForm f(values.workplace(answers, launcher), chooser);
        std::vector<double> seen;
        f.advanced = [&](double done, double total) {
            seen.push_back(done);
            EXPECT_EQ(total, c.counted);
        };
        f.load();
        f.chooseMonth(2);
        f.chooseCompany(0);
        answers.answer(false);
        answers.answer(false);
        const ConfirmOutcome outcome = f.confirm();
        if (c.stop == nullptr) {
            EXPECT_EQ(outcome, ConfirmOutcome::FileStored);
            EXPECT_EQ(occurrences(own.readXml("fc0010316.xml"), "<DenunciaIndividuale>"), static_cast<std::size_t>(c.held));
            EXPECT_EQ(seen.size(), static_cast<std::size_t>(c.held));
            EXPECT_EQ(seen.back(), c.held);
        } else {
            EXPECT_EQ(outcome, ConfirmOutcome::Stopped);
            ASSERT_EQ(answers.shown.size(), 2u);
            EXPECT_TRUE(answers.shown[0].text.starts_with("Errore di lettura tipo ")) << answers.shown[0].text;
            EXPECT_EQ(answers.shown[1].text, c.stop);
            EXPECT_TRUE(own.xmlFolderNames().empty());
        }
    }
}

TEST_F(IndittaFormTest, AMissingDataFileStopsWithoutBeingCreated)
{
    payroll::CompanyHeaderFields h = companyHeader("005", "1");
    h[20] = "2";
    installation.addCompany("005", "03", h);
    chooseMonthAndCompany(3, "005");
    EXPECT_EQ(form->confirm(), ConfirmOutcome::Stopped);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"L'archivio dei collaboratori non contiene il record 1 "});
    EXPECT_FALSE(fs::exists(installation.root.path() / "c/nolv/paghe/unc00503.016"));
    EXPECT_TRUE(xmlFiles().empty());
}

TEST_F(IndittaFormTest, AFailedWriteIsShownOnceAndStoresNothing)
{
    addEmployeeCompany("001", "FC", 1);
    chooseMonthAndCompany(3, "001");
    ConfirmOutcome outcome;
    {
        const FileSizeLimit limit(100); // the declaration cannot be written
        outcome = form->confirm();
    }

    EXPECT_EQ(outcome, ConfirmOutcome::Stopped);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_TRUE(prompter.last().text.starts_with("Errore di scrittura tipo "));
    EXPECT_NE(prompter.last().text.find(" nel file C:\\Program Files\\INPS\\INPS uniEmens individuale\\fc0010316.xml al record "),
              std::string::npos)
        << prompter.last().text;
    EXPECT_TRUE(xmlFiles().empty());
}

// A large company's lines go to the file a block at a time; a write that fails in the middle
// stores nothing and says so once, and the next declaration is written whole.
TEST_F(IndittaFormTest, AWriteFailingInTheMiddleOfALargeCompanyStoresNothingAndTheNextTryWorks)
{
    addEmployeeCompany("001", "FC", 2000);
    chooseMonthAndCompany(3, "001");
    ConfirmOutcome outcome;
    {
        const FileSizeLimit limit(700 * 1024); // several blocks are written before one fails
        outcome = form->confirm();
    }
    EXPECT_EQ(outcome, ConfirmOutcome::Stopped);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_TRUE(prompter.last().text.starts_with("Errore di scrittura tipo  61 nel file C:\\Program Files\\INPS\\INPS "
                                                 "uniEmens individuale\\fc0010316.xml al record "))
        << prompter.last().text;
    EXPECT_TRUE(xmlFiles().empty());

    form->chooseCompany(form->findCompany("001"));
    prompter.answer(false);
    prompter.answer(false);
    ASSERT_EQ(form->confirm(), ConfirmOutcome::FileStored);
    const std::string xml = installation.readXml("fc0010316.xml");
    EXPECT_GT(xml.size(), 700u * 1024u);
    EXPECT_EQ(occurrences(xml, "<DenunciaIndividuale>"), 2000u);
    EXPECT_TRUE(xml.ends_with("</DenunceMensili>\r\n"));
}

TEST_F(IndittaFormTest, DataValuesAreEscapedAndWrittenInUtf8)
{
    payroll::CompanyHeaderFields h = companyHeader("001", "0", "TRATTORIA \"DA GIGI\" & C. <SNC>");
    h[13] = "&\"";
    h[20] = "1";
    installation.addCompany("001", "03", h);
    EmployeeEntries e = employee("RSSMRA80A01F205X", "D'ANGELO", "NICOL\xD2");
    e[9] = std::string("F2\0\0", 4); // an area the payroll program never wrote
    installation.addEmployees("001", "03", payroll::packEmployee(e));
    chooseMonthAndCompany(3, "001");
    prompter.answer(false);
    prompter.answer(false);
    ASSERT_EQ(form->confirm(), ConfirmOutcome::FileStored);

    const std::string xml = installation.readXml("uea0010316.xml");
    EXPECT_NE(xml.find("<RagSocAzienda>TRATTORIA \"DA GIGI\" &amp; C. &lt;SNC&gt;</RagSocAzienda>"), std::string::npos);
    EXPECT_NE(xml.find("<PosContributiva Composizione=\"&amp;&quot;\">"), std::string::npos);
    EXPECT_NE(xml.find("<Cognome>D'ANGELO</Cognome>"), std::string::npos);
    EXPECT_EQ(xml.find('\0'), std::string::npos);
    EXPECT_EQ(parsedTexts(xml, "RagSocAzienda"), std::vector<std::string>{"TRATTORIA \"DA GIGI\" & C. <SNC>"});
    EXPECT_EQ(parsedTexts(xml, "Nome"), std::vector<std::string>{"NICOL\xC3\x92"});
    EXPECT_EQ(parsedTexts(xml, "CodiceComune"), std::vector<std::string>{"F2"});
}

TEST_F(IndittaFormTest, TheOtherOptionHandsTheCompanyToTheEmployeeRegister)
{
    addEmployeeCompany("001", "FC", 4);
    chooseMonthAndCompany(3, "001");
    std::vector<std::string> handedOver;
    form->openEmployeeRegister = [&](const std::string& companyDataFile) {
        handedOver.push_back(companyDataFile);
        return true;
    };
    form->chooseAction(ConfirmAction::EditEmployees);
    EXPECT_EQ(form->action, ConfirmAction::EditEmployees);
    EXPECT_EQ(form->confirm(), ConfirmOutcome::EditRequested);
    EXPECT_EQ(handedOver, std::vector<std::string>{"C:\\nolv\\paghe\\una00103.016"});
    EXPECT_TRUE(xmlFiles().empty());

    // A program without the employee register says so.
    form->openEmployeeRegister = nullptr;
    EXPECT_EQ(form->confirm(), ConfirmOutcome::Refused);
    EXPECT_EQ(prompter.last().text,
              "La finestra \"Dati Dipendenti - Parte anagrafica\" non e' disponibile in questa versione del programma");

    form->chosenDataFile.clear();
    EXPECT_EQ(form->confirm(), ConfirmOutcome::NoCompany);
    EXPECT_TRUE(form->focusCompanyList);
}

TEST_F(IndittaFormTest, TheButtonsStartTheInstalledProgramsAndThePage)
{
    form->load();
    form->openInpsSite();
    ASSERT_EQ(launcher.urls.size(), 1u);
    EXPECT_EQ(launcher.urls[0],
              "https://serviziweb2.inps.it/PassiWeb/jsp/login.jsp?uri=https%3a%2f%2fserviziweb2.inps.it%2fdm10%2fmenuaziende%2fdefault.aspx%3fS%3dS&S=S");

    form->startPayrollMenu();
    EXPECT_EQ(prompter.last().text, "Il programma C:\\wnolv\\pmenu.exe non e' installato (su questo computer: "
                                        + installation.root.path().string() + "/c/WNOLV/pmenu.exe)");
    EXPECT_FALSE(form->payrollMenu().installed);
    EXPECT_FALSE(form->checkingProgram().installed);
    installation.root.write("c/wnolv/pmenu.exe", "");
    installation.root.write("c/Program Files/INPS/INPS uniEmens individuale/UniEMensIndiv.exe", "");
    prompter.shown.clear();
    // The buttons know at once that the programs are there.
    EXPECT_TRUE(form->payrollMenu().installed);
    EXPECT_TRUE(form->checkingProgram().installed);
    EXPECT_EQ(form->checkingProgram().hostPath, installation.xmlFile("UniEMensIndiv.exe").string());
    form->startPayrollMenu();
    form->startCheckingProgram();
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(launcher.started, (std::vector<std::string>{
                                    (installation.root.path() / "c/wnolv/pmenu.exe").string(),
                                    installation.xmlFile("UniEMensIndiv.exe").string()}));
    // The payroll menu starts in the payroll folder; the checking program where the tool is.
    EXPECT_EQ(launcher.workingDirectories,
              (std::vector<std::string>{(installation.root.path() / "c/nolv").string(), ""}));
}

TEST_F(IndittaFormTest, TheXmlListingNumbersEveryLine)
{
    installation.root.write("c/wnolv/.keep", "");
    installation.root.write(std::string(uniemens::testing::kXmlFolder) + "/uea0010316.xml",
                            crlf({"<?xml version=\"1.0\" encoding=\"UTF-8\"?>", "<DenunceMensili>",
                                  "<Nome>NICOL\xC3\x92</Nome>"}));
    form->load();
    form->showXmlListing(); // cancelled
    EXPECT_TRUE(launcher.shownFiles.empty());
    ASSERT_EQ(chooser.asked.size(), 1u);
    EXPECT_EQ(chooser.asked[0], "Apri|*.xml|.xml|" + installation.root.path().string() + "/" + uniemens::testing::kXmlFolder);

    chooser.answer = "C:\\Program Files\\INPS\\INPS uniEmens individuale\\uea0010316.xml";
    form->showXmlListing();
    const std::string listing = installation.root.read("c/wnolv/emens.tmp");
    EXPECT_EQ(listing, crlf({" 1 <?xml version=\"1.0\" encoding=\"UTF-8\"?>" + std::string(40, ' '),
                             " 2 <DenunceMensili>" + std::string(62, ' '),
                             " 3 <Nome>NICOL\xD2</Nome>" + std::string(59, ' ')}));
    EXPECT_EQ(launcher.shownFiles, std::vector<std::string>{(installation.root.path() / "c/wnolv/emens.tmp").string()});
}

// A listing that cannot be made says why once and shows nothing.
TEST_F(IndittaFormTest, AListingThatCannotBeMadeIsToldOnce)
{
    installation.root.write(std::string(uniemens::testing::kXmlFolder) + "/uea0010316.xml", crlf({"<DenunceMensili>"}));
    form->load();
    prompter.shown.clear();
    chooser.answer = "C:\\Program Files\\INPS\\INPS uniEmens individuale\\uea0010316.xml";
    fs::create_directories(installation.root.path() / "c/wnolv/emens.tmp"); // a folder where the listing goes
    form->showXmlListing();
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Errore tipo  75 nella creazione del file "});
    EXPECT_TRUE(launcher.shownFiles.empty());
}
