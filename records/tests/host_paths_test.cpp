#include <gtest/gtest.h>

#include "records/host_paths.h"
#include "testing/temp_root.h"

using records::PathMapper;
using records::testing::TempRoot;
namespace fs = std::filesystem;

TEST(HostPaths, DriveLettersMapToLowerCaseFolders)
{
    TempRoot root;
    PathMapper paths(root.path());
    EXPECT_EQ(paths.hostPath("c:\\disco.ute"), root.path() / "c" / "disco.ute");
    EXPECT_EQ(paths.hostPath("D:\\nolv\\x.dat"), root.path() / "d" / "nolv" / "x.dat");
    EXPECT_EQ(paths.hostPath("\\tabcom\\comuni.dat"), root.path() / "c" / "tabcom" / "comuni.dat");
    EXPECT_EQ(paths.hostPath("paghe\\unb"), root.path() / "c" / "paghe" / "unb");
}

TEST(HostPaths, DoubledBackslashesAreOneSeparator)
{
    TempRoot root;
    PathMapper paths(root.path());
    EXPECT_EQ(paths.hostPath("C:\\nolv\\nv770\\2016\\dati\\\\report.txt"),
              root.path() / "c" / "nolv" / "nv770" / "2016" / "dati" / "report.txt");
}

TEST(HostPaths, ComponentsMatchExistingEntriesIgnoringCase)
{
    TempRoot root;
    fs::create_directories(root.path() / "c" / "nolv" / "nv770" / "2016" / "dati");
    root.write("c/nolv/nv770/2016/dati/FCU3.017", "x");
    PathMapper paths(root.path());
    EXPECT_EQ(paths.hostPath("C:\\NOLV\\NV770\\2016\\DATI\\fcu3.017"),
              root.path() / "c" / "nolv" / "nv770" / "2016" / "dati" / "FCU3.017");
    EXPECT_EQ(paths.hostPath("\\nolv\\NV770\\2016\\dati\\report.txt"),
              root.path() / "c" / "nolv" / "nv770" / "2016" / "dati" / "report.txt");
    EXPECT_TRUE(paths.fileExists("c:\\Nolv\\nv770\\2016\\Dati\\Fcu3.017"));
    EXPECT_FALSE(paths.fileExists("c:\\nolv\\nv770\\2016\\dati\\FCU4.017"));
    EXPECT_FALSE(paths.fileExists("c:\\nolv\\nv770\\2016\\dati"));
}

TEST(HostPaths, MissingComponentsKeepTheirCase)
{
    TempRoot root;
    PathMapper paths(root.path());
    EXPECT_EQ(paths.hostPath("c:\\WNOLV\\anno1.dat"), root.path() / "c" / "WNOLV" / "anno1.dat");
}

TEST(HostPaths, ParentFolderNeverLeavesTheDrive)
{
    TempRoot root;
    PathMapper paths(root.path());
    EXPECT_EQ(paths.hostPath("c:\\..\\..\\etc\\passwd"), root.path() / "c" / "etc" / "passwd");
    EXPECT_EQ(paths.hostPath("c:\\a\\.\\b\\..\\x.dat"), root.path() / "c" / "a" / "x.dat");
}

TEST(HostPaths, NamesAreWindows1252OnTheDriveAndUtf8OnTheHost)
{
    TempRoot root;
    PathMapper paths(root.path());
    EXPECT_EQ(paths.hostPath("c:\\citt\xE0.txt"), root.path() / "c" / "citt\xC3\xA0.txt");
    root.write("c/d/caff\xC3\xA8", "");
    const auto names = paths.listDirectory("c:\\d\\");
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], "caff\xE8");
    EXPECT_TRUE(paths.listDirectory("c:\\missing").empty());
}

TEST(HostPaths, RootComesFromTheOptionThenTheEnvironment)
{
    ::setenv("TELEMATICO_ROOT", "/tmp/from-env", 1);
    EXPECT_EQ(PathMapper::resolveRoot(std::string("/tmp/from-option")), fs::path("/tmp/from-option"));
    EXPECT_EQ(PathMapper::resolveRoot(std::nullopt), fs::path("/tmp/from-env"));
    ::unsetenv("TELEMATICO_ROOT");
    ::setenv("XDG_DATA_HOME", "/tmp/xdg", 1);
    EXPECT_EQ(PathMapper::resolveRoot(std::nullopt), fs::path("/tmp/xdg/telematico"));
}

TEST(HostPaths, ATextWithAControlCharacterNamesNoHostFile)
{
    TempRoot root;
    root.write("c/TCU117", "x");
    root.write("c/dati/x", "x");
    PathMapper paths(root.path());
    for (const std::string& text : {std::string("c:\\TCU117\0.tmp", 14), std::string("c:\\dati\\\x1B"),
                                   std::string("c:\\TCU117\x7F"), std::string("c:\\dati\x9D")}) {
        EXPECT_TRUE(records::hasControlCharacter(text));
        EXPECT_TRUE(paths.hostPath(text).empty());
        EXPECT_FALSE(paths.fileExists(text));
        EXPECT_TRUE(paths.listDirectory(text).empty());
    }
    // Letters of the code page above 127 are names like any other.
    EXPECT_FALSE(records::hasControlCharacter("c:\\citt\xE0\\\x80uro\\\xA0"));
}

TEST(HostPaths, TwoSpellingsOfOneFileAreTheSameFile)
{
    TempRoot root;
    root.write("c/nolv/nv770/2016/dati/DCU1.017", "archive");
    fs::create_symlink(root.path() / "c" / "nolv" / "nv770" / "2016" / "dati", root.path() / "c" / "link");
    PathMapper paths(root.path());
    const std::string archive = "C:\\nolv\\nv770\\2016\\dati\\DCU1.017";
    EXPECT_TRUE(paths.sameFile(archive, "c:\\NOLV\\NV770\\2016\\DATI\\\\dcu1.017"));
    EXPECT_TRUE(paths.sameFile(archive, "\\nolv\\x\\..\\nv770\\2016\\dati\\DCU1.017"));
    EXPECT_TRUE(paths.sameFile(archive, "c:\\link\\DCU1.017"));
    EXPECT_FALSE(paths.sameFile(archive, "C:\\nolv\\nv770\\2016\\dati\\TCU117"));
    EXPECT_FALSE(paths.sameFile(archive, std::string("C:\\nolv\\nv770\\2016\\dati\\DCU1.017\0", 33)));
}
