#include <gtest/gtest.h>

#include "cu/createl_form.h"
#include "payroll/cu_archive.h"
#include "records/host_paths.h"
#include "records/installation.h"
#include "testing/cu_headers.h"
#include "testing/installation_values.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_root.h"

using namespace cu;
using records::testing::RecordingLauncher;
using records::testing::ScriptedPrompter;
using records::testing::TempRoot;

namespace {


struct CreatelFormTest : ::testing::Test {
    TempRoot root;
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
    records::testing::InstallationValues shared{root.path()};
    CreatelForm form{shared.workplace(prompter, launcher)};

    void SetUp() override { root.write("c/disco.ute", "C:        "); }
    void addArchive(int n, char kind = '0', const std::string& name1 = "ROSSI SRL")
    {
        root.write("c/nolv/nv770/2016/dati/FCU" + std::to_string(n) + ".017", cu::testing::headerFile(kind, name1, "UFFICIO PAGHE"));
    }
};

} // namespace

TEST_F(CreatelFormTest, LoadListsTheArchivesInNumberOrder)
{
    addArchive(15, '0', "BIANCHI SPA");
    addArchive(2);
    form.load();
    ASSERT_EQ(form.archiveItems.size(), 2u);
    EXPECT_EQ(form.archiveItems[0], "2 ROSSI SRL-UFFICIO PAGHE");
    EXPECT_EQ(form.archiveItems[1], "15 BIANCHI SPA-UFFICIO PAGHE");
    EXPECT_EQ(form.outputFolder.text, "C:\\nolv\\nv770\\2016\\dati\\");
    EXPECT_EQ(form.supplyLetter.text, "N");
    EXPECT_FALSE(form.inputFrameVisible);
    form.chooseArchive(1);
    EXPECT_EQ(form.archiveCode.text, "15");
    EXPECT_EQ(form.outputName.text, "TCU1517");
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(CreatelFormTest, LoadWithoutArchivesKeepsTheInitialBoxes)
{
    form.load();
    EXPECT_TRUE(form.archiveItems.empty());
    EXPECT_EQ(form.commitmentType.text, std::string(17, ' '));
    EXPECT_EQ(form.intermediaryPhone.text, std::string(16, ' '));
    EXPECT_EQ(form.intermediaryEmail.text, "");
    EXPECT_FALSE(form.protocolId.enabled);
}

TEST_F(CreatelFormTest, OpeningTrimsTheNumberAndReadsTheHeader)
{
    addArchive(3, '1');
    form.load();
    form.archiveCode.text = " 3 ";
    form.openArchive();
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_TRUE(form.inputFrameVisible);
    EXPECT_EQ(form.supplyLetter.text, "A");
    EXPECT_TRUE(form.protocolId.enabled);
    EXPECT_EQ(form.intermediaryFiscalCode.text, "TRMNTN70A01F205X");
    EXPECT_EQ(form.commitmentDate.text, "15022017");
    EXPECT_EQ(form.outputName.text, "TCU317");
}

TEST_F(CreatelFormTest, OpeningStopsOnAMissingOrUnnamedArchive)
{
    form.load();
    form.archiveCode.text = "abc";
    form.openArchive();
    EXPECT_EQ(prompter.last().text, "Certificazione non ancora selezionata ");
    EXPECT_EQ(prompter.last().title, "Accesso");
    EXPECT_EQ(prompter.last().icon, records::Icon::Stop);
    EXPECT_FALSE(form.inputFrameVisible);
    form.archiveCode.text = "7";
    form.openArchive();
    EXPECT_EQ(prompter.last().text, "Archivio inesistente ");
    EXPECT_TRUE(form.inputFrameVisible);
}

TEST_F(CreatelFormTest, TheRunIsAskedForWithTheBoxesAsTheClerkLeftThem)
{
    addArchive(3, '1');
    form.load();
    prompter.answer(true);
    form.askForReport();
    form.openArchive(" 3");
    form.chooseSupplyKind(3); // "T=Normale SINGOLA" after an annulment archive
    form.protocolId.text = "17020812345678901";
    form.protocolNumber.text = "000123";
    form.employeeRecord.text = "4";
    form.outputFolder.text = "C:\\nolv\\";
    form.commitmentDate.text = "28022017";

    const cu::telematic::RunRequest request = form.request();
    EXPECT_EQ(request.archive, "3");
    EXPECT_EQ(request.supply.letter(), "N");
    EXPECT_TRUE(request.supply.singleEmployee());
    EXPECT_EQ(request.replaced.submission, "17020812345678901");
    EXPECT_EQ(request.replaced.certificate, "000123");
    EXPECT_EQ(request.employeeRecord, "4");
    EXPECT_EQ(request.commitment.type, "1"); // the archive's, shown in its box
    EXPECT_EQ(request.commitment.date, "28022017");
    EXPECT_EQ(request.outputFolder, "C:\\nolv\\");
    EXPECT_EQ(request.outputName, "TCU317");
    EXPECT_TRUE(request.report);
}
