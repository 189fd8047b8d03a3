// Speed-perturbed copies of a take's features, checked against the features
// of takes that really are faster or slower.

#include "features/speed_perturbation.h"

#include <cmath>

#include "speech/support/feature_test_signals.h"
#include "speech/support/speech_test_support.h"

using namespace speech;
using namespace speech_test;

namespace {

FeatureMatrix Features(const std::vector<std::int16_t>& samples) {
    FeatureExtractor extractor(SystemOptions());
    FeatureMatrix features;
    EXPECT_TRUE(extractor.Extract(samples, features));
    return features;
}

// A tone between two stretches of silence: the cepstral mean subtraction
// leaves the tone's spectrum in its frames.
FeatureMatrix ToneTake(double hertz) {
    std::vector<std::int16_t> samples(2000, 0);
    const auto tone = Tone(4000, hertz, 6000);
    samples.insert(samples.end(), tone.begin(), tone.end());
    samples.resize(samples.size() + 2000, 0);
    return Features(samples);
}

// Mean cepstra of the middle fifth of a recording, where the tone is steady.
std::vector<double> MiddleCepstra(const FeatureMatrix& features) {
    const std::uint32_t cepstra = SystemOptions().cepstrumCount;
    std::vector<double> mean(cepstra, 0.0);
    const std::uint32_t first = features.frameCount * 2 / 5, end = features.frameCount * 3 / 5;
    for (std::uint32_t t = first; t < end; ++t)
        for (std::uint32_t d = 0; d < cepstra; ++d) mean[d] += features.Frame(t)[d] / double(end - first);
    return mean;
}

double Distance(const std::vector<double>& a, const std::vector<double>& b) {
    double sum = 0.0;
    for (std::size_t d = 0; d < a.size(); ++d) sum += (a[d] - b[d]) * (a[d] - b[d]);
    return std::sqrt(sum);
}

}  // namespace

// A copy at speed f of a tone at F lasts 1/f as long and lies nearer the
// features of a tone at f * F than to those of the tone itself; at speed one
// it is the take itself.
TEST(SpeedPerturbation, ScalesDurationAndFrequenciesByTheFactor) {
    const double hertz = 1500.0;
    const FeatureMatrix take = ToneTake(hertz);
    for (const double factor : {1.0, 0.8, 1.2}) {
        FeatureMatrix copy;
        ASSERT_TRUE(SpeedPerturbedFeatures(take, factor, SystemOptions(), copy));
        ASSERT_LE(std::abs(copy.frameCount - take.frameCount / factor), 0.5) << factor;
        ASSERT_EQ(copy.dimension, take.dimension);
        EXPECT_EQ(copy.energyIndex, take.energyIndex);
        if (factor == 1.0) {
            for (std::size_t i = 0; i < take.values.size(); ++i) ASSERT_NEAR(copy.values[i], take.values[i], 1e-3) << i;
            continue;
        }
        const std::vector<double> spokenSo = MiddleCepstra(ToneTake(hertz * factor));
        EXPECT_LT(Distance(MiddleCepstra(copy), spokenSo), 0.5 * Distance(MiddleCepstra(take), spokenSo)) << factor;
    }
}

TEST(SpeedPerturbation, RefusesFeaturesOfAnotherLayout) {
    FeatureMatrix take = Features(Tone(3000, 700, 6000)), copy;
    take.energyIndex.reset();
    EXPECT_FALSE(SpeedPerturbedFeatures(take, 1.15, SystemOptions(), copy));
    FeatureOptions staticsOnly = SystemOptions();
    staticsOnly.deltas = staticsOnly.accelerations = false;
    FeatureExtractor extractor(staticsOnly);
    ASSERT_TRUE(extractor.Extract(Tone(3000, 700, 6000), take));
    EXPECT_FALSE(SpeedPerturbedFeatures(take, 1.15, SystemOptions(), copy));
    EXPECT_EQ(copy.frameCount, 0u);
}
