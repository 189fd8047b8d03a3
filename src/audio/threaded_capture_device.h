#pragma once
// The capture device shared by every backend: owns the notification thread,
// the queue of buffers handed over and their return. A backend supplies the
// audio through a CaptureInput.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "audio/capture_device.h"

class CaptureInput {
public:
    virtual ~CaptureInput() = default;

    // Begin and end delivering audio; called with the device locked.
    virtual int Start() = 0;
    virtual void Stop() = 0;
    // Releases what the input holds (streams, files); the device is closing.
    virtual void Release() {}

    // On the notification thread, with the device locked: adds audio to
    // `buffer`. True when the buffer is complete and goes back to the
    // recorder. `draining`: the recorder waits for its last buffers.
    virtual bool Fill(CaptureBuffer& buffer, bool draining) = 0;
    // True once an input with an end has put all of its audio into buffers.
    virtual bool Exhausted() const { return false; }
    // How often the notification thread looks for new audio; zero when the
    // input needs looking at only after the device's own events.
    virtual std::chrono::milliseconds PollInterval() const { return std::chrono::milliseconds(0); }
};

class ThreadedCaptureDevice : public CaptureDevice {
public:
    ThreadedCaptureDevice(std::unique_ptr<CaptureInput> input, CaptureCallback callback, void* instanceData);
    ~ThreadedCaptureDevice() override;
    ThreadedCaptureDevice(const ThreadedCaptureDevice&) = delete;
    ThreadedCaptureDevice& operator=(const ThreadedCaptureDevice&) = delete;

    // Starts the notification thread and returns after the open
    // notification; kCaptureError when no thread can be started.
    int Launch();

    int Reset() override;
    int Start() override;
    int Stop() override;
    int Close() override;
    int PrepareBuffer(CaptureBuffer* buffer) override;
    int UnprepareBuffer(CaptureBuffer* buffer) override;
    int AddBuffer(CaptureBuffer* buffer) override;
    void BeginDrain() override;
    bool IsClosed() const override;
    bool OnNotificationThread() const override;

    // Makes the notification thread look at the input again.
    void Wake();
    // Blocks until an exhausted input's last buffer has been delivered, or
    // the device is closed.
    void WaitForEndOfInput();

private:
    void Run();
    // Moves the buffers the input completes from the queue to the returns.
    void FillQueued();
    // Returns every buffer, then delivers the close notification.
    void CloseInPlace(std::unique_lock<std::mutex>& lock);
    void Deliver(std::unique_lock<std::mutex>& lock, CaptureNotice notice, CaptureBuffer* buffer);
    void Join();

    std::unique_ptr<CaptureInput> input_;
    CaptureCallback callback_;
    void* instanceData_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;         // the notification thread waits on it
    std::condition_variable stateChange_;  // callers waiting for the thread
    std::deque<CaptureBuffer*> queued_;
    std::deque<CaptureBuffer*> returned_;
    bool opened_ = false;
    bool started_ = false;
    bool draining_ = false;
    bool closeRequested_ = false;
    bool closing_ = false;
    bool closed_ = false;
    bool endOfInput_ = false;

    std::thread thread_;
    std::atomic<std::thread::id> threadId_{};
    std::mutex joinMutex_;
};
