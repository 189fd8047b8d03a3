// The start hook: the socket layer's failure, or a run that cannot be
// prepared, ends the program with its message before the dialog runs.

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/recognizer_app.h"
#include "app/recognizer_dialog.h"
#include "support/temporary_folder.h"

namespace {

class FakePlatform : public AppPlatform {
public:
    bool StartSocketLayer() override {
        calls.push_back("StartSocketLayer");
        return socketsStart;
    }
    void ShowMessageBox(const std::wstring& text) override { messages.push_back(text); }
    std::string PrepareRun() override {
        calls.push_back("PrepareRun");
        return runProblem;
    }
    int RunMainDialog(RecognizerDialog&) override {
        calls.push_back("RunMainDialog");
        return IdOk;
    }

    bool socketsStart = true;
    std::string runProblem;
    std::vector<std::string> calls;
    std::vector<std::wstring> messages;
};

class AppTest : public ::testing::Test {
protected:
    EnteredFolder folder;
};

TEST_F(AppTest, SocketFailureShowsItsMessageAndTouchesNothing) {
    FakePlatform platform;
    platform.socketsStart = false;
    RecognizerApp app(platform);
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(platform.calls, std::vector<std::string>{"StartSocketLayer"});
    EXPECT_EQ(platform.messages, std::vector<std::wstring>{L"Windows CE sockets initialization failed."});
    EXPECT_EQ(app.ExitCode(), 1);
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

// A run that cannot be prepared shows why and never opens the dialog.
TEST_F(AppTest, FailedPreparationShowsWhyAndRunsNoDialog) {
    FakePlatform platform;
    platform.runProblem = "the work folder /w is in use by another Parrot (process 7)";
    RecognizerApp app(platform);
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"StartSocketLayer", "PrepareRun"}));
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(app.ExitCode(), 1);
}

}  // namespace
