#include "audio/file_capture_driver.h"

#include <algorithm>
#include <cstring>

namespace {

class FileInput : public CaptureInput {
public:
    explicit FileInput(std::vector<std::int16_t> samples) : samples_(std::move(samples)) {}

    int Start() override { return 0; }
    void Stop() override {}

    bool Fill(CaptureBuffer& buffer, bool draining) override {
        const std::size_t capacity = buffer.bufferLength;
        std::size_t filled = buffer.bytesRecorded;
        if (position_ < samples_.size()) {
            const std::size_t count = std::min((capacity - filled) / 2, samples_.size() - position_);
            for (std::size_t i = 0; i < count; ++i) {
                const auto sample = static_cast<std::uint16_t>(samples_[position_ + i]);
                buffer.data[filled++] = static_cast<char>(sample & 0xFF);
                buffer.data[filled++] = static_cast<char>(sample >> 8);
            }
            position_ += count;
            // Full, or holding the last of the audio: either way it goes back.
        } else if (!draining) {
            return false;
        }
        std::memset(buffer.data + filled, 0, capacity - filled);
        buffer.bytesRecorded = static_cast<std::uint32_t>(capacity);
        return true;
    }

    bool Exhausted() const override { return position_ >= samples_.size(); }

private:
    std::vector<std::int16_t> samples_;
    std::size_t position_ = 0;
};

}  // namespace

FileCaptureDriver::FileCaptureDriver(std::vector<std::int16_t> samples) : samples_(std::move(samples)) {}

int FileCaptureDriver::DeviceCount() { return 1; }

int FileCaptureDriver::QueryFormat(const RecordingFormat& format) {
    return IsRecordingFormat(format) ? 0 : kCaptureBadFormat;
}

int FileCaptureDriver::Open(const RecordingFormat& format, CaptureCallback callback, void* instanceData,
                            CaptureDevice** device) {
    device_.reset();
    if (!IsRecordingFormat(format)) {
        return kCaptureBadFormat;
    }
    device_ = std::make_unique<ThreadedCaptureDevice>(std::make_unique<FileInput>(samples_), callback, instanceData);
    *device = device_.get();
    return device_->Launch();
}

void FileCaptureDriver::WaitForEndOfInput() {
    if (device_) {
        device_->WaitForEndOfInput();
    }
}
