#pragma once
// Delivers the samples of an audio file as if spoken into the microphone, as
// fast as buffers are handed over: the audio in whole buffers, the last one
// padded with silence. Then the device holds the buffers it is given, and
// returns them filled with silence once the recorder begins its drain.

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/capture_driver.h"
#include "audio/threaded_capture_device.h"

class FileCaptureDriver : public CaptureDriver {
public:
    // `samples`: the file's audio in the recording format.
    explicit FileCaptureDriver(std::vector<std::int16_t> samples);

    int DeviceCount() override;
    int QueryFormat(const RecordingFormat& format) override;
    int Open(const RecordingFormat& format, CaptureCallback callback, void* instanceData,
             CaptureDevice** device) override;
    void WaitForEndOfInput() override;

private:
    std::vector<std::int16_t> samples_;
    std::unique_ptr<ThreadedCaptureDevice> device_;
};
