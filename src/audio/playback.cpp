#include "audio/playback.h"

#include <fstream>
#include <iterator>

#include "audio/portaudio_playback_device.h"

namespace {

std::unique_ptr<PlaybackDevice> installedDevice;

}  // namespace

void InstallPlaybackDevice(std::unique_ptr<PlaybackDevice> device) { installedDevice = std::move(device); }

std::string PlayRecordingFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!file.is_open() || bytes.empty()) {
        return "the recording " + path + " cannot be read";
    }
    std::vector<std::int16_t> samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const auto low = static_cast<unsigned char>(bytes[2 * i]);
        const auto high = static_cast<unsigned char>(bytes[2 * i + 1]);
        samples[i] = static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (high << 8)));
    }
    if (!installedDevice) {
        installedDevice = std::make_unique<PortAudioPlaybackDevice>();
    }
    return installedDevice->Play(std::move(samples));
}
