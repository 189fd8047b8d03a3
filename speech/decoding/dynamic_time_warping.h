#pragma once
// Distance between two recordings of a word by dynamic time warping.

#include <vector>

#include "features/feature_file.h"

namespace speech {

// Average local distance along the best warping path between `a` and `b`
// (symmetric steps, diagonal steps counting twice), each feature value
// multiplied by its entry of `scales` first. Infinity when either is empty.
double WarpingDistance(const FeatureMatrix& a, const FeatureMatrix& b, const std::vector<float>& scales);

}  // namespace speech
