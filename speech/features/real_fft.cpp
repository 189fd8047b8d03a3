#include "features/real_fft.h"

#include <fftw3.h>
#include <mutex>

namespace speech {
namespace {

std::mutex& PlannerLock() {
    static std::mutex lock;
    return lock;
}

}  // namespace

RealFft::RealFft(std::size_t size) : size_(size) {
    input_ = fftwf_alloc_real(size);
    output_ = fftwf_alloc_complex(size / 2 + 1);
    const std::lock_guard<std::mutex> guard(PlannerLock());
    plan_ = fftwf_plan_dft_r2c_1d(static_cast<int>(size), input_, static_cast<fftwf_complex*>(output_),
                                  FFTW_ESTIMATE | FFTW_DESTROY_INPUT);
}

RealFft::~RealFft() {
    {
        const std::lock_guard<std::mutex> guard(PlannerLock());
        fftwf_destroy_plan(static_cast<fftwf_plan>(plan_));
    }
    fftwf_free(output_);
    fftwf_free(input_);
}

void RealFft::PowerSpectrum(std::vector<float>& power) {
    fftwf_execute(static_cast<fftwf_plan>(plan_));
    const auto* bins = static_cast<const fftwf_complex*>(output_);
    power.resize(size_ / 2 + 1);
    for (std::size_t k = 0; k < power.size(); ++k) power[k] = bins[k][0] * bins[k][0] + bins[k][1] * bins[k][1];
}

}  // namespace speech
