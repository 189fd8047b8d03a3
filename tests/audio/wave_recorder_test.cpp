// The recorder against a scripted capture device.

#include <gtest/gtest.h>

#include <filesystem>

#include "audio/capture_driver.h"
#include "audio/capture_selection.h"
#include "audio/recorder_hooks.h"
#include "audio/wave_recorder.h"
#include "audio_test_support.h"
#include "scripted_capture.h"

namespace {

// Bytes of buffers `first`..`last` as the scripted device fills them.
std::string BufferBytes(int first, int last) {
    std::string bytes;
    for (int number = first; number <= last; ++number) {
        bytes.append(kBufferBytes, static_cast<char>(number));
    }
    return bytes;
}

std::atomic<int> allocations{0};
// The two buffers of the start (a header and a block each) succeed; the
// first replacement, on the notification thread, fails.
bool FailFifthAllocation() { return ++allocations >= 5; }

class RecorderTest : public ::testing::Test {
protected:
    void TearDown() override {
        SelectCaptureDevice("none");
        SetRecorderHooks(RecorderHooks{});
    }

    ScriptedDriver& Install(const CaptureScript& script) {
        auto driver = std::make_unique<ScriptedDriver>(script, log);
        ScriptedDriver& installed = *driver;
        InstallCaptureDriver(std::move(driver));
        return installed;
    }

    void Start() { StartRecording(std::wstring(file.begin(), file.end()), kRecordingFormat, &handle); }

    TemporaryFolder folder;
    std::string file = folder.Path("0.raw");
    CaptureLog log;
    DeviceHandle handle = nullptr;
};

TEST_F(RecorderTest, AllocationFailureOnTheNotificationThreadStopsEverything) {
    allocations = 0;
    RecorderHooks hooks;
    hooks.allocationFails = &FailFifthAllocation;
    SetRecorderHooks(hooks);
    ScriptedDriver& driver = Install(CaptureScript{});
    Start();
    ASSERT_NE(handle, nullptr);
    driver.ReturnBuffers(1);
    ASSERT_TRUE(WaitUntil([&] { return log.closes == 1; }));
    StopRecording(handle);
    EXPECT_EQ(log.closes, 1);
    EXPECT_TRUE(RecordingFailed());
    EXPECT_TRUE(ReadFileBytes(file).empty());
}

// The stop's drain ends when a buffer fails (keeping what came before it),
// and gives up, saying so, on a device that returns nothing for a second.
TEST_F(RecorderTest, DrainEndsOnAFailureOrASilentDevice) {
    struct Case {
        int buffersReturnedAtDrain;
        int failingUnprepare;
        std::string recorded;
        bool saysNoBuffer;
    };
    for (const Case& c : {Case{1, 1, BufferBytes(1, 1), false}, Case{0, 0, "", true}}) {
        CaptureScript script;
        script.buffersReturnedAtDrain = c.buffersReturnedAtDrain;
        script.failingUnprepare = c.failingUnprepare;
        log.closes = 0;
        Install(script);
        Start();
        testing::internal::CaptureStderr();
        StopRecording(handle);
        const std::string messages = testing::internal::GetCapturedStderr();
        EXPECT_EQ(messages.find("returned no buffer for a second") != std::string::npos, c.saysNoBuffer) << messages;
        EXPECT_EQ(ReadFileBytes(file), c.recorded);
        EXPECT_EQ(log.closes, 1);
        EXPECT_TRUE(RecordingFailed());
    }
}

// No device, a device step that fails, or a file that cannot be created: the
// device is released once if it was opened, and stops are safe.
TEST_F(RecorderTest, FailedStartReleasesTheDeviceAndStopIsSafe) {
    struct Case {
        const char* what;
        int CaptureScript::*step;  // the device count goes to 0, any other step fails
        bool fileCreated;
        int closes;
        const char* fileName = "0.raw";
    };
    for (const Case& c :
         {Case{"device", &CaptureScript::deviceCount, false, 0}, Case{"query", &CaptureScript::queryResult, false, 0},
          Case{"open", &CaptureScript::openResult, true, 1}, Case{"reset", &CaptureScript::resetResult, true, 1},
          Case{"start", &CaptureScript::startResult, true, 1},
          Case{"file", nullptr, false, 1, "missing-folder/0.raw"}}) {
        SCOPED_TRACE(c.what);
        CaptureScript script;
        if (c.step != nullptr) script.*c.step = c.step == &CaptureScript::deviceCount ? 0 : kCaptureError;
        CaptureLog caseLog;
        InstallCaptureDriver(std::make_unique<ScriptedDriver>(script, caseLog));
        const std::string path = folder.Path(c.fileName);
        handle = nullptr;
        StartRecording(std::wstring(path.begin(), path.end()), kRecordingFormat, &handle);
        if (!c.fileCreated) {
            EXPECT_EQ(handle, nullptr);
        }
        EXPECT_TRUE(RecordingFailed());
        StopRecording(handle);
        StopRecording(handle);
        EXPECT_TRUE(RecordingFailed());
        EXPECT_EQ(std::filesystem::exists(path), c.fileCreated);
        EXPECT_TRUE(ReadFileBytes(path).empty());
        EXPECT_EQ(caseLog.closes, c.closes);
        EXPECT_EQ(caseLog.buffersReturned, 0);
        std::filesystem::remove(path);
    }
}

}  // namespace
