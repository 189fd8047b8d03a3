#pragma once
// Distance between two recordings of a word by dynamic time warping.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "features/feature_file.h"

namespace speech {

// A recording as the warping reads it: each feature value multiplied by its
// scale, the frames stored in blocks of kBlockFrames, value-major within a
// block (value d of the block's frames together), so that the distances of
// one frame to a block of frames are summed over contiguous memory in a
// loop the compiler vectorises. The last block is padded with zeros.
// Templates are scaled once and warped against recording after recording.
struct ScaledFrames {
    static constexpr std::size_t kBlockFrames = 8;
    std::uint32_t frameCount = 0;
    std::uint32_t dimension = 0;
    // Value d of frame t at (t / kBlockFrames * dimension + d) * kBlockFrames + t % kBlockFrames.
    std::vector<float> values;
};

// `frames` scaled by `scales`; no frames when `scales` does not have one
// entry per feature value.
ScaledFrames ScaleFrames(const FeatureMatrix& frames, const std::vector<float>& scales);

// Average local distance along the best warping path between `a` and `b`
// (symmetric steps, diagonal steps counting twice). Infinity when either is
// empty or their dimensions differ. Only the cells that can still lie on a
// path at or below `abandonAbove` are computed, and once every path is sure
// to come out above it, the warping stops and returns a lower bound of the
// distance that already exceeds `abandonAbove`; at or below it, the
// distance is exact.
double WarpingDistance(const ScaledFrames& a, const ScaledFrames& b,
                       double abandonAbove = std::numeric_limits<double>::infinity());

// The steps of the best warping path between `a` and `b` (the path
// WarpingDistance measures; where two ways into a frame pair are equally
// good, the diagonal step wins, then the step down a column): all of them,
// and those that move on one frame in both recordings at once. A take of the
// same word pairs its frames off with the template's mostly one to one;
// another word has to be stretched and squeezed to fit, and its path runs
// along a row or a column for much of its length. No steps when either is
// empty or their dimensions differ.
struct WarpingSteps {
    std::uint32_t all = 0;
    std::uint32_t diagonal = 0;
};
WarpingSteps BestWarpingSteps(const ScaledFrames& a, const ScaledFrames& b);

}  // namespace speech
