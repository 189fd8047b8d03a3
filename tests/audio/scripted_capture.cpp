#include "scripted_capture.h"

#include <cstring>

namespace {

class ScriptedInput : public CaptureInput {
public:
    ScriptedInput(const CaptureScript& script, CaptureLog& log)
        : log_(log), startResult_(script.startResult), drainReturns_(script.buffersReturnedAtDrain) {}

    int Start() override { return startResult_; }
    void Stop() override {}
    void Release() override { ++log_.closes; }

    bool Fill(CaptureBuffer& buffer, bool draining) override {
        if (log_.permits > 0) {
            --log_.permits;
        } else if (draining && drainReturns_ > 0) {
            --drainReturns_;
        } else {
            return false;
        }
        const int number = ++log_.buffersReturned;
        std::memset(buffer.data, number, buffer.bufferLength);
        buffer.bytesRecorded = buffer.bufferLength;
        return true;
    }

private:
    CaptureLog& log_;
    int startResult_;
    int drainReturns_;
};

class ScriptedDevice : public ThreadedCaptureDevice {
public:
    ScriptedDevice(const CaptureScript& script, CaptureLog& log, CaptureCallback callback, void* instanceData)
        : ThreadedCaptureDevice(std::make_unique<ScriptedInput>(script, log), callback, instanceData),
          script_(script) {}

    int Reset() override {
        if (++resets_ == 1 && script_.resetResult != 0) {
            return script_.resetResult;
        }
        return ThreadedCaptureDevice::Reset();
    }

    int UnprepareBuffer(CaptureBuffer* buffer) override {
        const int result = ThreadedCaptureDevice::UnprepareBuffer(buffer);
        if (++unprepares_ == script_.failingUnprepare) {
            return kCaptureError;
        }
        return result;
    }

private:
    CaptureScript script_;
    std::atomic<int> resets_{0};
    std::atomic<int> unprepares_{0};
};

}  // namespace

int ScriptedDriver::Open(const RecordingFormat&, CaptureCallback callback, void* instanceData, CaptureDevice** device) {
    device_.reset();
    device_ = std::make_unique<ScriptedDevice>(script_, log_, callback, instanceData);
    *device = device_.get();
    const int launched = device_->Launch();
    return launched != 0 ? launched : script_.openResult;
}

void ScriptedDriver::ReturnBuffers(int count) {
    log_.permits += count;
    if (device_) {
        device_->Wake();
    }
}
