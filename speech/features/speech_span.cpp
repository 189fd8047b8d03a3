#include "features/speech_span.h"

#include <algorithm>
#include <vector>

namespace speech {
namespace {

// The background level is the energy at this percentile of the frames; a
// frame counts as speech when its energy passes kThresholdShare of the way
// from the background to the loudest frame. kMargin frames are added on
// either side, so that weak onsets and endings stay in the word.
constexpr std::size_t kBackgroundPercentile = 10;
constexpr float kThresholdShare = 0.3f;
constexpr std::uint32_t kMargin = 4;
// Pauses inside a word (before a stop's burst, between syllables) are
// shorter than this many frames; a click or a burst of noise further from the
// word is not part of it.
constexpr std::uint32_t kLongestPause = 25;

}  // namespace

bool DetectSpeech(const FeatureMatrix& features, FrameSpan& span, std::string& error) {
    if (!features.energyIndex) {
        error = "the features carry no energy value, which finding the speech needs (extract them with -energy)";
        return false;
    }
    span = {0, features.frameCount};
    if (features.frameCount < 4) return true;
    std::vector<float> energy(features.frameCount);
    for (std::uint32_t t = 0; t < features.frameCount; ++t) energy[t] = features.Frame(t)[*features.energyIndex];
    std::vector<float> sorted = energy;
    std::sort(sorted.begin(), sorted.end());
    const float background = sorted[sorted.size() * kBackgroundPercentile / 100];
    const float loudest = sorted.back();
    const float threshold = background + kThresholdShare * (loudest - background);
    // Loud frames at most kLongestPause apart belong to one stretch; the
    // stretch whose loud frames carry the most energy is the word.
    std::uint32_t first = 0, last = 0, bestFirst = 1, bestLast = 0;
    double sum = 0.0, best = -1.0;
    bool inStretch = false;
    for (std::uint32_t t = 0; t < features.frameCount; ++t) {
        if (energy[t] <= threshold) continue;
        if (!inStretch || t - last > kLongestPause) {
            first = t;
            sum = 0.0;
            inStretch = true;
        }
        last = t;
        sum += energy[t] - background;
        if (sum > best) {
            best = sum;
            bestFirst = first;
            bestLast = last;
        }
    }
    if (bestFirst <= bestLast)
        span = {bestFirst > kMargin ? bestFirst - kMargin : 0, std::min(features.frameCount, bestLast + 1 + kMargin)};
    return true;
}

}  // namespace speech
