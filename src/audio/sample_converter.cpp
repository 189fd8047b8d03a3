#include "audio/sample_converter.h"

#include <samplerate.h>

#include "audio/recording_format.h"

namespace {

constexpr std::size_t kChunkFrames = 4096;

void AppendAsShorts(const float* samples, std::size_t count, std::vector<std::int16_t>& output) {
    const std::size_t start = output.size();
    output.resize(start + count);
    src_float_to_short_array(samples, reinterpret_cast<short*>(output.data() + start), static_cast<int>(count));
}

}  // namespace

SampleConverter::~SampleConverter() {
    if (state_ != nullptr) {
        src_delete(state_);
    }
}

bool SampleConverter::Open(double inputRate, int channels, std::string& error) {
    if (!(inputRate >= 1.0) || channels < 1) {
        error = "unusable audio format (" + std::to_string(channels) + " channels at " +
                std::to_string(static_cast<long long>(inputRate)) + " Hz)";
        return false;
    }
    channels_ = channels;
    ratio_ = kRecordingRate / inputRate;
    if (state_ != nullptr) {
        state_ = src_delete(state_);
    }
    if (inputRate == kRecordingRate) {
        return true;
    }
    if (!src_is_valid_ratio(ratio_)) {
        error = "cannot convert audio at " + std::to_string(static_cast<long long>(inputRate)) + " Hz";
        return false;
    }
    int result = 0;
    state_ = src_new(SRC_SINC_MEDIUM_QUALITY, 1, &result);
    if (state_ == nullptr) {
        error = std::string("cannot set up the sample-rate converter: ") + src_strerror(result);
        return false;
    }
    resampled_.resize(kChunkFrames);
    return true;
}

bool SampleConverter::Convert(const float* frames, std::size_t frameCount, bool last, std::vector<std::int16_t>& output,
                              std::string& error) {
    mono_.resize(frameCount);
    for (std::size_t frame = 0; frame < frameCount; ++frame) {
        float sum = 0.0F;
        for (int channel = 0; channel < channels_; ++channel) {
            sum += frames[frame * static_cast<std::size_t>(channels_) + static_cast<std::size_t>(channel)];
        }
        mono_[frame] = sum / static_cast<float>(channels_);
    }
    if (state_ == nullptr) {
        AppendAsShorts(mono_.data(), frameCount, output);
        return true;
    }
    SRC_DATA data{};
    data.data_in = mono_.data();
    data.input_frames = static_cast<long>(frameCount);
    data.src_ratio = ratio_;
    data.end_of_input = last ? 1 : 0;
    while (true) {
        data.data_out = resampled_.data();
        data.output_frames = static_cast<long>(resampled_.size());
        const int result = src_process(state_, &data);
        if (result != 0) {
            error = std::string("sample-rate conversion failed: ") + src_strerror(result);
            return false;
        }
        AppendAsShorts(resampled_.data(), static_cast<std::size_t>(data.output_frames_gen), output);
        data.data_in += data.input_frames_used;
        data.input_frames -= data.input_frames_used;
        const bool stalled = data.input_frames_used == 0 && data.output_frames_gen == 0;
        if (stalled || (data.input_frames == 0 && !last)) {
            return true;
        }
    }
}

void SampleConverter::Reset() {
    if (state_ != nullptr) {
        src_reset(state_);
    }
}
