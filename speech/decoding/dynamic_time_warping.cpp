#include "decoding/dynamic_time_warping.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace speech {
namespace {

std::vector<float> Scaled(const FeatureMatrix& features, const std::vector<float>& scales) {
    std::vector<float> values = features.values;
    const std::size_t dimension = features.dimension;
    for (std::size_t i = 0; i < values.size(); ++i) values[i] *= scales[i % dimension];
    return values;
}

}  // namespace

double WarpingDistance(const FeatureMatrix& a, const FeatureMatrix& b, const std::vector<float>& scales) {
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    const std::size_t n = a.frameCount, m = b.frameCount, dimension = a.dimension;
    if (n == 0 || m == 0 || a.dimension != b.dimension || scales.size() != dimension) return kInfinity;
    const std::vector<float> x = Scaled(a, scales), y = Scaled(b, scales);
    auto local = [&](std::size_t i, std::size_t j) {
        const float* p = &x[i * dimension];
        const float* q = &y[j * dimension];
        float sum = 0.0f;
        for (std::size_t d = 0; d < dimension; ++d) {
            const float difference = p[d] - q[d];
            sum += difference * difference;
        }
        return double(std::sqrt(sum));
    };
    std::vector<double> previous(m, kInfinity), current(m, kInfinity);
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = 0; j < m; ++j) {
            const double d = local(i, j);
            if (i == 0 && j == 0) {
                current[j] = 2.0 * d;
                continue;
            }
            double best = kInfinity;
            if (i > 0) best = std::min(best, previous[j] + d);
            if (j > 0) best = std::min(best, current[j - 1] + d);
            if (i > 0 && j > 0) best = std::min(best, previous[j - 1] + 2.0 * d);
            current[j] = best;
        }
        std::swap(previous, current);
    }
    return previous[m - 1] / double(n + m);
}

}  // namespace speech
