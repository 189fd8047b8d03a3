#pragma once
// Distance between two recordings of a word by dynamic time warping.

#include <limits>
#include <vector>

#include "features/feature_file.h"

namespace speech {

// Average local distance along the best warping path between `a` and `b`
// (symmetric steps, diagonal steps counting twice), each feature value
// multiplied by its entry of `scales` first. Infinity when either is empty.
// Only the cells that can still lie on a path at or below `abandonAbove`
// are computed, and once every path is sure to come out above it, the
// warping stops and returns a lower bound of the distance that already
// exceeds `abandonAbove`; at or below it, the distance is exact.
double WarpingDistance(const FeatureMatrix& a, const FeatureMatrix& b, const std::vector<float>& scales,
                       double abandonAbove = std::numeric_limits<double>::infinity());

}  // namespace speech
