#pragma once
// The microphone through PortAudio: the default input device, or the one with
// a given name. A device that refuses 11025 Hz is opened at its own default
// rate and converted. The audio callback only copies samples into a lock-free
// ring; the notification thread converts them and fills the buffers.

#include <memory>
#include <string>

#include "audio/capture_driver.h"
#include "audio/threaded_capture_device.h"

class PortAudioCaptureDriver : public CaptureDriver {
public:
    // `deviceName` empty: the default input device.
    explicit PortAudioCaptureDriver(std::string deviceName);
    ~PortAudioCaptureDriver() override;
    PortAudioCaptureDriver(const PortAudioCaptureDriver&) = delete;
    PortAudioCaptureDriver& operator=(const PortAudioCaptureDriver&) = delete;

    int DeviceCount() override;
    int QueryFormat(const RecordingFormat& format) override;
    int Open(const RecordingFormat& format, CaptureCallback callback, void* instanceData,
             CaptureDevice** device) override;
    std::string Problem() const override { return problem_; }

private:
    // Keeps `problem` for Problem(), says it on stderr and returns `status`.
    int Fail(const std::string& problem, int status);
    // Starts PortAudio the first time it is needed; false when it cannot.
    bool Initialize();
    // The input device to use, or a negative number (said on stderr) when
    // there is none.
    int FindDevice();

    std::string deviceName_;
    bool initialized_ = false;
    std::string problem_;
    std::unique_ptr<ThreadedCaptureDevice> device_;
};
