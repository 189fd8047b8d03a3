#include "audio/playback.h"

#include "audio/audio_file_reader.h"
#include "audio/portaudio_playback_device.h"

namespace {

std::unique_ptr<PlaybackDevice> installedDevice;

}  // namespace

void InstallPlaybackDevice(std::unique_ptr<PlaybackDevice> device) { installedDevice = std::move(device); }

std::string PlayRecordingFile(const std::string& path) {
    // Read as any other recording: a FIFO or device planted in the work
    // folder is refused instead of blocking the window.
    std::vector<std::int16_t> samples;
    std::string error;
    if (!ReadAudioFile(path, samples, error)) {
        return error;
    }
    if (!installedDevice) {
        installedDevice = std::make_unique<PortAudioPlaybackDevice>();
    }
    return installedDevice->Play(std::move(samples));
}
