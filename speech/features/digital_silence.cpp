#include "features/digital_silence.h"

#include <cstring>

namespace speech {
namespace {

// Runs shorter than this are not taken for padding.
constexpr std::uint32_t kMinimumRun = 3;

bool SameStatics(const FeatureMatrix& features, std::uint32_t a, std::uint32_t b, std::uint32_t statics) {
    return std::memcmp(features.Frame(a), features.Frame(b), statics * sizeof(float)) == 0;
}

}  // namespace

FrameSpan RemoveDigitalSilence(FeatureMatrix& features) {
    const std::uint32_t frames = features.frameCount;
    // The statics end with the energy; without one, whole frames are compared.
    const std::uint32_t statics = features.energyIndex ? *features.energyIndex + 1 : features.dimension;
    if (frames == 0 || statics == 0) return {0, frames};
    std::uint32_t begin = 0, end = frames;
    while (begin + 1 < frames && SameStatics(features, begin + 1, 0, statics)) ++begin;
    begin = begin + 1 >= kMinimumRun ? begin + 1 : 0;
    while (end > 1 && SameStatics(features, end - 2, frames - 1, statics)) --end;
    end = frames - end + 1 >= kMinimumRun ? end - 1 : frames;
    if (end <= begin || (begin == 0 && end == frames)) return {0, frames};

    const std::uint32_t dimension = features.dimension;
    std::vector<float> kept(features.values.begin() + std::ptrdiff_t(std::size_t(begin) * dimension),
                            features.values.begin() + std::ptrdiff_t(std::size_t(end) * dimension));
    features.values = std::move(kept);
    features.frameCount = end - begin;
    return {begin, end};
}

}  // namespace speech
