#pragma once
// A capture driver whose device follows a script, for testing the recorder.
// Its buffers come back only when the test permits (each filled with its
// sequence number: bytes 1, 2, 3...), plus a scripted number once the
// recorder begins its drain.

#include <atomic>
#include <memory>

#include "audio/capture_driver.h"
#include "audio/threaded_capture_device.h"

struct CaptureScript {
    int deviceCount = 1;
    int queryResult = 0;
    int openResult = 0;
    int resetResult = 0;  // of the first Reset, the one that opens the recording
    int startResult = 0;
    int buffersReturnedAtDrain = 2;
    int failingUnprepare = 0;  // the number of the UnprepareBuffer call that fails; 0: none
};

struct CaptureLog {
    std::atomic<int> permits{0};  // buffers the device may return now
    std::atomic<int> buffersReturned{0};
    std::atomic<int> closes{0};  // times the device actually closed
};

class ScriptedDriver : public CaptureDriver {
public:
    ScriptedDriver(const CaptureScript& script, CaptureLog& log) : script_(script), log_(log) {}

    int DeviceCount() override { return script_.deviceCount; }
    int QueryFormat(const RecordingFormat&) override { return script_.queryResult; }
    int Open(const RecordingFormat& format, CaptureCallback callback, void* instanceData,
             CaptureDevice** device) override;

    // Lets the open device return `count` more buffers.
    void ReturnBuffers(int count);

private:
    CaptureScript script_;
    CaptureLog& log_;
    std::unique_ptr<ThreadedCaptureDevice> device_;
};
