// Where a run keeps its files: settings from the command line and the
// environment, and the work folder made ready.

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "app/run_setup.h"
#include "support/temporary_folder.h"
#include "support/test_environment.h"
#include "text/text.h"

namespace fs = std::filesystem;

namespace {

class RunSetupTest : public ::testing::Test {
protected:
    EnteredFolder folder;  // the current folder while the test runs

    std::string Here(const std::string& relative) const { return (folder.path() / relative).string(); }

    TestEnvironment environment;
};

TEST_F(RunSetupTest, DefaultsComeFromTheEnvironment) {
    environment.Set("XDG_DATA_HOME", "xdg");
    environment.Set("PARROT_CAPTURE", nullptr);
    environment.Set("PARROT_DATA_DIR", "data/../share");
    RunSettings settings = ResolveRunSettings(std::nullopt, std::nullopt);
    EXPECT_EQ(settings.workFolder, Here("xdg/parrot"));
    EXPECT_EQ(settings.captureSpec, "portaudio");
    EXPECT_EQ(settings.dataFolder, Here("share"));

    environment.Set("XDG_DATA_HOME", nullptr);
    environment.Set("HOME", "/home/someone");
    environment.Set("PARROT_CAPTURE", "file:speech.wav");
    settings = ResolveRunSettings(std::nullopt, std::nullopt);
    EXPECT_EQ(settings.workFolder, "/home/someone/.local/share/parrot");
    EXPECT_EQ(settings.captureSpec, "file:" + Here("speech.wav"));

    settings = ResolveRunSettings(std::string("words"), std::string("none"));
    EXPECT_EQ(settings.workFolder, Here("words"));
    EXPECT_EQ(settings.captureSpec, "none");
}

TEST_F(RunSetupTest, ImpossibleRunsStopBeforeTheFolderIsMade) {
    EXPECT_NE(PrepareWorkFolder(RunSettings{Here("work"), "no-such-device", Here("data")}), "");
    EXPECT_FALSE(fs::exists("work"));
    WriteFileBytes("file", "");
    EXPECT_NE(PrepareWorkFolder(RunSettings{Here("file/work"), "none", Here("data")}), "");
    EXPECT_EQ(fs::current_path(), folder.path());
}

// Two programs in one work folder would take the same recording numbers: the
// second one is refused before it links or writes anything. The first is
// given the dictionary files it does not hold itself. (That the work folder is
// made is parrot-cli's test.)
TEST_F(RunSetupTest, AWorkFolderInUseIsRefusedUntouched) {
    fs::create_directories("data");
    for (const char* name : {"english.idx", "english.key"}) WriteFileBytes(folder.path() / "data" / name, "");
    fs::create_directories("work");
    WriteFileBytes("work/english.key", "mine");
    const int other = ::open((folder.path() / "work" / "parrot.lock").c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    ASSERT_EQ(::write(other, "4242\n", 5), 5);
    const RunSettings settings{Here("work"), "none", Here("data")};
    EXPECT_EQ(PrepareWorkFolder(settings),
              "the work folder " + Here("work") + " is in use by another Parrot (process 4242)");
    EXPECT_FALSE(fs::exists(folder.path() / "work" / "english.idx"));

    ::close(other);
    ASSERT_EQ(PrepareWorkFolder(settings), "");
    EXPECT_EQ(fs::read_symlink("english.idx"), Here("data/english.idx"));
    EXPECT_EQ(ReadFileBytes("english.key"), "mine");
    EXPECT_EQ(TextToInt(ReadFileBytes("parrot.lock")), ::getpid());
}

}  // namespace
