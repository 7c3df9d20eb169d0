#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

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
    Installation installation;

    // The drive file and the year file read as the windows read them, their failures shown
    // as they come.
    void readDrive() { showFailure(prompter, records::readDrive(paths, installation)); }
    void readWorkingYear() { showFailures(prompter, records::readWorkingYear(paths, installation)); }
};
} // namespace

TEST_F(InstallationTest, DriveFileGivesThePrefixAndDataDirectory)
{
    root.write("c/disco.ute", "D:        ");
    readDrive();
    EXPECT_EQ(installation.drivePrefix, "D:");
    EXPECT_EQ(installation.dataDirectory, "D:\\nolv\\nv770\\2016\\dati\\");
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(InstallationTest, OnlyTwoCharactersOfTheDriveFileCount)
{
    root.write("c/disco.ute", "E:\\xyzwvut");
    readDrive();
    EXPECT_EQ(installation.drivePrefix, "E:");
}

TEST_F(InstallationTest, AMissingDriveFileIsNeverCreatedAndGivesAnEmptyPrefix)
{
    const std::filesystem::path outside = root.path() / "altrove" / "disco.ute";
    std::filesystem::create_directories(outside.parent_path());
    const struct {
        const char* what;
        std::function<void()> prepare;
        const char* message;
    } cases[] = {
        {"missing", [] {}, "Errore tipo  53 nell'apertura del  file binarioc:\\disco.ute"},
        {"a link to nothing", [&] { std::filesystem::create_symlink(outside, root.path() / "c/disco.ute"); },
         "Errore tipo  53 nell'apertura del  file binarioc:\\disco.ute"},
        {"a folder", [&] {
             std::filesystem::remove(root.path() / "c/disco.ute");
             std::filesystem::create_directory(root.path() / "c/disco.ute");
         },
         "Errore tipo  75 nell'apertura del  file binarioc:\\disco.ute"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.prepare();
        prompter.shown.clear();
        installation.drivePrefix = "X:";
        readDrive();
        EXPECT_EQ(installation.drivePrefix, "");
        EXPECT_EQ(installation.dataDirectory, "\\nolv\\nv770\\2016\\dati\\");
        EXPECT_EQ(prompter.texts(), std::vector<std::string>{c.message});
        EXPECT_FALSE(std::filesystem::is_regular_file(root.path() / "c/disco.ute"));
        EXPECT_FALSE(std::filesystem::exists(outside));
    }
}

TEST_F(InstallationTest, TheDriveFileTellsWhetherARootHoldsAnInstallation)
{
    EXPECT_EQ(driveFileState(paths), DriveFileState::Missing);
    EXPECT_EQ(driveFileState(PathMapper(root.path() / "nuova")), DriveFileState::Missing);
    root.write("c/Disco.Ute", "C:        ");
    EXPECT_EQ(driveFileState(paths), DriveFileState::Present);
}

TEST_F(InstallationTest, AShortDriveFileBehavesLikeAMissingOne)
{
    root.write("c/disco.ute", "C:");
    readDrive();
    EXPECT_EQ(installation.drivePrefix, "");
    EXPECT_EQ(root.read("c/disco.ute"), "C:");
}

TEST_F(InstallationTest, MissingYearFileIsCreatedWith2015)
{
    std::filesystem::create_directories(root.path() / "c" / "wnolv");
    installation.drivePrefix = "C:";
    readWorkingYear();
    EXPECT_EQ(installation.workingYear, "2015");
    EXPECT_EQ(root.read("c/wnolv/anno1.dat"), "2015      ");
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(InstallationTest, YearFileGivesTheWorkingYear)
{
    root.write("c/WNOLV/anno1.dat", "2016      ");
    installation.drivePrefix = "C:";
    readWorkingYear();
    EXPECT_EQ(installation.workingYear, "2016");
}

TEST_F(InstallationTest, MissingYearFolderShowsTheCreateAndOpenMessages)
{
    installation.drivePrefix = "C:";
    installation.workingYear = "2016";
    readWorkingYear();
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{
                                    "Errore tipo  76 nella creazione del file ",
                                    "Errore tipo  76 nell'apertura del  file binarioC:\\WNOLV\\anno1.dat",
                                }));
    EXPECT_EQ(installation.workingYear, "");
}

TEST_F(InstallationTest, TheYearFileIsNeverCreatedThroughALink)
{
    // A link left at the year file's name that leads outside the installation, to nothing.
    const std::filesystem::path outside = root.path() / "altrove" / "anno.dat";
    std::filesystem::create_directories(outside.parent_path());
    std::filesystem::create_directories(root.path() / "c/wnolv");
    std::filesystem::create_symlink(outside, root.path() / "c/wnolv/anno1.dat");
    installation.drivePrefix = "C:";
    readWorkingYear();
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(installation.workingYear, "2015");
    EXPECT_FALSE(std::filesystem::exists(outside));
    EXPECT_FALSE(std::filesystem::is_symlink(root.path() / "c/wnolv/anno1.dat"));
    EXPECT_EQ(root.read("c/wnolv/anno1.dat"), "2015      ");
}
