// The start hook's failures, against a platform that records its calls.

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

// The socket layer's failure touches no file; a run that cannot be prepared
// shows why. Either ends the program before the dialog runs.
TEST(AppTest, StartFailuresShowTheirMessageAndRunNoDialog) {
    const EnteredFolder folder;
    for (const bool socketsStart : {false, true}) {
        FakePlatform platform;
        platform.socketsStart = socketsStart;
        platform.runProblem = "the work folder is in use";
        RecognizerApp app(platform);
        EXPECT_FALSE(app.InitInstance());
        EXPECT_EQ(platform.calls.back(), socketsStart ? "PrepareRun" : "StartSocketLayer");
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0] == L"the work folder is in use", socketsStart);
        EXPECT_EQ(app.ExitCode(), 1);
        EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
    }
}

}  // namespace
