#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "app/cli.h"
#include "testing/temp_root.h"

using records::testing::TempRoot;

namespace fs = std::filesystem;

TEST(DemoCommand, CreatesAMissingFolderAndPrintsIt)
{
    TempRoot base;
    const fs::path target = base.path() / "ufficio" / "demo";
    std::ostringstream out, err;
    EXPECT_EQ(app::cli::main({"telematico-cli", "demo", "--root", target.string()}, out, err), 0) << err.str();
    EXPECT_EQ(out.str(), fs::absolute(target).lexically_normal().string() + "\n");
    EXPECT_TRUE(fs::is_regular_file(target / "c/nolv/nv770/2016/dati/FCU7.017"));
}

TEST(DemoCommand, LeavesAFolderInUseAloneUnlessForced)
{
    TempRoot base; // already holds the drive folder "c"
    base.write("c/nolv/paghe/una00903.016", "dati veri");
    std::ostringstream out, err;
    EXPECT_EQ(app::cli::main({"telematico-cli", "demo", "--root", base.path().string()}, out, err), 1);
    EXPECT_NE(err.str().find("--force"), std::string::npos);
    EXPECT_FALSE(fs::exists(base.path() / "c/disco.ute"));
    EXPECT_TRUE(out.str().empty());

    EXPECT_EQ(app::cli::main({"telematico-cli", "demo", "--root", base.path().string(), "--force"}, out, err), 0);
    EXPECT_TRUE(fs::exists(base.path() / "c/disco.ute"));
    EXPECT_EQ(base.read("c/nolv/paghe/una00903.016"), "dati veri");

    std::ostringstream out2, err2;
    EXPECT_EQ(app::cli::main({"telematico-cli", "demo"}, out2, err2), 2);
    EXPECT_EQ(app::cli::main({"telematico-cli", "demo", "--root", (base.path() / "c/disco.ute").string()}, out2, err2), 1);
}

TEST(DemoCommand, FilesOfTheDemoTakeThePlaceOfLinksNeverWritingThroughThem)
{
    TempRoot base;
    const fs::path outside = base.write("fuori/disco.ute", "not ours");
    fs::create_symlink(outside, base.path() / "c/disco.ute");
    fs::create_directories(base.path() / "c/WNOLV");
    fs::create_symlink(base.path() / "fuori/nulla.dat", base.path() / "c/WNOLV/anno1.dat");
    std::ostringstream out, err;
    EXPECT_EQ(app::cli::main({"telematico-cli", "demo", "--root", base.path().string(), "--force"}, out, err), 0)
        << err.str();
    EXPECT_EQ(base.read("fuori/disco.ute"), "not ours");
    EXPECT_FALSE(fs::exists(base.path() / "fuori/nulla.dat"));
    EXPECT_FALSE(fs::is_symlink(base.path() / "c/disco.ute"));
    EXPECT_EQ(base.read("c/disco.ute"), "C:        ");
    EXPECT_EQ(base.read("c/WNOLV/anno1.dat"), "2016      ");
}
