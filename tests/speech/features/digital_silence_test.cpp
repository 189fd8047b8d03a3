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

// Long runs of one frame repeated at either end are padding and go; short
// runs, and a recording that is nothing else, are left alone. The frames
// kept are told, for cutting a copy of the recording alike.
TEST(DigitalSilence, LongPaddingAtEitherEndIsRemoved) {
    const struct {
        std::uint32_t lead, speech, trail, firstKept, framesKept;
    } cases[] = {{3, 6, 40, 3, 6}, {2, 6, 2, 0, 10}, {0, 0, 30, 0, 30}};
    for (const auto& c : cases) {
        auto features = Padded(c.lead, c.speech, c.trail);
        const std::vector<float> kept(features.values.begin() + c.firstKept * kDimension,
                                      features.values.begin() + (c.firstKept + c.framesKept) * kDimension);
        const speech::FrameSpan span = speech::RemoveDigitalSilence(features);
        EXPECT_EQ(span.begin, c.firstKept) << c.lead << " " << c.speech << " " << c.trail;
        EXPECT_EQ(span.end, c.firstKept + c.framesKept) << c.lead << " " << c.speech << " " << c.trail;
        EXPECT_EQ(features.frameCount, c.framesKept) << c.lead << " " << c.speech << " " << c.trail;
        EXPECT_EQ(features.values, kept) << c.lead << " " << c.speech << " " << c.trail;
    }
}

}  // namespace
