#include "decoding/dynamic_time_warping.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace speech {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// The limit on a path's total is raised by this share of itself, so that
// the rounding of the average cannot turn a distance at the limit into one
// above it: a distance at or below `abandonAbove` stays exact.
constexpr double kLimitSlack = 1e-9;
constexpr std::size_t kBlock = ScaledFrames::kBlockFrames;

// Four frames' values, one lane each: arithmetic on them works lane by
// lane, in a vector register of any x86-64 machine. A block is two of them.
constexpr std::size_t kLanes = 4;
using Lanes = float __attribute__((vector_size(kLanes * sizeof(float))));

// Frames in whole blocks.
std::size_t PaddedCount(std::size_t frames) { return (frames + kBlock - 1) / kBlock * kBlock; }

// Where value d of frame t lies in ScaledFrames::values.
std::size_t Position(std::size_t t, std::size_t d, std::size_t dimension) {
    return t / kBlock * kBlock * dimension + d * kBlock + t % kBlock;
}

// One row of the warping: the distances of the frame `x` of one recording
// to frames of the other, `y`.
class RowDistances {
public:
    RowDistances(const std::vector<float>& x, const ScaledFrames& y)
        : x_(x), y_(y), distances_(PaddedCount(y.frameCount)) {}

    // The distances to the frames [first, last) of `y` and on to the end of
    // the last block, into Distance(j); returns the end. Every column's
    // squares are summed value by value in the same order, so a distance
    // does not depend on which columns are computed together.
    std::size_t Compute(std::size_t first, std::size_t last) {
        const std::size_t dimension = x_.size(), end = PaddedCount(last);
        for (std::size_t block = first / kBlock * kBlock; block < end; block += kBlock) {
            const float* frames = y_.values.data() + block * dimension;
            Lanes low = {}, high = {};
            for (std::size_t d = 0; d < dimension; ++d) {
                Lanes lowValues, highValues;
                std::memcpy(&lowValues, frames + d * kBlock, sizeof lowValues);
                std::memcpy(&highValues, frames + d * kBlock + kLanes, sizeof highValues);
                const Lanes lowDifference = x_[d] - lowValues, highDifference = x_[d] - highValues;
                low += lowDifference * lowDifference;
                high += highDifference * highDifference;
            }
            for (std::size_t k = 0; k < kLanes; ++k) {
                distances_[block + k] = std::sqrt(low[k]);
                distances_[block + kLanes + k] = std::sqrt(high[k]);
            }
        }
        return end;
    }

    double Distance(std::size_t j) const { return distances_[j]; }

private:
    const std::vector<float>& x_;
    const ScaledFrames& y_;
    std::vector<double> distances_;
};

}  // namespace

ScaledFrames ScaleFrames(const FeatureMatrix& frames, const std::vector<float>& scales) {
    ScaledFrames scaled;
    if (scales.size() != frames.dimension) return scaled;
    const std::size_t count = frames.frameCount, dimension = frames.dimension;
    scaled.frameCount = frames.frameCount;
    scaled.dimension = frames.dimension;
    scaled.values.resize(PaddedCount(count) * dimension);
    for (std::size_t t = 0; t < count; ++t)
        for (std::size_t d = 0; d < dimension; ++d)
            scaled.values[Position(t, d, dimension)] = frames.values[t * dimension + d] * scales[d];
    return scaled;
}

