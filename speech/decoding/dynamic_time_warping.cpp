#include "decoding/dynamic_time_warping.h"

#include <algorithm>
#include <cmath>

namespace speech {

double WarpingDistance(const FeatureMatrix& a, const FeatureMatrix& b, const std::vector<float>& scales,
                       double abandonAbove) {
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    const std::size_t n = a.frameCount, m = b.frameCount, dimension = a.dimension;
    if (n == 0 || m == 0 || a.dimension != b.dimension || scales.size() != dimension) return kInfinity;
    // `b` scaled and stored value-major (all frames' value d together), so
    // that the distances of one frame of `a` to every frame of `b` are
    // summed over contiguous arrays, a loop the compiler vectorises.
    std::vector<float> y(dimension * m);
    for (std::size_t j = 0; j < m; ++j)
        for (std::size_t d = 0; d < dimension; ++d) y[d * m + j] = b.values[j * dimension + d] * scales[d];
    std::vector<float> x(dimension), local(m);
    std::vector<double> previous(m, kInfinity), current(m, kInfinity);
    const double abandonTotal = abandonAbove * double(n + m);
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t d = 0; d < dimension; ++d) x[d] = a.values[i * dimension + d] * scales[d];
        std::fill(local.begin(), local.end(), 0.0f);
        for (std::size_t d = 0; d < dimension; ++d) {
            const float value = x[d];
            const float* row = &y[d * m];
            for (std::size_t j = 0; j < m; ++j) {
                const float difference = value - row[j];
                local[j] += difference * difference;
            }
        }
        for (std::size_t j = 0; j < m; ++j) {
            const double distance = std::sqrt(local[j]);
            if (i == 0 && j == 0) {
                current[j] = 2.0 * distance;
                continue;
            }
            double best = kInfinity;
            if (i > 0) best = std::min(best, previous[j] + distance);
            if (j > 0) best = std::min(best, current[j - 1] + distance);
            if (i > 0 && j > 0) best = std::min(best, previous[j - 1] + 2.0 * distance);
            current[j] = best;
        }
        // Every path crosses this row, and the steps after it only add:
        // the least total so far bounds the final one from below.
        const double least = *std::min_element(current.begin(), current.end());
        if (least > abandonTotal) return least / double(n + m);
        std::swap(previous, current);
    }
    return previous[m - 1] / double(n + m);
}

}  // namespace speech
