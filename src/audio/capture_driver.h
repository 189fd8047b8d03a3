#pragma once
// A source of capture devices (the microphone, an audio file, none). The
// selected driver serves every recording until another one is installed.

#include <memory>
#include <string>

#include "audio/capture_device.h"
#include "audio/recording_format.h"

class CaptureDriver {
public:
    virtual ~CaptureDriver() = default;

    // Number of capture devices present (0 or 1).
    virtual int DeviceCount() = 0;
    // Whether the device can record `format`; nothing is opened.
    virtual int QueryFormat(const RecordingFormat& format) = 0;
    // Opens the device for `format`; returns once the open notification has
    // run. `*device` may be set even when the result is an error, and stays
    // valid until the next Open or the driver's end.
    virtual int Open(const RecordingFormat& format, CaptureCallback callback, void* instanceData,
                     CaptureDevice** device) = 0;
    // Blocks until the open device has delivered all of its input, for
    // sources that have an end; returns at once for the others.
    virtual void WaitForEndOfInput() {}
    // Why the last DeviceCount, QueryFormat or Open found no usable device,
    // in words for the user; empty when it did.
    virtual std::string Problem() const { return {}; }
};

// The one format every capture device delivers: PCM, mono, 11025 Hz, 16 bits.
bool IsRecordingFormat(const RecordingFormat& format);

// Makes `driver` serve the recordings that follow; the previous driver and
// its device are closed. Only between recordings.
void InstallCaptureDriver(std::unique_ptr<CaptureDriver> driver);

// The installed driver; the default microphone when none was installed.
CaptureDriver& CurrentCaptureDriver();
