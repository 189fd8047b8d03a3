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
    std::string Problem() const override { return "no capture device is selected"; }
};

enum class CaptureKind { PortAudio, PortAudioNamed, File, None, Unknown };

CaptureKind KindOf(std::string_view spec) {
    if (spec == kPortAudio) {
        return CaptureKind::PortAudio;
    }
    if (spec.starts_with(kPortAudioNamed) && spec.size() > kPortAudioNamed.size()) {
        return CaptureKind::PortAudioNamed;
    }
    if (spec.starts_with(kFile) && spec.size() > kFile.size()) {
        return CaptureKind::File;
    }
    return spec == kNone ? CaptureKind::None : CaptureKind::Unknown;
}

std::string UnknownSpecMessage(const std::string& spec) {
    return "unknown capture device \"" + spec + "\" (use portaudio, portaudio:NAME, file:PATH or none)";
}

}  // namespace

std::string SelectCaptureDevice(const std::string& spec) {
    switch (KindOf(spec)) {
        case CaptureKind::PortAudio:
            InstallCaptureDriver(std::make_unique<PortAudioCaptureDriver>(std::string()));
            return {};
        case CaptureKind::PortAudioNamed:
            InstallCaptureDriver(std::make_unique<PortAudioCaptureDriver>(spec.substr(kPortAudioNamed.size())));
            return {};
        case CaptureKind::File: {
            std::vector<std::int16_t> samples;
            std::string error;
            if (!ReadAudioFile(spec.substr(kFile.size()), samples, error)) {
                return error;
            }
            InstallCaptureDriver(std::make_unique<FileCaptureDriver>(std::move(samples)));
            return {};
        }
        case CaptureKind::None:
            InstallCaptureDriver(std::make_unique<NoCaptureDriver>());
            return {};
        case CaptureKind::Unknown:
            break;
    }
    return UnknownSpecMessage(spec);
}

std::string CheckCaptureSpec(const std::string& spec) {
    switch (KindOf(spec)) {
        case CaptureKind::File:
            return CheckCaptureFile(spec.substr(kFile.size()));
        case CaptureKind::Unknown:
            return UnknownSpecMessage(spec);
        default:
            return {};
    }
}

std::string CheckCaptureFile(const std::string& path) {
    std::vector<std::int16_t> samples;
    std::string error;
    ReadAudioFile(path, samples, error);
    return error;
}

void WaitForEndOfInput() { CurrentCaptureDriver().WaitForEndOfInput(); }
