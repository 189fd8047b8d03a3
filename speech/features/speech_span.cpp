#include "features/speech_span.h"

#include <algorithm>
#include <vector>

namespace speech {
namespace {

// Share of the range between background and loudest frame that a frame's
// energy must pass to count as speech, and frames added on either side.
constexpr float kThresholdShare = 0.3f;
constexpr std::uint32_t kMargin = 4;

}  // namespace

FrameSpan DetectSpeech(const FeatureMatrix& features) {
    FrameSpan whole{0, features.frameCount};
    if (features.dimension <= kEnergyIndex || features.frameCount < 4) return whole;
    std::vector<float> energy(features.frameCount);
    for (std::uint32_t t = 0; t < features.frameCount; ++t) energy[t] = features.Frame(t)[kEnergyIndex];
    std::vector<float> sorted = energy;
    std::sort(sorted.begin(), sorted.end());
    const float background = sorted[sorted.size() / 10];
    const float loudest = sorted.back();
    const float threshold = background + kThresholdShare * (loudest - background);
    std::uint32_t first = features.frameCount, last = 0;
    for (std::uint32_t t = 0; t < features.frameCount; ++t) {
        if (energy[t] <= threshold) continue;
        first = std::min(first, t);
        last = t;
    }
    if (first > last) return whole;
    return {first > kMargin ? first - kMargin : 0, std::min(features.frameCount, last + 1 + kMargin)};
}

}  // namespace speech
