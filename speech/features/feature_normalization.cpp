#include "features/feature_normalization.h"

#include <cmath>

namespace speech {

void NormalizeMeanAndVariance(FeatureMatrix& features) {
    const std::uint32_t frames = features.frameCount, dimension = features.dimension;
    if (frames == 0) return;
    for (std::uint32_t d = 0; d < dimension; ++d) {
        double sum = 0.0, squares = 0.0;
        for (std::uint32_t t = 0; t < frames; ++t) sum += features.values[std::size_t(t) * dimension + d];
        const double mean = sum / frames;
        for (std::uint32_t t = 0; t < frames; ++t) {
            const double difference = features.values[std::size_t(t) * dimension + d] - mean;
            squares += difference * difference;
        }
        const double deviation = std::sqrt(squares / frames);
        const double scale = deviation > 1e-12 ? 1.0 / deviation : 0.0;
        for (std::uint32_t t = 0; t < frames; ++t) {
            float& value = features.values[std::size_t(t) * dimension + d];
            value = float((value - mean) * scale);
        }
    }
}

}  // namespace speech
