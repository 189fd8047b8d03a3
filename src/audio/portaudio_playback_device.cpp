#include "audio/portaudio_playback_device.h"

#include <samplerate.h>

#include <algorithm>
#include <cstring>

#include "audio/recording_format.h"
#include "audio/sound_system.h"

namespace {

std::string CannotPlay(PaError error) {
    return std::string("the output device cannot play: ") + Pa_GetErrorText(error);
}

// `frames` at `rate` instead of the recording rate; false when libsamplerate
// cannot convert.
bool ConvertRate(std::vector<float>& frames, double rate) {
    std::vector<float> converted(static_cast<std::size_t>(frames.size() * rate / kRecordingRate) + 1);
    SRC_DATA data{};
    data.data_in = frames.data();
    data.input_frames = static_cast<long>(frames.size());
    data.data_out = converted.data();
    data.output_frames = static_cast<long>(converted.size());
    data.src_ratio = rate / kRecordingRate;
    if (src_simple(&data, SRC_SINC_FASTEST, 1) != 0) {
        return false;
    }
    converted.resize(static_cast<std::size_t>(data.output_frames_gen));
    frames = std::move(converted);
    return true;
}

}  // namespace

PortAudioPlaybackDevice::~PortAudioPlaybackDevice() {
    CloseStream();
    if (started_) {
        StopSoundSystem();
    }
}

void PortAudioPlaybackDevice::CloseStream() {
    if (stream_ != nullptr) {
        Pa_AbortStream(stream_);
        Pa_CloseStream(stream_);
        stream_ = nullptr;
    }
}

std::string PortAudioPlaybackDevice::Play(std::vector<std::int16_t> samples) {
    CloseStream();
    if (!started_) {
        if (std::string problem = StartSoundSystem(); !problem.empty()) {
            return problem;
        }
        started_ = true;
    }
    const PaDeviceIndex device = Pa_GetDefaultOutputDevice();
    const PaDeviceInfo* info = device != paNoDevice ? Pa_GetDeviceInfo(device) : nullptr;
    if (info == nullptr) {
        return "no output device found";
    }
    frames_.resize(samples.size());
    src_short_to_float_array(samples.data(), frames_.data(), static_cast<int>(samples.size()));
    position_ = 0;
    const PaStreamParameters parameters{device, 1, paFloat32, info->defaultHighOutputLatency, nullptr};
    double rate = kRecordingRate;
    if (Pa_IsFormatSupported(nullptr, &parameters, rate) != paFormatIsSupported) {
        rate = info->defaultSampleRate;
        if (!ConvertRate(frames_, rate)) {
            return "the output device cannot play at 11025 Hz";
        }
    }
    PaError result =
        Pa_OpenStream(&stream_, nullptr, &parameters, rate, paFramesPerBufferUnspecified, paClipOff, &Callback, this);
    if (result != paNoError) {
        stream_ = nullptr;
        return CannotPlay(result);
    }
    if (result = Pa_StartStream(stream_); result != paNoError) {
        CloseStream();
        return CannotPlay(result);
    }
    return {};
}

int PortAudioPlaybackDevice::Callback(const void*, void* output, unsigned long frameCount,
                                      const PaStreamCallbackTimeInfo*, PaStreamCallbackFlags, void* userData) {
    auto* self = static_cast<PortAudioPlaybackDevice*>(userData);
    auto* out = static_cast<float*>(output);
    const std::size_t count = std::min<std::size_t>(frameCount, self->frames_.size() - self->position_);
    std::copy_n(self->frames_.data() + self->position_, count, out);
    std::fill(out + count, out + frameCount, 0.0F);
    self->position_ += count;
    return self->position_ < self->frames_.size() ? paContinue : paComplete;
}
