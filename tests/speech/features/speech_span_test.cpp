// Speech detection on the engine's own 39-value features of a recording
// whose word lies at a known place between stretches of background noise.

#include <gtest/gtest.h>

#include "features/feature_normalization.h"
#include "speech/support/feature_test_signals.h"

namespace {

// Frames of 220 samples every 110 (20 and 10 ms at 11025 Hz).
constexpr std::uint32_t kWindow = 220, kShift = 110;

// Faint noise with a loud 1 kHz tone over samples [begin, end).
std::vector<std::int16_t> ToneBurstInNoise(std::size_t length, std::size_t begin, std::size_t end) {
    std::vector<std::int16_t> samples = speech_test::Noise(length, 30.0, 5);
    const std::vector<std::int16_t> tone = speech_test::Tone(end - begin, 1000, 8000);
    for (std::size_t i = begin; i < end; ++i) samples[i] = static_cast<std::int16_t>(samples[i] + tone[i - begin]);
    return samples;
}

TEST(SpeechDetection, FindsTheWordWithAMarginOfFourFramesAndNeedsAnEnergyValue) {
    // The tone starts inside frame 29 (samples 3190-3409) and ends inside
    // frame 70 (samples 7700-7919): the span is frames 29 to 70 widened by 4.
    const std::size_t begin = kShift * 30 + 55, end = kShift * 70 + 20;
    const auto samples = ToneBurstInNoise(kShift * 100 + kWindow, begin, end);
    speech::FeatureMatrix features;
    ASSERT_TRUE(speech::FeatureExtractor(speech_test::SystemOptions()).Extract(samples, features));
    ASSERT_EQ(features.dimension, 39u);
    speech::FrameSpan span;
    std::string error;
    ASSERT_TRUE(speech::PrepareRecordingFeatures(features, span, error)) << error;
    EXPECT_EQ(span.begin, 29u - 4u);
    EXPECT_EQ(span.end, 70u + 1u + 4u);

    speech::FeatureOptions withoutEnergy = speech_test::SystemOptions();
    withoutEnergy.energy = withoutEnergy.energyNormalise = false;
    ASSERT_TRUE(speech::FeatureExtractor(withoutEnergy).Extract(samples, features));
    EXPECT_FALSE(speech::PrepareRecordingFeatures(features, span, error));
    EXPECT_NE(error.find("no energy value"), std::string::npos) << error;
}

}  // namespace
