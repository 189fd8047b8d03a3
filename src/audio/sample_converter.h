#pragma once
// Turns audio of any rate and channel count into the recording format:
// 11025 Hz, mono, signed 16-bit. Channels are averaged; the rate is changed
// with libsamplerate, continuously across calls.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct SRC_STATE_tag;

class SampleConverter {
public:
    SampleConverter() = default;
    ~SampleConverter();
    SampleConverter(const SampleConverter&) = delete;
    SampleConverter& operator=(const SampleConverter&) = delete;

    // Prepares for input at `inputRate` with `channels` interleaved channels.
    // False, with the reason in `error`, when that cannot be converted.
    bool Open(double inputRate, int channels, std::string& error);

    // Converts `frameCount` interleaved frames (samples in -1..1) and appends
    // the result to `output`. `last` marks the end of the input, so the
    // converter's remaining samples come out too.
    bool Convert(const float* frames, std::size_t frameCount, bool last, std::vector<std::int16_t>& output,
                 std::string& error);

    // Forgets the input seen so far.
    void Reset();

    int Channels() const { return channels_; }

private:
    SRC_STATE_tag* state_ = nullptr;  // null when the rate is already right
    double ratio_ = 1.0;
    int channels_ = 1;
    std::vector<float> mono_;
    std::vector<float> resampled_;
};
