#include "audio/portaudio_capture_driver.h"

#include <portaudio.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

#include "audio/sample_converter.h"
#include "audio/sample_ring.h"
#include "audio/sound_system.h"
#include "text/program_name.h"
#include "text/text.h"

namespace {

constexpr double kRingSeconds = 2.0;
constexpr std::size_t kReadFrames = 1024;
constexpr std::chrono::milliseconds kPollInterval(10);

void ReportError(const char* what, PaError error) {
    PrintMessage(std::string("audio input: ") + what + ": " + Pa_GetErrorText(error));
}

std::string CannotRecord(PaError error) {
    return std::string("the input device cannot record: ") + Pa_GetErrorText(error);
}

struct StreamChoice {
    PaStreamParameters parameters{};
    double rate = 0.0;
};

// 11025 Hz mono when the device takes it; otherwise its default rate, mono
// or, for devices that insist, stereo.
PaError ChooseStream(PaDeviceIndex device, StreamChoice& choice) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
    if (info == nullptr || info->maxInputChannels < 1) {
        return paInvalidDevice;
    }
    const int stereo = std::min(2, info->maxInputChannels);
    const StreamChoice candidates[] = {
        {{device, kRecordingChannels, paInt16, info->defaultHighInputLatency, nullptr}, kRecordingRate},
        {{device, 1, paInt16, info->defaultHighInputLatency, nullptr}, info->defaultSampleRate},
        {{device, stereo, paInt16, info->defaultHighInputLatency, nullptr}, info->defaultSampleRate},
    };
    PaError result = paInvalidSampleRate;
    for (const StreamChoice& candidate : candidates) {
        result = Pa_IsFormatSupported(&candidate.parameters, nullptr, candidate.rate);
        if (result == paFormatIsSupported) {
            choice = candidate;
            return paNoError;
        }
    }
    return result;
}

class PortAudioInput : public CaptureInput {
public:
    PortAudioInput(double rate, int channels)
        : ring_(static_cast<std::size_t>(rate * kRingSeconds) * static_cast<std::size_t>(channels)),
          channels_(channels),
          samples_(kReadFrames * static_cast<std::size_t>(channels)),
          frames_(samples_.size()) {}

    ~PortAudioInput() override { Release(); }

    // Opens the stream; its callback feeds this input's ring.
    PaError OpenStream(const StreamChoice& choice) {
        std::string error;
        if (!converter_.Open(choice.rate, channels_, error)) {
            PrintMessage("audio input: " + error);
            return paInvalidSampleRate;
        }
        const PaError result = Pa_OpenStream(&stream_, &choice.parameters, nullptr, choice.rate,
                                             paFramesPerBufferUnspecified, paClipOff, &Callback, this);
        if (result != paNoError) {
            stream_ = nullptr;
        }
        return result;
    }

    int Start() override {
        ring_.Clear();
        converter_.Reset();
        pending_.clear();
        pendingUsed_ = 0;
        const PaError result = Pa_StartStream(stream_);
        if (result != paNoError) {
            ReportError("cannot start recording", result);
        }
        return result;
    }

    void Stop() override {
        if (stream_ != nullptr && Pa_IsStreamStopped(stream_) == 0) {
            Pa_AbortStream(stream_);
        }
    }

    void Release() override {
        if (stream_ == nullptr) {
            return;
        }
        Stop();
        Pa_CloseStream(stream_);
        stream_ = nullptr;
        const unsigned long lost = lostSamples_.exchange(0);
        if (lost > 0) {
            PrintMessage("audio input: " + IntToText(static_cast<long long>(lost)) +
                         " samples were lost because recording fell behind");
        }
    }

    bool Fill(CaptureBuffer& buffer, bool) override {
        while (buffer.bytesRecorded + 1 < buffer.bufferLength) {
            if (pendingUsed_ == pending_.size() && !ConvertMore()) {
                return false;
            }
            const std::size_t count =
                std::min<std::size_t>((buffer.bufferLength - buffer.bytesRecorded) / 2, pending_.size() - pendingUsed_);
            for (std::size_t i = 0; i < count; ++i) {
                const auto sample = static_cast<std::uint16_t>(pending_[pendingUsed_ + i]);
                buffer.data[buffer.bytesRecorded++] = static_cast<char>(sample & 0xFF);
                buffer.data[buffer.bytesRecorded++] = static_cast<char>(sample >> 8);
            }
            pendingUsed_ += count;
        }
        return true;
    }

