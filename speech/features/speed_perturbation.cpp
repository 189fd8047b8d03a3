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
// frame by `factor` along the frequency axis.
void WarpCepstra(std::vector<float>& values, std::uint32_t statics, double factor, const FeatureOptions& extraction) {
    const std::uint32_t cepstra = extraction.cepstrumCount, filters = extraction.filterCount;
    const std::vector<double> dct = CepstrumMatrix(extraction);
    const std::vector<double> lifter = LifterWeights(extraction);
    // Filter k of the copy sees the frequency that filter `source[k]` (a
    // fractional filter index) saw in the original.
    const double spacing = FilterSpacingMel(extraction);
    std::vector<double> source(filters);
    for (std::uint32_t k = 0; k < filters; ++k)
        source[k] = std::clamp(Mel(HertzOfMel((k + 1) * spacing) / factor) / spacing - 1.0, 0.0, double(filters - 1));
    std::vector<double> bands(filters);
    for (std::size_t frame = 0; frame < values.size() / statics; ++frame) {
        float* cepstrum = values.data() + frame * statics;
        for (std::uint32_t k = 0; k < filters; ++k) {
            double sum = 0.0;
            for (std::uint32_t i = 0; i < cepstra; ++i)
                sum += dct[std::size_t(i) * filters + k] * cepstrum[i] / (lifter[i] * lifter[i]);
            bands[k] = sum;
        }
        for (std::uint32_t i = 0; i < cepstra; ++i) {
            double sum = 0.0;
            for (std::uint32_t k = 0; k < filters; ++k) {
                const auto below = static_cast<std::uint32_t>(source[k]);
                const std::uint32_t above = std::min(below + 1, filters - 1);
                const double share = source[k] - below;
                sum += dct[std::size_t(i) * filters + k] * (bands[below] + share * (bands[above] - bands[below]));
            }
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
