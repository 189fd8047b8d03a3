#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <iterator>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>

#include "support/temporary_folder.h"
#include "vocabulary/file_replacement.h"

namespace {

class FileReplacement : public ::testing::Test {
protected:
    std::size_t FileCount() const {
        using Files = std::filesystem::directory_iterator;
        return static_cast<std::size_t>(std::distance(Files(folder.path()), Files()));
    }

    TemporaryFolder folder;
};

TEST_F(FileReplacement, CreatesOrReplacesTheFileAndKeepsItsPermissions) {
    const std::string fileName = folder.Path("commands.txt");
    ASSERT_EQ(ReplaceFileContents(fileName.c_str(), "first"), 0);
    EXPECT_EQ(ReadFileBytes(fileName), "first");

    ASSERT_EQ(chmod(fileName.c_str(), 0640), 0);
    ASSERT_EQ(ReplaceFileContents(fileName.c_str(), "2"), 0);
    EXPECT_EQ(ReadFileBytes(fileName), "2");
    struct stat status {};
    ASSERT_EQ(stat(fileName.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(FileCount(), 1u);
}

// The failures below happen even for root, who ignores file permissions.
TEST_F(FileReplacement, FolderThatIsAFileFailsWithoutCreatingAnything) {
    WriteFileBytes(folder.Path("not-a-folder"), "x");
    const std::string fileName = folder.Path("not-a-folder/commands.txt");
    EXPECT_NE(ReplaceFileContents(fileName.c_str(), "7"), 0);
    EXPECT_EQ(ReadFileBytes(folder.Path("not-a-folder")), "x");
    EXPECT_EQ(FileCount(), 1u);
}

TEST_F(FileReplacement, FailedRenameRemovesTheTemporaryFile) {
    const std::string fileName = folder.Path("commands.txt");
    std::filesystem::create_directories(fileName + "/inside");
    EXPECT_NE(ReplaceFileContents(fileName.c_str(), "7"), 0);
    EXPECT_TRUE(std::filesystem::is_directory(fileName + "/inside"));
    EXPECT_EQ(FileCount(), 1u);
}

// A write that runs out of room (here: the file size limit, which binds
// root too) leaves the previous file as it was.
TEST_F(FileReplacement, FailedWriteLeavesThePreviousFileIntact) {
    const std::string fileName = folder.Path("commands.txt");
    const std::string previous = "7\nhello#0#1#";
    WriteFileBytes(fileName, previous);

    rlimit original{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &original), 0);
    const auto originalHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = original;
    small.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int result = ReplaceFileContents(fileName.c_str(), std::string(1000, 'x'));
    setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, originalHandler);

    EXPECT_NE(result, 0);
    EXPECT_EQ(ReadFileBytes(fileName), previous);
    EXPECT_EQ(FileCount(), 1u);
}

}  // namespace
