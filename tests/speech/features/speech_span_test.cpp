// Speech detection on the engine's own 39-value features of a recording
// whose word lies at a known place between stretches of background noise.

#include <gtest/gtest.h>

#include "features/feature_normalization.h"
#include "features/louder_noise.h"
#include "speech/support/feature_test_signals.h"

namespace {

// Frames of 220 samples every 110 (20 and 10 ms at 11025 Hz).
constexpr std::uint32_t kWindow = 220, kShift = 110;

// Adds a loud 1 kHz tone over samples [begin, end).
void AddTone(std::vector<std::int16_t>& samples, std::size_t begin, std::size_t end) {
    const std::vector<std::int16_t> tone = speech_test::Tone(end - begin, 1000, 8000);
    for (std::size_t i = begin; i < end; ++i) samples[i] = static_cast<std::int16_t>(samples[i] + tone[i - begin]);
}

// Faint noise with a loud 1 kHz tone over samples [begin, end).
std::vector<std::int16_t> ToneBurstInNoise(std::size_t length, std::size_t begin, std::size_t end) {
    std::vector<std::int16_t> samples = speech_test::Noise(length, 30.0, 5);
    AddTone(samples, begin, end);
    return samples;
}

speech::FeatureMatrix Features(const std::vector<std::int16_t>& samples) {
    speech::FeatureMatrix features;
    EXPECT_TRUE(speech::FeatureExtractor(speech_test::SystemOptions()).Extract(samples, features));
    return features;
}

TEST(SpeechDetection, FindsTheWordWithAMarginOfFourFramesAndNeedsAnEnergyValue) {
    // The tone starts inside frame 29 (samples 3190-3409) and ends inside
    // frame 70 (samples 7700-7919): the span is frames 29 to 70 widened by 4.
    const std::size_t begin = kShift * 30 + 55, end = kShift * 70 + 20;
    const auto samples = ToneBurstInNoise(kShift * 100 + kWindow, begin, end);
    speech::FeatureMatrix features;
    ASSERT_TRUE(speech::FeatureExtractor(speech_test::SystemOptions()).Extract(samples, features));
    ASSERT_EQ(features.dimension, 39u);
    speech::FrameSpan kept, span;
    std::string error;
    ASSERT_TRUE(speech::PrepareRecordingFeatures(features, kept, span, error)) << error;
    EXPECT_EQ(span.begin, 29u - 4u);
    EXPECT_EQ(span.end, 70u + 1u + 4u);

    speech::FeatureOptions withoutEnergy = speech_test::SystemOptions();
    withoutEnergy.energy = withoutEnergy.energyNormalise = false;
    ASSERT_TRUE(speech::FeatureExtractor(withoutEnergy).Extract(samples, features));
    EXPECT_FALSE(speech::PrepareRecordingFeatures(features, kept, span, error));
    EXPECT_NE(error.find("no energy value"), std::string::npos) << error;
}

// A word of two syllables 14 frames apart is one span; a click 50 frames
// after it is not part of it, though it is as loud.
TEST(SpeechDetection, JoinsTheWordAcrossAPauseAndLeavesOutAClickAwayFromIt) {
    std::vector<std::int16_t> samples = ToneBurstInNoise(kShift * 200 + kWindow, kShift * 30, kShift * 45);
    AddTone(samples, kShift * 60, kShift * 75);
    AddTone(samples, kShift * 125, kShift * 128);
    speech::FeatureMatrix features = Features(samples);
    speech::FrameSpan kept, span;
    std::string error;
    ASSERT_TRUE(speech::PrepareRecordingFeatures(features, kept, span, error)) << error;
    EXPECT_GE(span.begin, 29u - 4u);
    EXPECT_LE(span.begin, 30u - 4u);
    EXPECT_GE(span.end, 75u + 4u);
    EXPECT_LE(span.end, 76u + 4u);
}

// A take padded with zeros and its noisier copy keep the same frames, and the
// copy's noise does not reach into the padding; a copy of another length is
// refused.
TEST(SpeechDetection, CutsACopyWhereItsRecordingIsCut) {
    std::vector<std::int16_t> take = ToneBurstInNoise(kShift * 100 + kWindow, kShift * 30, kShift * 70);
    take.resize(take.size() + 5000, 0);
    speech::FeatureMatrix recording = Features(take), copy = Features(speech::WithLouderNoise(take));
    const std::uint32_t frames = recording.frameCount;
    speech::FrameSpan kept, span;
    std::string error;
    ASSERT_TRUE(speech::PrepareRecordingFeatures(recording, kept, span, error)) << error;
    EXPECT_LT(recording.frameCount, frames - 40);
    EXPECT_EQ(kept.end - kept.begin, recording.frameCount);
    speech::FeatureMatrix shorter = copy;
    shorter.frameCount -= 1;
    shorter.values.resize(std::size_t(shorter.frameCount) * shorter.dimension);
    EXPECT_FALSE(speech::PrepareCopyFeatures(shorter, kept, frames));
    ASSERT_TRUE(speech::PrepareCopyFeatures(copy, kept, frames));
    EXPECT_EQ(copy.frameCount, recording.frameCount);
    EXPECT_NE(copy.values, recording.values);
}

}  // namespace
