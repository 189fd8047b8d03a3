// The recorder against a scripted capture device.

#include <gtest/gtest.h>

#include <unistd.h>
#include <cerrno>

#include "audio/capture_driver.h"
#include "audio/capture_selection.h"
#include "audio/recorder_hooks.h"
#include "audio/wave_recorder.h"
#include "audio_test_support.h"
#include "scripted_capture.h"

namespace {

// Bytes of buffers `first`..`last` as the scripted device fills them.
std::vector<std::uint8_t> BufferBytes(int first, int last) {
    std::vector<std::uint8_t> bytes;
    for (int number = first; number <= last; ++number) {
        bytes.insert(bytes.end(), kBufferBytes, static_cast<std::uint8_t>(number));
    }
    return bytes;
}

std::atomic<int> writeCalls{0};
ssize_t FailThirdWrite(int fd, const void* data, std::size_t size) {
    if (++writeCalls == 3) {
        errno = ENOSPC;
        return -1;
    }
    return ::write(fd, data, size);
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

TEST_F(RecorderTest, NoDeviceCreatesNoFileAndStopsSafely) {
    CaptureScript script;
    script.deviceCount = 0;
    Install(script);
    Start();
    EXPECT_EQ(handle, nullptr);
    EXPECT_TRUE(RecordingFailed());
    StopRecording(handle);
    StopRecording(handle);
    EXPECT_FALSE(FileExists(file));
    EXPECT_TRUE(RecordingFailed());
}

TEST_F(RecorderTest, StopRightAfterStartReplacesOldFileWithTheTwoQueuedBuffers) {
    WriteBytes(file, std::vector<std::uint8_t>(20000, 0xAB));
    Install(CaptureScript{});
    Start();
    ASSERT_NE(handle, nullptr);
    StopRecording(handle);
    EXPECT_EQ(ReadBytes(file), BufferBytes(1, 2));
    EXPECT_EQ(log.closes, 1);
    EXPECT_FALSE(RecordingFailed());
    // A second stop of the same recording changes nothing.
    StopRecording(handle);
    EXPECT_EQ(log.closes, 1);
    EXPECT_FALSE(RecordingFailed());
}

TEST_F(RecorderTest, ReturnedBuffersAreReplacedAndWrittenInOrder) {
    ScriptedDriver& driver = Install(CaptureScript{});
    Start();
    driver.ReturnBuffers(3);
    ASSERT_TRUE(WaitUntil([&] { return ReadBytes(file).size() == 3 * kBufferBytes; }));
    StopRecording(handle);
    // Three returned while recording, then the two still with the device.
    EXPECT_EQ(ReadBytes(file), BufferBytes(1, 5));
    EXPECT_EQ(log.closes, 1);
    EXPECT_FALSE(RecordingFailed());
}

TEST_F(RecorderTest, WriteFailureKeepsEarlierBuffersAndStopStillCloses) {
    writeCalls = 0;
    RecorderHooks hooks;
    hooks.writeFile = &FailThirdWrite;
    SetRecorderHooks(hooks);
    ScriptedDriver& driver = Install(CaptureScript{});
    Start();
    driver.ReturnBuffers(3);
    ASSERT_TRUE(WaitUntil([&] { return writeCalls >= 3 && log.unprepares >= 3; }));
    StopRecording(handle);
    EXPECT_EQ(ReadBytes(file), BufferBytes(1, 2));
    EXPECT_EQ(log.closes, 1);
    EXPECT_TRUE(RecordingFailed());
}

TEST_F(RecorderTest, FileThatCannotBeCreatedClosesTheDeviceOnce) {
    file = folder.Path("missing-folder/0.raw");
    Install(CaptureScript{});
    Start();
    EXPECT_EQ(handle, nullptr);
    EXPECT_TRUE(RecordingFailed());
    StopRecording(handle);
    EXPECT_FALSE(FileExists(file));
    EXPECT_EQ(log.closes, 1);
    EXPECT_EQ(log.buffersReturned, 0);
}

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
    EXPECT_TRUE(ReadBytes(file).empty());
}

TEST_F(RecorderTest, DrainEndsWhenTheStatusTurnsNonZero) {
    CaptureScript script;
    script.buffersReturnedAtDrain = 1;
    script.failingUnprepare = 1;
    Install(script);
    Start();
    testing::internal::CaptureStderr();
    StopRecording(handle);
    const std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_EQ(messages.find("returned no buffer"), std::string::npos) << messages;
    EXPECT_EQ(ReadBytes(file), BufferBytes(1, 1));
    EXPECT_EQ(log.closes, 1);
    EXPECT_TRUE(RecordingFailed());
}

TEST_F(RecorderTest, DrainGivesUpOnADeviceThatReturnsNothing) {
    CaptureScript script;
    script.buffersReturnedAtDrain = 0;
    Install(script);
    Start();
    testing::internal::CaptureStderr();
    StopRecording(handle);
    const std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_NE(messages.find("returned no buffer for a second"), std::string::npos) << messages;
    EXPECT_EQ(ReadBytes(file).size() % kBufferBytes, 0U);
    EXPECT_EQ(log.closes, 1);
    EXPECT_TRUE(RecordingFailed());
}

struct StartFailure {
    const char* step;
    CaptureScript script;
    bool fileCreated;
};

class RecorderStartFailureTest : public RecorderTest, public testing::WithParamInterface<StartFailure> {};

TEST_P(RecorderStartFailureTest, FailedStartReleasesTheDeviceAndStopIsSafe) {
    Install(GetParam().script);
    Start();
    EXPECT_TRUE(RecordingFailed());
    StopRecording(handle);
    StopRecording(handle);
    EXPECT_EQ(FileExists(file), GetParam().fileCreated);
    EXPECT_TRUE(ReadBytes(file).empty());
    EXPECT_EQ(log.closes, GetParam().fileCreated ? 1 : 0);
    EXPECT_EQ(log.buffersReturned, 0);
}

CaptureScript Failing(int CaptureScript::*step) {
    CaptureScript script;
    script.*step = kCaptureError;
    return script;
}

INSTANTIATE_TEST_SUITE_P(Steps, RecorderStartFailureTest,
                         testing::Values(StartFailure{"query", Failing(&CaptureScript::queryResult), false},
                                         StartFailure{"open", Failing(&CaptureScript::openResult), true},
                                         StartFailure{"reset", Failing(&CaptureScript::resetResult), true},
                                         StartFailure{"start", Failing(&CaptureScript::startResult), true}),
                         [](const testing::TestParamInfo<StartFailure>& info) { return info.param.step; });

}  // namespace
