#include "features/speed_perturbation.h"

#include <algorithm>
#include <cmath>

namespace speech {
namespace {

// The static values (cepstra and energy) of `features` at `frames` frames
// spread evenly over its duration, each interpolated linearly between the
// two nearest frames.
std::vector<float> ResampledStatics(const FeatureMatrix& features, std::uint32_t statics, std::uint32_t frames,
                                    double factor) {
    std::vector<float> values(std::size_t(frames) * statics);
    const std::uint32_t last = features.frameCount - 1;
    for (std::uint32_t t = 0; t < frames; ++t) {
        const double position = std::min(double(last), t * factor);
        const auto before = static_cast<std::uint32_t>(position);
        const std::uint32_t after = std::min(before + 1, last);
        const double share = position - before;
        for (std::uint32_t d = 0; d < statics; ++d) {
            const double a = features.Frame(before)[d], b = features.Frame(after)[d];
            values[std::size_t(t) * statics + d] = static_cast<float>(a + share * (b - a));
        }
    }
    return values;
}

// Scales the spectrum behind the cepstra at values[0..cepstra) of every
// frame by `factor` along the frequency axis. Recovering the log filterbank
// (the inverse transform, lifter undone), resampling it and transforming it
// back are all linear, so each frame's new cepstra are one matrix times its
// old ones.
void WarpCepstra(std::vector<float>& values, std::uint32_t statics, double factor, const FeatureOptions& extraction) {
    const std::uint32_t cepstra = extraction.cepstrumCount, filters = extraction.filterCount;
    const std::vector<double> dct = CepstrumMatrix(extraction);
    const std::vector<double> lifter = LifterWeights(extraction);
    // Filter k of the copy sees the frequency that filter `source` (a
    // fractional filter index) saw in the original: `warp[i * cepstra + j]`
    // is what cepstrum j of the original gives cepstrum i of the copy.
    const double spacing = FilterSpacingMel(extraction);
    std::vector<double> warp(std::size_t(cepstra) * cepstra, 0.0);
    for (std::uint32_t k = 0; k < filters; ++k) {
        const double source =
            std::clamp(Mel(HertzOfMel((k + 1) * spacing) / factor) / spacing - 1.0, 0.0, double(filters - 1));
        const auto below = static_cast<std::uint32_t>(source);
        const std::uint32_t above = std::min(below + 1, filters - 1);
        const double share = source - below;
        for (std::uint32_t j = 0; j < cepstra; ++j) {
            const double band = ((1.0 - share) * dct[std::size_t(j) * filters + below] +
                                 share * dct[std::size_t(j) * filters + above]) /
                                (lifter[j] * lifter[j]);
            for (std::uint32_t i = 0; i < cepstra; ++i)
                warp[std::size_t(i) * cepstra + j] += dct[std::size_t(i) * filters + k] * band;
        }
    }
    std::vector<double> original(cepstra);
    for (std::size_t frame = 0; frame < values.size() / statics; ++frame) {
        float* cepstrum = values.data() + frame * statics;
        std::copy(cepstrum, cepstrum + cepstra, original.begin());
        for (std::uint32_t i = 0; i < cepstra; ++i) {
            double sum = 0.0;
            for (std::uint32_t j = 0; j < cepstra; ++j) sum += warp[std::size_t(i) * cepstra + j] * original[j];
            cepstrum[i] = static_cast<float>(sum);
        }
    }
}

}  // namespace

bool SpeedPerturbedFeatures(const FeatureMatrix& features, double factor, const FeatureOptions& extraction,
                            FeatureMatrix& copy) {
    const std::uint32_t statics = extraction.cepstrumCount + 1;
    if (!(factor > 0.0) || features.frameCount == 0 || features.dimension != 3 * statics ||
        features.energyIndex != extraction.cepstrumCount ||
        features.values.size() != std::size_t(features.frameCount) * features.dimension)
        return false;
    const double frames = std::max(1.0, std::round(features.frameCount / factor));
    if (!(frames < double(UINT32_MAX))) return false;
    const auto frameCount = static_cast<std::uint32_t>(frames);
    std::vector<float> values = ResampledStatics(features, statics, frameCount, factor);
    WarpCepstra(values, statics, factor, extraction);
    std::uint32_t dimension = statics;
    AppendDeltas(values, frameCount, dimension, 0, statics, extraction.deltaWindow);
    AppendDeltas(values, frameCount, dimension, statics, statics, extraction.deltaWindow);
    copy = features;
    copy.frameCount = frameCount;
    copy.values = std::move(values);
    return true;
}

}  // namespace speech
