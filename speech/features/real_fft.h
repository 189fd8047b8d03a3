#pragma once
// Power spectrum of a real signal through FFTW. FFTW's planner is not
// thread-safe, so plans are made and destroyed under one lock; executing a
// plan on its own buffers is safe from any thread.

#include <cstddef>
#include <vector>

namespace speech {

class RealFft {
public:
    // `size` must be a power of two of at least 2.
    explicit RealFft(std::size_t size);
    ~RealFft();
    RealFft(const RealFft&) = delete;
    RealFft& operator=(const RealFft&) = delete;

    std::size_t Size() const { return size_; }
    // The input buffer: `Size()` samples, which PowerSpectrum overwrites.
    float* Input() { return input_; }
    // Squared magnitudes of bins 0 to Size()/2 of the input.
    void PowerSpectrum(std::vector<float>& power);

private:
    std::size_t size_;
    float* input_;
    void* output_;
    void* plan_;
};

}  // namespace speech
