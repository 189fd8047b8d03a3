#pragma once
// Where the speech lies in a recording: the frames whose log energy stands
// clearly above the recording's background level.

#include <cstdint>
#include <string>

#include "features/feature_file.h"

namespace speech {

struct FrameSpan {
    std::uint32_t begin = 0;
    std::uint32_t end = 0;  // one past the last frame
};

// The stretch of loud frames, joined across short pauses, that carries the
// most energy, widened by a few frames; the whole recording when no frame
// stands out. False with `error` set when
// the features carry no energy value to find the speech by.
bool DetectSpeech(const FeatureMatrix& features, FrameSpan& span, std::string& error);

}  // namespace speech