double WarpingDistance(const ScaledFrames& a, const ScaledFrames& b, double abandonAbove) {
    const std::size_t n = a.frameCount, m = b.frameCount, dimension = a.dimension;
    if (n == 0 || m == 0 || a.dimension != b.dimension) return kInfinity;
    std::vector<float> x(dimension);
    RowDistances row(x, b);
    // Every path weighs n + m local distances (a diagonal step counts
    // twice), so a distance above `abandonAbove` is a total above `limit`.
    const double weight = double(n + m);
    const double limit = abandonAbove * weight * (1.0 + kLimitSlack);
    auto above = [limit](double total) { return total > limit; };
    // Once every total is above the limit: a value above `abandonAbove`
    // and not above the distance.
    auto abandoned = [&] { return std::max({0.0, limit / weight, std::nextafter(abandonAbove, kInfinity)}); };
    // Pruned warping: a cell whose least total is above the limit (a dead
    // cell) cannot lie on a path at or below it. Each row is computed from
    // the first column under a live cell of the row before, through the
    // last column next to one, and on to the right while the cell to the
    // left is live; every other cell counts as infinite. Cells computed
    // from infinite neighbours may come out too large, but only dead ones:
    // a live cell's best neighbour is live, so live cells are exact.
    std::vector<double> previous(m, kInfinity), current(m, kInfinity);
    std::size_t liveBegin = 0, liveEnd = 0;        // the previous row's live cells, [liveBegin, liveEnd)
    std::size_t writtenBegin = 0, writtenEnd = 0;  // the columns `current` holds from two rows back
    for (std::size_t i = 0; i < n; ++i) {
        std::fill(current.begin() + writtenBegin, current.begin() + writtenEnd, kInfinity);
        for (std::size_t d = 0; d < dimension; ++d) x[d] = a.values[Position(i, d, dimension)];
        const std::size_t first = i == 0 ? 0 : liveBegin;
        std::size_t computed = row.Compute(first, i == 0 ? 1 : std::min(m, liveEnd + 1));
        std::size_t newBegin = m, newEnd = 0;
        std::size_t j = first;
        for (; j < m; ++j) {
            // Past the columns under the previous row's live cells, only a
            // live cell to the left leads on.
            if (j >= (i == 0 ? 1 : liveEnd + 1) && above(current[j - 1])) break;
            if (j == computed) computed = row.Compute(computed, computed + 1);
            const double distance = row.Distance(j);
            double best = i == 0 && j == 0 ? 2.0 * distance : previous[j] + distance;
            if (j > 0) best = std::min({best, current[j - 1] + distance, previous[j - 1] + 2.0 * distance});
            current[j] = best;
            if (!above(best)) {
                newBegin = std::min(newBegin, j);
                newEnd = j + 1;
            }
        }
        // Every path crosses this row: with no live cell, every total is
        // above the limit.
        if (newEnd == 0) return abandoned();
        writtenBegin = first;
        writtenEnd = j;
        liveBegin = newBegin;
        liveEnd = newEnd;
        std::swap(previous, current);
    }
    if (above(previous[m - 1])) return abandoned();
    return previous[m - 1] / weight;
}

WarpingSteps BestWarpingSteps(const ScaledFrames& a, const ScaledFrames& b) {
    const std::size_t n = a.frameCount, m = b.frameCount, dimension = a.dimension;
    if (n == 0 || m == 0 || a.dimension != b.dimension) return {};
    std::vector<float> x(dimension);
    RowDistances row(x, b);
    // Each cell's least total, and the steps of the path that reaches it.
    std::vector<double> previous(m), current(m);
    std::vector<WarpingSteps> previousSteps(m), currentSteps(m);
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t d = 0; d < dimension; ++d) x[d] = a.values[Position(i, d, dimension)];
        row.Compute(0, m);
        for (std::size_t j = 0; j < m; ++j) {
            const double distance = row.Distance(j);
            if (i == 0 && j == 0) {
                current[j] = 2.0 * distance;
                currentSteps[j] = {};
                continue;
            }
            // Diagonal first, then down a column, then along the row: ties go
            // to the earlier.
            double best = kInfinity;
            WarpingSteps steps;
            if (i > 0 && j > 0 && previous[j - 1] + 2.0 * distance < best) {
                best = previous[j - 1] + 2.0 * distance;
                steps = {previousSteps[j - 1].all + 1, previousSteps[j - 1].diagonal + 1};
            }
            if (i > 0 && previous[j] + distance < best) {
                best = previous[j] + distance;
                steps = {previousSteps[j].all + 1, previousSteps[j].diagonal};
            }
            if (j > 0 && current[j - 1] + distance < best) {
                best = current[j - 1] + distance;
                steps = {currentSteps[j - 1].all + 1, currentSteps[j - 1].diagonal};
            }
            current[j] = best;
            currentSteps[j] = steps;
        }
        std::swap(previous, current);
        std::swap(previousSteps, currentSteps);
    }
    return previousSteps[m - 1];
}

}  // namespace speech
