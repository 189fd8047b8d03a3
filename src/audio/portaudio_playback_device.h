#pragma once
// The default output device through PortAudio. Audio goes out at 11025 Hz
// when the device takes it, otherwise converted to the device's own rate.

#include <portaudio.h>

#include "audio/playback.h"

class PortAudioPlaybackDevice : public PlaybackDevice {
public:
    PortAudioPlaybackDevice() = default;
    ~PortAudioPlaybackDevice() override;
    PortAudioPlaybackDevice(const PortAudioPlaybackDevice&) = delete;
    PortAudioPlaybackDevice& operator=(const PortAudioPlaybackDevice&) = delete;

    std::string Play(std::vector<std::int16_t> samples) override;

private:
    static int Callback(const void* input, void* output, unsigned long frameCount, const PaStreamCallbackTimeInfo*,
                        PaStreamCallbackFlags, void* userData);
    void CloseStream();

    bool started_ = false;
    PaStream* stream_ = nullptr;
    // Read by the audio callback while the stream is open, changed only
    // while it is closed.
    std::vector<float> frames_;
    std::size_t position_ = 0;
};
