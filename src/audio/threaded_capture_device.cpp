#include "audio/threaded_capture_device.h"

#include <system_error>

#include "audio/input_level.h"

namespace {

void MarkReturned(CaptureBuffer& buffer) { buffer.flags = (buffer.flags & ~kBufferQueued) | kBufferDone; }

}  // namespace

ThreadedCaptureDevice::ThreadedCaptureDevice(std::unique_ptr<CaptureInput> input, CaptureCallback callback,
                                             void* instanceData)
    : input_(std::move(input)), callback_(callback), instanceData_(instanceData) {}

ThreadedCaptureDevice::~ThreadedCaptureDevice() { ThreadedCaptureDevice::Close(); }

int ThreadedCaptureDevice::Launch() {
    try {
        thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        std::lock_guard lock(mutex_);
        closing_ = true;
        closed_ = true;
        return kCaptureError;
    }
    std::unique_lock lock(mutex_);
    stateChange_.wait(lock, [this] { return opened_; });
    return 0;
}

void ThreadedCaptureDevice::Run() {
    threadId_ = std::this_thread::get_id();
    std::unique_lock lock(mutex_);
    Deliver(lock, CaptureNotice::Open, nullptr);
    opened_ = true;
    stateChange_.notify_all();
    while (!closing_) {
        if (closeRequested_) {
            CloseInPlace(lock);
            break;
        }
        if (started_) {
            FillQueued();
        }
        if (!returned_.empty()) {
            CaptureBuffer* buffer = returned_.front();
            returned_.pop_front();
            Deliver(lock, CaptureNotice::Data, buffer);
            continue;
        }
        if (started_ && !endOfInput_ && input_->Exhausted()) {
            endOfInput_ = true;
            stateChange_.notify_all();
        }
        const auto interval = input_->PollInterval();
        if (started_ && interval.count() > 0) {
            wake_.wait_for(lock, interval);
        } else {
            wake_.wait(lock);
        }
    }
}

void ThreadedCaptureDevice::FillQueued() {
    while (!queued_.empty()) {
        CaptureBuffer* buffer = queued_.front();
        const std::uint32_t before = buffer->bytesRecorded;
        const bool complete = input_->Fill(*buffer, draining_);
        NoteInputSamples(buffer->data + before, buffer->bytesRecorded - before);
        if (!complete) {
            return;
        }
        queued_.pop_front();
        MarkReturned(*buffer);
        returned_.push_back(buffer);
    }
}

void ThreadedCaptureDevice::CloseInPlace(std::unique_lock<std::mutex>& lock) {
    closing_ = true;
    started_ = false;
    input_->Stop();
    input_->Release();
    for (CaptureBuffer* buffer : queued_) {
        MarkReturned(*buffer);
        returned_.push_back(buffer);
    }
    queued_.clear();
    while (!returned_.empty()) {
        CaptureBuffer* buffer = returned_.front();
        returned_.pop_front();
        Deliver(lock, CaptureNotice::Data, buffer);
    }
    Deliver(lock, CaptureNotice::Close, nullptr);
    closed_ = true;
    stateChange_.notify_all();
}

void ThreadedCaptureDevice::Deliver(std::unique_lock<std::mutex>& lock, CaptureNotice notice, CaptureBuffer* buffer) {
    lock.unlock();
    callback_(this, notice, instanceData_, buffer);
    lock.lock();
}

void ThreadedCaptureDevice::Join() {
    std::lock_guard lock(joinMutex_);
    if (thread_.joinable()) {
        thread_.join();
    }
}

int ThreadedCaptureDevice::Reset() {
    std::lock_guard lock(mutex_);
    if (closing_) {
        return kCaptureClosed;
    }
    input_->Stop();
    started_ = false;
    for (CaptureBuffer* buffer : queued_) {
        MarkReturned(*buffer);
        returned_.push_back(buffer);
    }
    queued_.clear();
    wake_.notify_all();
    return 0;
}

int ThreadedCaptureDevice::Start() {
    std::lock_guard lock(mutex_);
    if (closing_) {
        return kCaptureClosed;
    }
    if (started_) {
        return 0;
    }
    const int result = input_->Start();
    if (result == 0) {
        started_ = true;
        draining_ = false;
        endOfInput_ = false;
        wake_.notify_all();
    }
    return result;
}

int ThreadedCaptureDevice::Stop() {
    std::lock_guard lock(mutex_);
    if (closing_) {
        return kCaptureClosed;
    }
    input_->Stop();
    started_ = false;
    return 0;
}

int ThreadedCaptureDevice::Close() {
    std::unique_lock lock(mutex_);
    if (OnNotificationThread()) {
        if (!closing_) {
            CloseInPlace(lock);
        }
        return 0;
    }
    if (!closing_ && !closeRequested_) {
        closeRequested_ = true;
        wake_.notify_all();
    }
    lock.unlock();
    Join();
    return 0;
}

int ThreadedCaptureDevice::PrepareBuffer(CaptureBuffer* buffer) {
    if (buffer == nullptr || buffer->data == nullptr) {
        return kCaptureInvalidBuffer;
    }
    std::lock_guard lock(mutex_);
    if (closing_) {
        return kCaptureClosed;
    }
    buffer->flags |= kBufferPrepared;
    return 0;
}

int ThreadedCaptureDevice::UnprepareBuffer(CaptureBuffer* buffer) {
    if (buffer == nullptr) {
        return kCaptureInvalidBuffer;
    }
    std::lock_guard lock(mutex_);
    // Buffers handed back while the device closes may still be released.
    if (closed_) {
        return kCaptureClosed;
    }
    if ((buffer->flags & kBufferQueued) != 0) {
        return kCaptureInvalidBuffer;
    }
    buffer->flags &= ~kBufferPrepared;
    return 0;
}

int ThreadedCaptureDevice::AddBuffer(CaptureBuffer* buffer) {
    if (buffer == nullptr) {
        return kCaptureInvalidBuffer;
    }
    std::lock_guard lock(mutex_);
    if (closing_) {
        return kCaptureClosed;
    }
    if ((buffer->flags & kBufferPrepared) == 0) {
        return kCaptureUnprepared;
    }
    if ((buffer->flags & kBufferQueued) != 0 || buffer->bufferLength == 0) {
        return kCaptureInvalidBuffer;
    }
    buffer->flags = (buffer->flags & ~kBufferDone) | kBufferQueued;
    buffer->bytesRecorded = 0;
    queued_.push_back(buffer);
    wake_.notify_all();
    return 0;
}

void ThreadedCaptureDevice::BeginDrain() {
    std::lock_guard lock(mutex_);
    draining_ = true;
    wake_.notify_all();
}

bool ThreadedCaptureDevice::IsClosed() const {
    std::lock_guard lock(mutex_);
    return closing_;
}

bool ThreadedCaptureDevice::OnNotificationThread() const { return threadId_.load() == std::this_thread::get_id(); }

void ThreadedCaptureDevice::Wake() {
    std::lock_guard lock(mutex_);
    wake_.notify_all();
}

void ThreadedCaptureDevice::WaitForEndOfInput() {
    std::unique_lock lock(mutex_);
    stateChange_.wait(lock, [this] { return endOfInput_ || closed_; });
}
