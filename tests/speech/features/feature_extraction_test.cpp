// The feature computation checked against values and properties worked out
// independently of the extractor's own code.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "features/feature_extractor.h"
#include "speech/support/feature_test_signals.h"
#include "speech/support/speech_test_support.h"

using namespace speech;
using namespace speech_test;

namespace {

double Mel(double hertz) { return 1127.0 * std::log(1.0 + hertz / 700.0); }

// Static features of one 220-sample frame, computed the slow way: a direct
// DFT, triangles evaluated per frequency, and the DCT and lifter formulas.
std::vector<double> ReferenceStatics(const std::int16_t* frame) {
    const int window = 220, size = 256, filters = 22, cepstra = 12;
    double mean = 0.0;
    for (int i = 0; i < window; ++i) mean += frame[i];
    mean /= window;
    std::vector<double> x(window);
    double energy = 0.0;
    for (int i = 0; i < window; ++i) {
        x[i] = frame[i] - mean;
        energy += x[i] * x[i];
    }
    std::vector<double> emphasised(size, 0.0);
    for (int i = 0; i < window; ++i) {
        const double value = i == 0 ? x[0] * (1 - 0.97) : x[i] - 0.97 * x[i - 1];
        emphasised[i] = value * (0.54 - 0.46 * std::cos(2 * std::numbers::pi * i / (window - 1)));
    }
    const double melTop = Mel(kRate / 2);
    std::vector<double> bands(filters, 0.0);
    for (int bin = 0; bin <= size / 2; ++bin) {
        double re = 0.0, im = 0.0;
        for (int i = 0; i < size; ++i) {
            re += emphasised[i] * std::cos(2 * std::numbers::pi * bin * i / size);
            im -= emphasised[i] * std::sin(2 * std::numbers::pi * bin * i / size);
        }
        const double m = Mel(bin * kRate / size);
        for (int k = 1; k <= filters; ++k) {
            const double low = melTop * (k - 1) / (filters + 1), centre = melTop * k / (filters + 1),
                         high = melTop * (k + 1) / (filters + 1);
            double weight = 0.0;
            if (m >= low && m <= centre) weight = (m - low) / (centre - low);
            if (m > centre && m < high) weight = (high - m) / (high - centre);
            bands[k - 1] += weight * (re * re + im * im);
        }
    }
    std::vector<double> statics;
    for (int i = 1; i <= cepstra; ++i) {
        double c = 0.0;
        for (int k = 0; k < filters; ++k)
            c += std::log(std::max(bands[k], 1.0)) * std::cos(std::numbers::pi * i * (k + 0.5) / filters);
        statics.push_back(c * std::sqrt(2.0 / filters) * (1 + 18 * std::sin(std::numbers::pi * i / 36)));
    }
    statics.push_back(std::log(energy));
    return statics;
}

}  // namespace

TEST(FeatureExtraction, StaticsMatchAnIndependentSlowComputation) {
    FeatureOptions options;
    options.zeroMean = options.energy = true;
    FeatureExtractor extractor(options);
    std::vector<std::int16_t> signal = Noise(550, 2000, 3);
    const auto tone = Tone(550, 440, 5000, 300);
    for (std::size_t i = 0; i < signal.size(); ++i) signal[i] = static_cast<std::int16_t>(signal[i] + tone[i]);
    FeatureMatrix features;
    ASSERT_TRUE(extractor.Extract(signal, features));
    ASSERT_EQ(features.dimension, 13u);
    for (std::uint32_t t = 0; t < features.frameCount; ++t) {
        const std::vector<double> expected = ReferenceStatics(signal.data() + t * 110);
        for (std::uint32_t d = 0; d < 13; ++d)
            EXPECT_NEAR(features.Frame(t)[d], expected[d], 2e-3 * std::max(1.0, std::fabs(expected[d])))
                << t << " " << d;
    }
}

// With the application's options: every cepstrum averages zero over the
// recording, and the energy is normalised to the loudest frame.
TEST(FeatureExtraction, ZeroMeanCepstraAndEnergyNormalisedToTheLoudestFrameWithA50DbFloor) {
    FeatureExtractor extractor(SystemOptions());
    // Loud tone, the same tone at half amplitude (6 dB down), then silence.
    std::vector<std::int16_t> signal = Tone(2200, 500, 8000);
    const auto quiet = Tone(2200, 500, 4000);
    signal.insert(signal.end(), quiet.begin(), quiet.end());
    signal.insert(signal.end(), 2200, 0);
    FeatureMatrix features;
    ASSERT_TRUE(extractor.Extract(signal, features));
    EXPECT_NEAR(features.Frame(5)[12], 1.0, 1e-3);
    EXPECT_NEAR(features.Frame(25)[12], 1.0 - 0.1 * std::log(4.0), 1e-3);
    EXPECT_NEAR(features.Frame(features.frameCount - 3)[12], 1.0 - 0.5 * std::numbers::ln10, 1e-5);
    for (std::uint32_t d = 0; d < 12; ++d) {
        double sum = 0.0, magnitude = 0.0;
        for (std::uint32_t t = 0; t < features.frameCount; ++t) {
            sum += features.Frame(t)[d];
            magnitude += std::fabs(features.Frame(t)[d]);
        }
        EXPECT_LT(std::fabs(sum), 1e-5 * magnitude + 1e-6) << d;
    }
}

TEST(FeatureExtraction, DeltasOfARampAreItsSlopeAndAccelerationsVanish) {
    const std::uint32_t frames = 12;
    std::vector<float> values;
    for (std::uint32_t t = 0; t < frames; ++t) {
        values.push_back(0.5f * t);
        values.push_back(-3.0f * t + 7);
    }
    std::uint32_t dimension = 2;
    AppendDeltas(values, frames, dimension, 0, 2, 2);
    AppendDeltas(values, frames, dimension, 2, 2, 2);
    ASSERT_EQ(dimension, 6u);
    for (std::uint32_t t = 2; t + 2 < frames; ++t) {
        EXPECT_FLOAT_EQ(values[t * 6 + 2], 0.5f) << t;
        EXPECT_FLOAT_EQ(values[t * 6 + 3], -3.0f) << t;
    }
    for (std::uint32_t t = 4; t + 4 < frames; ++t) EXPECT_NEAR(values[t * 6 + 4], 0.0f, 1e-6) << t;
    // Edge frames repeat the first and last frame: at frame 0 the window sees
    // 0, 0 | 0.5, 1.0, so the delta is (1*0.5 + 2*1.0) / 10.
    EXPECT_FLOAT_EQ(values[2], 0.25f);
}
