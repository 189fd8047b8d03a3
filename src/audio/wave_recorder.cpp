#include "audio/wave_recorder.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <new>
#include <thread>

#include "audio/capture_driver.h"
#include "audio/recorder_hooks.h"
#include "text/program_name.h"
#include "text/text.h"

namespace {

constexpr std::uint32_t kBufferBytes = 4096;

// The recorder's own status codes.
constexpr int kNoCaptureDevice = 21;
constexpr int kBufferNotAllocated = 22;
constexpr int kFileNotCreated = 23;
constexpr int kWriteFailed = 24;

constexpr std::chrono::milliseconds kDrainLook(1);
constexpr std::chrono::seconds kDrainPatience(1);

// Shared by the user-interface thread and the device's notification thread.
std::atomic<std::int32_t> lastStatus{0};
std::atomic<std::int32_t> queuedBuffers{0};
std::atomic<int> recordingFile{-1};
std::atomic<std::int32_t> keepQueuing{0};
// Set by any failure and cleared only by the next StartRecording, whereas
// lastStatus is overwritten by every later step.
std::atomic<bool> recordingFailed{false};

RecorderHooks hooks;

// Why the last StartRecording failed; used on the caller's thread only.
std::string startProblem;

std::string DescribeStartFailure(const CaptureDriver& driver, int status) {
    if (status == kFileNotCreated) {
        return "the recording file could not be created";
    }
    if (status == kBufferNotAllocated) {
        return "there is no memory for the recording buffers";
    }
    const std::string problem = driver.Problem();
    return problem.empty() ? "the capture device failed (error " + IntToText(status) + ")" : problem;
}

void SetStatus(int status) {
    lastStatus = status;
    if (status != 0) {
        recordingFailed = true;
    }
}

bool AllocationFails() { return hooks.allocationFails != nullptr && hooks.allocationFails(); }

void FreeBuffer(CaptureBuffer* buffer) {
    delete[] buffer->data;
    delete buffer;
}

// Writes all of `size` bytes; false when a write fails or makes no progress.
bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = hooks.writeFile != nullptr ? hooks.writeFile(fd, data, size) : ::write(fd, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Closes the recording file once, whichever thread gets here first.
void CloseRecordingFile() {
    const int fd = recordingFile.exchange(-1);
    if (fd >= 0 && ::close(fd) != 0) {
        recordingFailed = true;
    }
}

// Hands one new buffer to the device; on failure the recording stops.
void QueueBuffer(CaptureDevice* device) {
    CaptureBuffer* header = AllocationFails() ? nullptr : new (std::nothrow) CaptureBuffer;
    char* block = AllocationFails() ? nullptr : new (std::nothrow) char[kBufferBytes];
    int status = kBufferNotAllocated;
    if (header != nullptr && block != nullptr) {
        header->data = block;
        header->bufferLength = kBufferBytes;
        header->flags = 0;
        status = device->PrepareBuffer(header);
        if (status == 0) {
            // Counted before it is handed over: the device may return it at once.
            ++queuedBuffers;
            status = device->AddBuffer(header);
            if (status != 0) {
                --queuedBuffers;
            }
        }
    }
    SetStatus(status);
    if (status != 0) {
        delete[] block;
        delete header;
        StopRecording(device);
    }
}

void OnOpen(CaptureDevice* device, const std::string& fileName) {
    RemoveRegularFile(fileName.c_str());
    const int fd = CreateFileDescriptor(fileName.c_str());
    if (fd < 0) {
        SetStatus(kFileNotCreated);
        StopRecording(device);
        return;
    }
    const int stale = recordingFile.exchange(fd);
    if (stale >= 0) {
        ::close(stale);
    }
}

void OnData(CaptureDevice* device, CaptureBuffer* buffer) {
    if (buffer == nullptr) {
        return;
    }
    if (lastStatus != 0) {
        // The recording has failed: the buffer is not written or counted,
        // only given back to memory.
        device->UnprepareBuffer(buffer);
        FreeBuffer(buffer);
        return;
    }
    if ((buffer->flags & kBufferDone) == 0) {
        return;
    }
    if (keepQueuing == 1) {
        QueueBuffer(device);
    }
    // After a failure nothing more is written: a later buffer would leave a
    // gap in the recording.
    bool writeFailed = false;
    if (!recordingFailed) {
        const std::size_t size = std::min(buffer->bytesRecorded, buffer->bufferLength);
        writeFailed = !WriteAll(recordingFile, buffer->data, size);
    }
    --queuedBuffers;
    const int unprepared = device->UnprepareBuffer(buffer);
    FreeBuffer(buffer);
    if (writeFailed) {
        // A full disk or a file-size limit: the device stops at once, so
        // neither a device waiting for buffers nor a drain waiting for the
        // device's buffers can hang the recording.
        SetStatus(kWriteFailed);
        StopRecording(device);
        return;
    }
    SetStatus(unprepared);
}

void OnNotification(CaptureDevice* device, CaptureNotice notice, void* instanceData, CaptureBuffer* buffer) {
    switch (notice) {
        case CaptureNotice::Open:
            OnOpen(device, *static_cast<const std::string*>(instanceData));
            break;
        case CaptureNotice::Data:
            OnData(device, buffer);
            break;
        case CaptureNotice::Close:
            CloseRecordingFile();
            break;
    }
}

// Waits for the buffers still with the device, looking every millisecond.
// Gives up when the status turns non-zero, or when a second passes with no
// buffer coming back: the device has failed and the recording is incomplete.
void Drain() {
    std::int32_t seen = queuedBuffers;
    auto lastChange = std::chrono::steady_clock::now();
    while (seen > 0 && lastStatus == 0) {
        std::this_thread::sleep_for(kDrainLook);
        const std::int32_t now = queuedBuffers;
        const auto time = std::chrono::steady_clock::now();
        if (now != seen) {
            seen = now;
            lastChange = time;
        } else if (time - lastChange >= kDrainPatience) {
            PrintMessage("the capture device returned no buffer for a second; the recording ends without its last " +
                         IntToText(seen) + " buffers");
            recordingFailed = true;
            return;
        }
    }
}

}  // namespace

void SetRecorderHooks(const RecorderHooks& newHooks) { hooks = newHooks; }

void StartRecording(const std::wstring& fileName, RecordingFormat format, DeviceHandle* deviceHandle) {
    queuedBuffers = 0;
    recordingFailed = false;
    // A handle left from an earlier recording must not outlive its device.
    if (deviceHandle != nullptr) {
        *deviceHandle = nullptr;
    }
    CaptureDriver& driver = CurrentCaptureDriver();
    CaptureDevice* device = nullptr;
    if (driver.DeviceCount() == 0) {
        SetStatus(kNoCaptureDevice);
    } else {
        int status = driver.QueryFormat(format);
        SetStatus(status);
        if (status == 0) {
            std::string name = ToNarrowText(fileName);
            const int opened = driver.Open(format, &OnNotification, &name, &device);
            // The open notification's own failure stands.
            if (lastStatus != kFileNotCreated) {
                SetStatus(opened);
            }
            status = lastStatus;
        }
        if (status == 0) {
            status = device->Reset();
            SetStatus(status);
        }
        if (status == 0) {
            if (deviceHandle != nullptr) {
                *deviceHandle = device;
            }
            keepQueuing = 1;
            status = device->Start();
            SetStatus(status);
            if (status == 0) {
                QueueBuffer(device);
                QueueBuffer(device);
            }
        }
    }
    startProblem.clear();
    if (lastStatus != 0) {
        startProblem = DescribeStartFailure(driver, lastStatus);
        StopRecording(device);
    }
}

void StopRecording(DeviceHandle device) {
    keepQueuing = 0;
    bool deviceClosed = false;
    // The drain waits for the notification thread, so it never runs there.
    if (device != nullptr && lastStatus == 0 && !device->IsClosed() && !device->OnNotificationThread()) {
        device->BeginDrain();
        Drain();
        int status = device->Reset();
        SetStatus(status);
        if (status == 0) {
            status = device->Stop();
            SetStatus(status);
        }
        if (status == 0) {
            SetStatus(device->Close());
            deviceClosed = true;
        }
    }
    if (!deviceClosed && device != nullptr) {
        device->Close();
    }
    CloseRecordingFile();
}

bool RecordingFailed() { return recordingFailed; }

std::string RecordingStartProblem() { return startProblem; }
