// Digital-silence padding removed from the ends of a recording's features.

#include <gtest/gtest.h>

#include <random>

#include "features/digital_silence.h"

namespace {

constexpr std::uint32_t kDimension = 39;

// `lead` identical frames, `speech` random ones, `trail` identical frames.
speech::FeatureMatrix Padded(std::uint32_t lead, std::uint32_t speech, std::uint32_t trail) {
    std::mt19937 random(3);
    std::normal_distribution<float> value(2.0f, 1.0f);
    speech::FeatureMatrix features;
    features.dimension = kDimension;
    auto frame = [&](float constant) {
        for (std::uint32_t d = 0; d < kDimension; ++d)
            features.values.push_back(constant != 0.0f ? constant : value(random));
        ++features.frameCount;
    };
    for (std::uint32_t t = 0; t < lead; ++t) frame(-0.25f);
    for (std::uint32_t t = 0; t < speech; ++t) frame(0.0f);
    for (std::uint32_t t = 0; t < trail; ++t) frame(-0.5f);
    return features;
}

TEST(DigitalSilence, PaddingAtBothEndsIsRemoved) {
    auto features = Padded(3, 6, 40);
    const std::vector<float> speech(features.values.begin() + 3 * kDimension, features.values.begin() + 9 * kDimension);
    speech::RemoveDigitalSilence(features);
    ASSERT_EQ(features.frameCount, 6u);
    EXPECT_EQ(features.values, speech);
}

TEST(DigitalSilence, ShortRunsAndRecordingsWithoutSpeechAreLeftAlone) {
    auto features = Padded(2, 6, 2);
    const auto before = features.values;
    speech::RemoveDigitalSilence(features);
    EXPECT_EQ(features.values, before);

    auto silent = Padded(0, 0, 30);
    speech::RemoveDigitalSilence(silent);
    EXPECT_EQ(silent.frameCount, 30u);
}

}  // namespace
