#include "audio/capture_driver.h"

#include <mutex>

#include "audio/portaudio_capture_driver.h"

namespace {

std::mutex driverMutex;
std::unique_ptr<CaptureDriver> installedDriver;

}  // namespace

bool IsRecordingFormat(const RecordingFormat& format) { return format == kRecordingFormat; }

void InstallCaptureDriver(std::unique_ptr<CaptureDriver> driver) {
    std::unique_ptr<CaptureDriver> previous;
    {
        std::lock_guard lock(driverMutex);
        previous = std::move(installedDriver);
        installedDriver = std::move(driver);
    }
    // `previous` closes its device here, outside the lock.
}

CaptureDriver& CurrentCaptureDriver() {
    std::lock_guard lock(driverMutex);
    if (!installedDriver) {
        installedDriver = std::make_unique<PortAudioCaptureDriver>(std::string());
    }
    return *installedDriver;
}
