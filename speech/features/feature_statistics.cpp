#include "features/feature_statistics.h"

#include <algorithm>
#include <cmath>

namespace speech {

bool FeatureStatistics::Add(const FeatureMatrix& features) {
    if (frames_ == 0 && shift_.empty()) {
        if (features.frameCount == 0) return true;
        shift_.assign(features.Frame(0), features.Frame(0) + features.dimension);
        sum_.assign(features.dimension, 0.0);
        sumOfSquares_.assign(features.dimension, 0.0);
    }
    if (features.dimension != shift_.size()) return false;
    for (std::uint32_t t = 0; t < features.frameCount; ++t) {
        const float* frame = features.Frame(t);
        for (std::size_t d = 0; d < shift_.size(); ++d) {
            const double centred = frame[d] - shift_[d];
            sum_[d] += centred;
            sumOfSquares_[d] += centred * centred;
        }
    }
    frames_ += features.frameCount;
    return true;
}

std::vector<double> FeatureStatistics::Mean() const {
    std::vector<double> mean(shift_.size());
    for (std::size_t d = 0; d < mean.size(); ++d) mean[d] = shift_[d] + sum_[d] / double(frames_);
    return mean;
}

std::vector<double> FeatureStatistics::Variance() const {
    std::vector<double> variance(shift_.size());
    for (std::size_t d = 0; d < variance.size(); ++d) {
        const double average = sum_[d] / double(frames_);
        variance[d] = std::max(0.0, sumOfSquares_[d] / double(frames_) - average * average);
    }
    return variance;
}

std::vector<double> FeatureStatistics::InverseDeviation() const {
    std::vector<double> scale = Variance();
    for (double& value : scale) value = value > kConstantVariance ? 1.0 / std::sqrt(value) : 0.0;
    return scale;
}

}  // namespace speech
