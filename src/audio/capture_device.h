#pragma once
// A capture device as the wave recorder sees it: it is given empty buffers one
// at a time, fills them with recorded audio and returns each through a
// notification on a thread of its own, which also announces the device's
// opening and closing. Operations return a status: 0 on success, otherwise a
// device error code (the codes below, or the audio library's own, negative).

#include <cstdint>

inline constexpr int kCaptureError = 1;           // unspecified device failure
inline constexpr int kCaptureClosed = 5;          // the device is already closed
inline constexpr int kCaptureInvalidBuffer = 11;  // no buffer, or one already queued
inline constexpr int kCaptureBadFormat = 32;      // the recording format is not supported
inline constexpr int kCaptureUnprepared = 34;     // the buffer was not prepared

inline constexpr std::uint32_t kBufferDone = 1;      // returned by the device
inline constexpr std::uint32_t kBufferPrepared = 2;  // prepared for the device
inline constexpr std::uint32_t kBufferQueued = 16;   // with the device

// One capture buffer: the caller owns the header and its data block.
struct CaptureBuffer {
    char* data = nullptr;
    std::uint32_t bufferLength = 0;
    std::uint32_t bytesRecorded = 0;
    std::uint32_t flags = 0;
};

enum class CaptureNotice { Open, Data, Close };

class CaptureDevice;

// Called on the device's notification thread. `buffer` is the returned buffer
// for Data notifications and null otherwise.
using CaptureCallback = void (*)(CaptureDevice* device, CaptureNotice notice, void* instanceData,
                                 CaptureBuffer* buffer);

class CaptureDevice {
public:
    virtual ~CaptureDevice() = default;

    // Stops input and returns every queued buffer, marked done.
    virtual int Reset() = 0;
    // Starts filling the queued buffers.
    virtual int Start() = 0;
    // Stops input; queued buffers stay with the device.
    virtual int Stop() = 0;
    // Returns every buffer still held, then delivers the close notification.
    // Idempotent. From the notification thread it closes in place; from any
    // other thread it returns only once the notification thread has finished.
    virtual int Close() = 0;

    virtual int PrepareBuffer(CaptureBuffer* buffer) = 0;
    virtual int UnprepareBuffer(CaptureBuffer* buffer) = 0;
    // Hands one prepared buffer to the device.
    virtual int AddBuffer(CaptureBuffer* buffer) = 0;

    // The recorder is about to wait for its last buffers.
    virtual void BeginDrain() = 0;

    // True once closing has begun.
    virtual bool IsClosed() const = 0;
    // True when called on this device's notification thread.
    virtual bool OnNotificationThread() const = 0;
};
