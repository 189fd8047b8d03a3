// The microphone path through the real PortAudio backend, with ALSA's file
// plugin standing in for the microphone: its capture device reads a file.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "audio/capture_selection.h"
#include "audio/input_level.h"
#include "audio/playback.h"
#include "audio/wave_recorder.h"
#include "audio_test_support.h"

namespace {

// The size of a file that the sound system may still be writing; 0 while it
// does not exist. (Reading a file that grows without pause might never end.)
std::uintmax_t SizeOf(const std::string& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

// Points ALSA, for this process only, at `configuration` as its whole
// configuration.
void UseAlsaConfiguration(const TemporaryFolder& folder, const std::string& text) {
    const std::string configuration = folder.Path("asound.conf");
    WriteFileBytes(configuration, text);
    setenv("HOME", folder.Path("").c_str(), 1);
    setenv("ALSA_CONFIG_PATH", configuration.c_str(), 1);
}

// An ALSA configuration whose default device is the file plugin, reading
// its capture input from `input` (headerless 11025 Hz mono 16-bit) and
// writing its playback output to `output`. What follows the input is not
// silence: the plugin leaves its buffer as it was, so only the input's own
// samples are known.
void UseFilePlugin(const TemporaryFolder& folder, const std::string& input, const std::string& output) {
    std::string configuration = "pcm.files {\n  type file\n  slave.pcm { type null }\n  file \"" + output + "\"\n";
    if (!input.empty()) configuration += "  infile \"" + input + "\"\n";
    configuration += "  format \"raw\"\n}\npcm.!default {\n  type plug\n  slave.pcm \"files\"\n}\n";
    UseAlsaConfiguration(folder, configuration);
}

// Sound systems without a capture device: each start is refused with a
// reason, and the process goes on. (An empty configuration made PortAudio
// stop the process while it listed the devices.)
TEST(PortAudioCaptureTest, NoCaptureDeviceIsRefusedWithAReason) {
    struct Case {
        const char* configuration;
        const char* reason;
    };
    for (const Case& test : {Case{"", "the ALSA configuration lists no default sound device"},
                             Case{"pcm.foo { type null }\n", "the ALSA configuration lists no default sound device"},
                             Case{"pcm.dmix { type null }\n", "no input device found"}}) {
        TemporaryFolder folder;
        UseAlsaConfiguration(folder, test.configuration);
        ASSERT_EQ(SelectCaptureDevice("portaudio"), "");
        DeviceHandle handle = nullptr;
        StartRecording(L"0.raw", kRecordingFormat, &handle);
        EXPECT_TRUE(RecordingFailed()) << test.configuration;
        EXPECT_EQ(RecordingStartProblem(), test.reason) << test.configuration;
        StopRecording(handle);
        SelectCaptureDevice("none");
    }
}

TEST(PortAudioCaptureTest, RecordsWhatTheInputDeviceDelivers) {
    TemporaryFolder folder;
    std::vector<std::int16_t> samples;
    for (int i = 0; i < 11025; ++i) {
        samples.push_back(static_cast<std::int16_t>((i % 200 - 100) * 150 + 1));
    }
    const std::string audio = SampleBytes(samples);
    const std::string input = folder.Path("input.raw");
    WriteFileBytes(input, audio);
    UseFilePlugin(folder, input, "/dev/null");

    // A device that is not there is no capture device at all.
    const std::string recording = folder.Path("0.raw");
    const std::wstring recordingName(recording.begin(), recording.end());
    ASSERT_EQ(SelectCaptureDevice("portaudio:no such microphone"), "");
    DeviceHandle handle = nullptr;
    StartRecording(recordingName, kRecordingFormat, &handle);
    EXPECT_TRUE(RecordingFailed());
    StopRecording(handle);
    EXPECT_FALSE(std::filesystem::exists(recording));

    ASSERT_EQ(SelectCaptureDevice("portaudio"), "");
    TakeInputPeak();
    StartRecording(recordingName, kRecordingFormat, &handle);
    ASSERT_FALSE(RecordingFailed());
    // The file plugin does not pace itself, so this takes far less than the
    // second of audio it holds.
    EXPECT_TRUE(WaitUntil([&] { return SizeOf(recording) >= audio.size(); }));
    // The level meter's peak: the largest sample, -100 * 150 + 1.
    EXPECT_DOUBLE_EQ(TakeInputPeak(), 14999.0 / 32768.0);
    StopRecording(handle);
    SelectCaptureDevice("none");
    EXPECT_FALSE(RecordingFailed());

    const std::string recorded = ReadFileBytes(recording);
    ASSERT_GE(recorded.size(), audio.size() + 2 * kBufferBytes);
    EXPECT_EQ(recorded.size() % kBufferBytes, 0U);
    EXPECT_EQ(recorded.substr(0, audio.size()), audio);
}

// A take played back goes out through PortAudio's default output device,
// here ALSA's file plugin writing what it is given.
TEST(PortAudioCaptureTest, PlaysARecordingBack) {
    TemporaryFolder folder;
    const std::string played = folder.Path("played.raw");
    UseFilePlugin(folder, "", played);
    const std::vector<std::int16_t> samples(5000, 16384);
    WriteFileBytes(folder.Path("0.raw"), SampleBytes(samples));
    EXPECT_EQ(PlayRecordingFile(folder.Path("0.raw")), "");
    EXPECT_TRUE(WaitUntil([&] { return SizeOf(played) >= samples.size() * 2; }));
    InstallPlaybackDevice(nullptr);
    // The device is opened for 32-bit float samples: every one of them comes
    // out, after the silence the stream starts with.
    const std::string output = ReadFileBytes(played);
    std::size_t halves = 0;
    for (std::size_t i = 0; i + 4 <= output.size(); i += 4) {
        float value = 0.0F;
        std::memcpy(&value, output.data() + i, sizeof value);
        halves += value == 0.5F ? 1 : 0;
    }
    EXPECT_EQ(halves, samples.size());
}

}  // namespace
