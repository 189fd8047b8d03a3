#include "decoding/dynamic_time_warping.h"

#include <algorithm>
#include <cmath>

namespace speech {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// The limit on a path's total is raised by this share of itself, so that
// the rounding of the average cannot turn a distance at the limit into one
// above it: a distance at or below `abandonAbove` stays exact.
constexpr double kLimitSlack = 1e-9;
// Columns whose local distances are computed together when a row runs on
// past the columns under the previous row's live cells.
constexpr std::size_t kColumnBlock = 8;

// The frames of `b`, each value multiplied by its scale, stored value-major
// (all frames' value d together), so that the distances of one frame to a
// run of frames are summed over contiguous arrays, a loop the compiler
// vectorises.
std::vector<float> ScaledValueMajor(const FeatureMatrix& b, const std::vector<float>& scales) {
    const std::size_t m = b.frameCount, dimension = b.dimension;
    std::vector<float> y(dimension * m);
    for (std::size_t j = 0; j < m; ++j)
        for (std::size_t d = 0; d < dimension; ++d) y[d * m + j] = b.values[j * dimension + d] * scales[d];
    return y;
}

// One row of the warping: the frame `x` of the first recording against the
// value-major frames `y` of the second (`columns` of them).
class RowDistances {
public:
    RowDistances(const std::vector<float>& x, const std::vector<float>& y, std::size_t columns)
        : x_(x), y_(y), columns_(columns), squared_(columns), distances_(columns) {}

    // The distances of `x` to the frames [first, last) of `y`, into
    // Distance(j). The squares are summed value by value in the same order
    // for every column, so a distance does not depend on which columns are
    // computed together.
    void Compute(std::size_t first, std::size_t last) {
        float* squared = squared_.data();
        std::fill(squared + first, squared + last, 0.0f);
        for (std::size_t d = 0; d < x_.size(); ++d) {
            const float value = x_[d];
            const float* row = &y_[d * columns_];
            for (std::size_t j = first; j < last; ++j) {
                const float difference = value - row[j];
                squared[j] += difference * difference;
            }
        }
        for (std::size_t j = first; j < last; ++j) distances_[j] = std::sqrt(squared[j]);
    }

    double Distance(std::size_t j) const { return distances_[j]; }

private:
    const std::vector<float>& x_;
    const std::vector<float>& y_;
    std::size_t columns_;
    std::vector<float> squared_;
    std::vector<double> distances_;
};

}  // namespace

double WarpingDistance(const FeatureMatrix& a, const FeatureMatrix& b, const std::vector<float>& scales,
                       double abandonAbove) {
    const std::size_t n = a.frameCount, m = b.frameCount, dimension = a.dimension;
    if (n == 0 || m == 0 || a.dimension != b.dimension || scales.size() != dimension) return kInfinity;
    const std::vector<float> y = ScaledValueMajor(b, scales);
    std::vector<float> x(dimension);
    RowDistances row(x, y, m);
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
        for (std::size_t d = 0; d < dimension; ++d) x[d] = a.values[i * dimension + d] * scales[d];
        const std::size_t first = i == 0 ? 0 : liveBegin;
        std::size_t computed = i == 0 ? std::min(m, kColumnBlock) : std::min(m, liveEnd + 1);
        row.Compute(first, computed);
        std::size_t newBegin = m, newEnd = 0;
        std::size_t j = first;
        for (; j < m; ++j) {
            // Past the columns under the previous row's live cells, only a
            // live cell to the left leads on.
            if (j >= (i == 0 ? 1 : liveEnd + 1) && above(current[j - 1])) break;
            if (j == computed) {
                const std::size_t next = std::min(m, computed + kColumnBlock);
                row.Compute(computed, next);
                computed = next;
            }
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

}  // namespace speech
