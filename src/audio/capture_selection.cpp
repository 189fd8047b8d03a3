#include "audio/capture_selection.h"

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/audio_file_reader.h"
#include "audio/capture_driver.h"
#include "audio/file_capture_driver.h"
#include "audio/portaudio_capture_driver.h"

namespace {

constexpr std::string_view kPortAudio = "portaudio";
constexpr std::string_view kPortAudioNamed = "portaudio:";
constexpr std::string_view kFile = "file:";
constexpr std::string_view kNone = "none";

// No capture device at all: every recording fails as having no device.
class NoCaptureDriver : public CaptureDriver {
public:
    int DeviceCount() override { return 0; }
    int QueryFormat(const RecordingFormat&) override { return kCaptureError; }
    int Open(const RecordingFormat&, CaptureCallback, void*, CaptureDevice**) override { return kCaptureError; }
};

}  // namespace

std::string SelectCaptureDevice(const std::string& spec) {
    const std::string_view text(spec);
    if (text == kPortAudio) {
        InstallCaptureDriver(std::make_unique<PortAudioCaptureDriver>(std::string()));
        return {};
    }
    if (text.starts_with(kPortAudioNamed) && text.size() > kPortAudioNamed.size()) {
        InstallCaptureDriver(std::make_unique<PortAudioCaptureDriver>(spec.substr(kPortAudioNamed.size())));
        return {};
    }
    if (text.starts_with(kFile) && text.size() > kFile.size()) {
        std::vector<std::int16_t> samples;
        std::string error;
        if (!ReadAudioFile(spec.substr(kFile.size()), samples, error)) {
            return error;
        }
        InstallCaptureDriver(std::make_unique<FileCaptureDriver>(std::move(samples)));
        return {};
    }
    if (text == kNone) {
        InstallCaptureDriver(std::make_unique<NoCaptureDriver>());
        return {};
    }
    return "unknown capture device \"" + spec + "\" (use portaudio, portaudio:NAME, file:PATH or none)";
}

std::string CheckCaptureFile(const std::string& path) {
    std::vector<std::int16_t> samples;
    std::string error;
    ReadAudioFile(path, samples, error);
    return error;
}

void WaitForEndOfInput() { CurrentCaptureDriver().WaitForEndOfInput(); }
