#pragma once
// Where the speech lies in a recording: the frames whose log energy stands
// clearly above the recording's background level.

#include <cstdint>

#include "features/feature_file.h"

namespace speech {

// Index of the log-energy value in a frame of the feature layout.
constexpr std::uint32_t kEnergyIndex = 12;

struct FrameSpan {
    std::uint32_t begin = 0;
    std::uint32_t end = 0;  // one past the last frame
};

// The span from the first to the last loud frame; the whole recording when
// it has no energy value or no frame stands out.
FrameSpan DetectSpeech(const FeatureMatrix& features);

}  // namespace speech
