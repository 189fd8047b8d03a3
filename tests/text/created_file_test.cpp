#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temporary_folder.h"
#include "text/text.h"

namespace {

namespace fs = std::filesystem;

// Written over in place, a file holds exactly the new contents, whether it
// was longer, shorter or missing; a symbolic link in its place is refused,
// and the file it points to keeps its contents.
TEST(OverwriteFile, LeavesExactlyTheNewContentsAndNeverFollowsALink) {
    const EnteredFolder folder;
    ASSERT_TRUE(OverwriteFile("list.txt", "12.raw\n"));
    EXPECT_EQ(ReadFileBytes("list.txt"), "12.raw\n");
    ASSERT_TRUE(OverwriteFile("list.txt", "9.raw\n"));
    EXPECT_EQ(ReadFileBytes("list.txt"), "9.raw\n");
    ASSERT_TRUE(OverwriteFile("list.txt", "1234.raw\n"));
    EXPECT_EQ(ReadFileBytes("list.txt"), "1234.raw\n");

    WriteFileBytes("outside", "precious");
    fs::create_symlink("outside", "link.txt");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(OverwriteFile("link.txt", "x\n"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("link.txt is a symbolic link"), std::string::npos);
    EXPECT_EQ(ReadFileBytes("outside"), "precious");
}

}  // namespace
