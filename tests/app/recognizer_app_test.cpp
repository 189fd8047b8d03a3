// The start hook: the socket layer's failure ends the program with its
// message before anything is read or written; otherwise the dialog runs once.

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/recognizer_app.h"
#include "app/recognizer_dialog.h"
#include "test_folder.h"

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

using AppTest = TestFolder;

TEST_F(AppTest, SocketFailureShowsItsMessageAndTouchesNothing) {
    FakePlatform platform;
    platform.socketsStart = false;
    RecognizerApp app(platform);
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(platform.calls, std::vector<std::string>{"StartSocketLayer"});
    EXPECT_EQ(platform.messages, std::vector<std::wstring>{L"Windows CE sockets initialization failed."});
    EXPECT_EQ(app.ExitCode(), 1);
    EXPECT_TRUE(std::filesystem::is_empty(Folder()));
}

TEST_F(AppTest, PreparedRunRunsTheDialogOnceAndFailedPreparationShowsWhy) {
    for (const bool prepared : {true, false}) {
        FakePlatform platform;
        platform.runProblem = prepared ? "" : "the work folder /w is in use by another Parrot (process 7)";
        RecognizerApp app(platform);
        EXPECT_FALSE(app.InitInstance());
        std::vector<std::string> expected{"StartSocketLayer", "PrepareRun"};
        if (prepared) {
            expected.push_back("RunMainDialog");
        }
        EXPECT_EQ(platform.calls, expected);
        EXPECT_EQ(platform.messages.size(), prepared ? 0u : 1u);
        EXPECT_EQ(app.ExitCode(), prepared ? 0 : 1);
    }
}

}  // namespace