    std::chrono::milliseconds PollInterval() const override { return kPollInterval; }

private:
    static int Callback(const void* input, void*, unsigned long frameCount, const PaStreamCallbackTimeInfo*,
                        PaStreamCallbackFlags, void* userData) {
        auto* self = static_cast<PortAudioInput*>(userData);
        if (input != nullptr) {
            const std::size_t count = frameCount * static_cast<std::size_t>(self->channels_);
            const std::size_t stored = self->ring_.Write(static_cast<const std::int16_t*>(input), count);
            if (stored < count) {
                self->lostSamples_.fetch_add(count - stored, std::memory_order_relaxed);
            }
        }
        return paContinue;
    }

    // Moves what the ring holds through the converter into `pending_`.
    bool ConvertMore() {
        pending_.clear();
        pendingUsed_ = 0;
        const std::size_t taken = ring_.Read(samples_.data(), samples_.size());
        if (taken == 0) {
            return false;
        }
        for (std::size_t i = 0; i < taken; ++i) {
            frames_[i] = static_cast<float>(samples_[i]) / 32768.0F;
        }
        std::string error;
        if (!converter_.Convert(frames_.data(), taken / static_cast<std::size_t>(channels_), false, pending_, error)) {
            PrintMessage("audio input: " + error);
            return false;
        }
        return true;
    }

    SampleRing ring_;
    int channels_;
    std::atomic<unsigned long> lostSamples_{0};
    PaStream* stream_ = nullptr;
    SampleConverter converter_;
    std::vector<std::int16_t> samples_;
    std::vector<float> frames_;
    std::vector<std::int16_t> pending_;
    std::size_t pendingUsed_ = 0;
};

}  // namespace

PortAudioCaptureDriver::PortAudioCaptureDriver(std::string deviceName) : deviceName_(std::move(deviceName)) {}

PortAudioCaptureDriver::~PortAudioCaptureDriver() {
    device_.reset();
    if (initialized_) {
        StopSoundSystem();
    }
}

int PortAudioCaptureDriver::Fail(const std::string& problem, int status) {
    problem_ = problem;
    PrintMessage("audio input: " + problem);
    return status;
}

bool PortAudioCaptureDriver::Initialize() {
    if (!initialized_) {
        const std::string problem = StartSoundSystem();
        initialized_ = problem.empty();
        if (!initialized_) {
            Fail(problem, paNotInitialized);
        }
    }
    return initialized_;
}

int PortAudioCaptureDriver::FindDevice() {
    problem_.clear();
    if (!Initialize()) {
        return paNoDevice;
    }
    if (deviceName_.empty()) {
        const PaDeviceIndex device = Pa_GetDefaultInputDevice();
        return device != paNoDevice ? device : Fail("no input device found", paNoDevice);
    }
    const PaDeviceIndex count = Pa_GetDeviceCount();
    for (PaDeviceIndex device = 0; device < count; ++device) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
        if (info != nullptr && info->maxInputChannels > 0 && deviceName_ == info->name) {
            return device;
        }
    }
    return Fail("no input device is called \"" + deviceName_ + "\"", paNoDevice);
}

int PortAudioCaptureDriver::DeviceCount() { return FindDevice() >= 0 ? 1 : 0; }

int PortAudioCaptureDriver::QueryFormat(const RecordingFormat& format) {
    if (!IsRecordingFormat(format)) {
        return kCaptureBadFormat;
    }
    const PaDeviceIndex device = FindDevice();
    if (device < 0) {
        return paInvalidDevice;
    }
    StreamChoice choice;
    const PaError result = ChooseStream(device, choice);
    return result == paNoError ? result : Fail(CannotRecord(result), result);
}

int PortAudioCaptureDriver::Open(const RecordingFormat& format, CaptureCallback callback, void* instanceData,
                                 CaptureDevice** device) {
    device_.reset();
    if (!IsRecordingFormat(format)) {
        return kCaptureBadFormat;
    }
    const PaDeviceIndex index = FindDevice();
    if (index < 0) {
        return paInvalidDevice;
    }
    StreamChoice choice;
    if (const PaError result = ChooseStream(index, choice); result != paNoError) {
        return Fail(CannotRecord(result), result);
    }
    auto input = std::make_unique<PortAudioInput>(choice.rate, choice.parameters.channelCount);
    if (const PaError result = input->OpenStream(choice); result != paNoError) {
        return Fail(CannotRecord(result), result);
    }
    device_ = std::make_unique<ThreadedCaptureDevice>(std::move(input), callback, instanceData);
    *device = device_.get();
    return device_->Launch();
}
