#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "records/write_behind.h"
#include "testing/temp_root.h"

using records::WriteBehind;
using records::testing::TempRoot;

TEST(WriteBehind, BlocksReachTheFileAtTheirPlacesAndBuffersComeBack)
{
    TempRoot root;
    const std::string path = (root.path() / "c" / "out.dat").string();
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    WriteBehind behind;
    std::string block = "second";
    ASSERT_TRUE(behind.write(::dup(fd), block, 5));
    EXPECT_TRUE(block.empty()); // an empty buffer in exchange
    EXPECT_TRUE(behind.wait());
    EXPECT_EQ(behind.lastBlock(), "second");
    block = "first";
    ASSERT_TRUE(behind.write(::dup(fd), block, 0));
    EXPECT_TRUE(behind.wait());
    EXPECT_TRUE(block.empty());
    ::close(fd);
    EXPECT_EQ(root.read("c/out.dat"), "firstsecond");
    EXPECT_TRUE(behind.wait()); // nothing handed over: nothing to wait for
}

TEST(WriteBehind, ABlockThatCannotBeWrittenIsKeptWhole)
{
    TempRoot root;
    root.write("c/in.dat", "old");
    const std::string path = (root.path() / "c" / "in.dat").string();
    WriteBehind behind;
    std::string block = "new bytes";
    ASSERT_TRUE(behind.write(::open(path.c_str(), O_RDONLY), block, 0)); // a file open only for reading
    EXPECT_FALSE(behind.wait());
    EXPECT_EQ(behind.lastBlock(), "new bytes");
    EXPECT_EQ(root.read("c/in.dat"), "old");
}
