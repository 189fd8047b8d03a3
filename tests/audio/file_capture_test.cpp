// Recording from audio files through the file capture device.

#include <gtest/gtest.h>
#include <sndfile.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <numbers>

#include "audio/audio_file_reader.h"
#include "audio/capture_selection.h"
#include "audio/recorder_hooks.h"
#include "audio/wave_recorder.h"
#include "audio_test_support.h"

namespace {

constexpr std::size_t kDrainBytes = 2 * kBufferBytes;

// A 440 Hz tone at half scale, the same on every channel.
void WriteToneWav(const std::string& path, int rate, int channels, double seconds) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    const auto frames = static_cast<std::size_t>(seconds * rate);
    std::vector<float> samples;
    for (std::size_t frame = 0; frame < frames; ++frame) {
        const double value = 0.5 * std::sin(2.0 * std::numbers::pi * 440.0 * static_cast<double>(frame) / rate);
        samples.insert(samples.end(), static_cast<std::size_t>(channels), static_cast<float>(value));
    }
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(frames));
    sf_close(file);
}

// Records `audioPath` the way parrot-cli does: start, all input delivered,
// stop; a second stop changes nothing.
std::string Record(const std::string& audioPath, const std::string& recordingPath) {
    EXPECT_EQ(SelectCaptureDevice("file:" + audioPath), "");
    DeviceHandle handle = nullptr;
    StartRecording(std::wstring(recordingPath.begin(), recordingPath.end()), kRecordingFormat, &handle);
    WaitForEndOfInput();
    StopRecording(handle);
    StopRecording(handle);
    EXPECT_FALSE(RecordingFailed());
    SelectCaptureDevice("none");
    return ReadFileBytes(recordingPath);
}

// The audio, zero padding to a whole buffer, then the drain's two buffers.
std::string ExpectedRecording(const std::vector<std::int16_t>& samples) {
    std::string bytes = SampleBytes(samples);
    const std::size_t padded = (bytes.size() + kBufferBytes - 1) / kBufferBytes * kBufferBytes;
    bytes.resize(padded + kDrainBytes, 0);
    return bytes;
}

// A stereo WAV at 16 kHz is mixed down and resampled; a raw file is recorded
// byte for byte. Either is padded to whole buffers only when it does not
// fill them, and followed by the drain's silence; a longer recording of the
// same name is replaced.
TEST(FileCaptureTest, FilesAreRecordedAsTheirSamplesThenSilence) {
    TemporaryFolder folder;
    const std::string wav = folder.Path("tone.wav");
    WriteToneWav(wav, 16000, 2, 0.5);
    std::vector<std::int16_t> tone;
    std::string error;
    ASSERT_TRUE(ReadAudioFile(wav, tone, error)) << error;
    EXPECT_NEAR(static_cast<double>(tone.size()), 0.5 * 11025, 4.0);
    EXPECT_NEAR(*std::max_element(tone.begin(), tone.end()), 16384, 300);
    EXPECT_EQ(Record(wav, folder.Path("0.raw")), ExpectedRecording(tone));

    std::vector<std::int16_t> ramp;
    for (int i = 0; i < 5000; ++i) ramp.push_back(static_cast<std::int16_t>(i * 13 - 30000));
    for (const auto& samples : {ramp, std::vector<std::int16_t>(kBufferBytes, 1234)}) {
        const std::string raw = folder.Path("word.RAW");
        WriteFileBytes(raw, SampleBytes(samples));
        EXPECT_EQ(Record(raw, folder.Path("1.raw")), ExpectedRecording(samples));
    }
}

std::atomic<int> writes{0};
// The first two buffers are written; then the file may grow no more.
ssize_t FileFullAfterTwoBuffers(int fd, const void* data, std::size_t size) {
    if (++writes > 2) {
        errno = EFBIG;
        return -1;
    }
    return ::write(fd, data, size);
}

// A recording that cannot be written (a full disk, a file-size limit) keeps
// what was written before and ends at once, even with much audio still to
// come: the device stops instead of waiting for buffers the recorder no
// longer hands over.
TEST(FileCaptureTest, FailedWriteEndsTheRecordingAtOnce) {
    TemporaryFolder folder;
    const std::string raw = folder.Path("long.raw");
    WriteFileBytes(raw, SampleBytes(std::vector<std::int16_t>(20 * kBufferBytes, 1)));
    ASSERT_EQ(SelectCaptureDevice("file:" + raw), "");
    RecorderHooks hooks;
    hooks.writeFile = &FileFullAfterTwoBuffers;
    SetRecorderHooks(hooks);
    ::alarm(20);  // a hang ends the test instead of the whole run
    const auto start = std::chrono::steady_clock::now();
    const std::string recording = folder.Path("0.raw");
    DeviceHandle handle = nullptr;
    StartRecording(std::wstring(recording.begin(), recording.end()), kRecordingFormat, &handle);
    WaitForEndOfInput();
    StopRecording(handle);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    ::alarm(0);
    EXPECT_TRUE(RecordingFailed());
    EXPECT_EQ(ReadFileBytes(recording), SampleBytes(std::vector<std::int16_t>(kBufferBytes, 1)));
    SetRecorderHooks(RecorderHooks{});
    SelectCaptureDevice("none");
}

}  // namespace
