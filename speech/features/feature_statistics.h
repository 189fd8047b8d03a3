#pragma once
// Mean and variance of every feature value over a set of frames: the one
// accumulator behind per-recording normalisation, the word templates' scales
// and the flat-start models.

#include <cstdint>
#include <vector>

#include "features/feature_file.h"

namespace speech {

// A dimension whose variance is at most this does not vary: its values are
// rounding noise around a constant. Normalisation maps it to 0, and it gets
// no weight in a distance.
constexpr double kConstantVariance = 1e-12;

class FeatureStatistics {
public:
    // Adds every frame of `features`. False, adding nothing, when their
    // dimension differs from that of the frames added before.
    bool Add(const FeatureMatrix& features);

    std::uint64_t FrameCount() const { return frames_; }
    std::uint32_t Dimension() const { return static_cast<std::uint32_t>(shift_.size()); }
    std::vector<double> Mean() const;
    std::vector<double> Variance() const;
    // 1 / standard deviation of every dimension, 0 for one that does not vary.
    std::vector<double> InverseDeviation() const;

private:
    // Sums are taken around the first frame, which keeps the variance exact
    // when the mean is large against the spread.
    std::vector<double> shift_;
    std::vector<double> sum_;
    std::vector<double> sumOfSquares_;
    std::uint64_t frames_ = 0;
};

}  // namespace speech
