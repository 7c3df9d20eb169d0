#include <gtest/gtest.h>

#include "records/channels.h"
#include "records/host_paths.h"
#include "records/installation.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_root.h"

using namespace records;
using records::testing::ScriptedPrompter;
using records::testing::TempRoot;

namespace {
struct InstallationTest : ::testing::Test {
    TempRoot root;
    PathMapper paths{root.path()};
    ScriptedPrompter prompter;
    Channels channels{paths, prompter};
    Installation installation;
};
} // namespace

TEST_F(InstallationTest, DriveFileGivesThePrefixAndDataDirectory)
{
    root.write("c/disco.ute", "D:        ");
    readDrive(channels, installation);
    EXPECT_EQ(installation.drivePrefix, "D:");
    EXPECT_EQ(installation.dataDirectory, "D:\\nolv\\nv770\\2016\\dati\\");
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_TRUE(channels.isOpen(10));
}

TEST_F(InstallationTest, OnlyTwoCharactersOfTheDriveFileCount)
{
    root.write("c/disco.ute", "E:\\xyzwvut");
    readDrive(channels, installation);
    EXPECT_EQ(installation.drivePrefix, "E:");
}

TEST_F(InstallationTest, MissingDriveFileIsCreatedAndGivesAnEmptyPrefix)
{
    readDrive(channels, installation);
    EXPECT_EQ(installation.drivePrefix, "");
    EXPECT_EQ(installation.dataDirectory, "\\nolv\\nv770\\2016\\dati\\");
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.last().text, "Errore di lettura tipo  62 nel file binario c:\\disco.ute al record  1");
    EXPECT_TRUE(std::filesystem::exists(root.path() / "c" / "disco.ute"));
}

TEST_F(InstallationTest, AShortDriveFileBehavesLikeAMissingOne)
{
    root.write("c/disco.ute", "C:");
    readDrive(channels, installation);
    EXPECT_EQ(installation.drivePrefix, "");
    EXPECT_EQ(root.read("c/disco.ute"), "C:");
}

TEST_F(InstallationTest, MissingYearFileIsCreatedWith2015)
{
    std::filesystem::create_directories(root.path() / "c" / "wnolv");
    installation.drivePrefix = "C:";
    readWorkingYear(channels, installation);
    EXPECT_EQ(installation.workingYear, "2015");
    EXPECT_EQ(root.read("c/wnolv/anno1.dat"), "2015      ");
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(InstallationTest, YearFileGivesTheWorkingYear)
{
    root.write("c/WNOLV/anno1.dat", "2016      ");
    installation.drivePrefix = "C:";
    readWorkingYear(channels, installation);
    EXPECT_EQ(installation.workingYear, "2016");
}

TEST_F(InstallationTest, MissingYearFolderShowsTheCreateAndOpenMessages)
{
    installation.drivePrefix = "C:";
    readWorkingYear(channels, installation);
    ASSERT_GE(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[0].text, "Errore tipo  76 nella creazione del file ");
    EXPECT_EQ(prompter.shown[1].text, "Errore tipo  76 nell'apertura del  file binarioC:\\WNOLV\\anno1.dat");
    EXPECT_EQ(installation.workingYear, "");
}
