#include <gtest/gtest.h>

#include "payroll/cu_archive.h"
#include "cu/createl_form.h"
#include "testing/cu_headers.h"
#include "records/channels.h"
#include "records/host_paths.h"
#include "records/installation.h"
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
    records::SharedValues shared{root.path()};
    CreatelForm form{{shared, prompter, launcher}};

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
    form.Form_Load();
    ASSERT_EQ(form.listaItems.size(), 2u);
    EXPECT_EQ(form.listaItems[0], "2 ROSSI SRL-UFFICIO PAGHE");
    EXPECT_EQ(form.listaItems[1], "15 BIANCHI SPA-UFFICIO PAGHE");
    EXPECT_EQ(form.Tx[5].text, "C:\\nolv\\nv770\\2016\\dati\\");
    EXPECT_EQ(form.Tx[1].text, "N");
    EXPECT_FALSE(form.inputFrameVisible);
    form.lista_Click(1);
    EXPECT_EQ(form.Tx[0].text, "15");
    EXPECT_EQ(form.Tx[6].text, "TCU1517");
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(CreatelFormTest, LoadWithoutArchivesKeepsTheInitialBoxes)
{
    form.Form_Load();
    EXPECT_TRUE(form.listaItems.empty());
    EXPECT_EQ(form.Tx[8].text, std::string(17, ' '));
    EXPECT_EQ(form.Tx[10].text, std::string(16, ' '));
    EXPECT_EQ(form.Tx[11].text, "");
    EXPECT_FALSE(form.Tx[2].enabled);
}

TEST_F(CreatelFormTest, OpeningTrimsTheNumberAndReadsTheHeader)
{
    addArchive(3, '1');
    form.Form_Load();
    form.Tx[0].text = " 3 ";
    form.Command1_Click();
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_TRUE(form.inputFrameVisible);
    EXPECT_EQ(form.Tx[1].text, "A");
    EXPECT_TRUE(form.Tx[2].enabled);
    EXPECT_EQ(form.Tx[7].text, "TRMNTN70A01F205X");
    EXPECT_EQ(form.Tx[9].text, "15022017");
    EXPECT_EQ(form.Tx[6].text, "TCU317");
}

TEST_F(CreatelFormTest, OpeningStopsOnAMissingOrUnnamedArchive)
{
    form.Form_Load();
    form.Tx[0].text = "abc";
    form.Command1_Click();
    EXPECT_EQ(prompter.last().text, "Certificazione non ancora selezionata ");
    EXPECT_EQ(prompter.last().title, "Accesso");
    EXPECT_EQ(prompter.last().icon, records::Icon::Stop);
    EXPECT_FALSE(form.inputFrameVisible);
    form.Tx[0].text = "7";
    form.Command1_Click();
    EXPECT_EQ(prompter.last().text, "Archivio inesistente ");
    EXPECT_TRUE(form.inputFrameVisible);
}
