// The sample ring between the audio callback and the notification thread, and
// the conversion of streamed audio to the recording format.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "audio/sample_converter.h"
#include "audio/sample_ring.h"

namespace {

TEST(SampleRingTest, KeepsOrderAcrossTheWrapAndRefusesWhatDoesNotFit) {
    SampleRing ring(6);  // rounded up to 8
    std::vector<std::int16_t> input(10);
    for (std::size_t i = 0; i < input.size(); ++i) {
        input[i] = static_cast<std::int16_t>(i + 1);
    }
    EXPECT_EQ(ring.Write(input.data(), 6), 6U);
    std::vector<std::int16_t> output(10);
    EXPECT_EQ(ring.Read(output.data(), 4), 4U);
    EXPECT_EQ(ring.Write(input.data() + 6, 4), 4U);  // wraps
    EXPECT_EQ(ring.Write(input.data(), 10), 2U);     // full after two more
    EXPECT_EQ(ring.Read(output.data(), 10), 8U);
    EXPECT_EQ(output, (std::vector<std::int16_t>{5, 6, 7, 8, 9, 10, 1, 2, 0, 0}));
    EXPECT_EQ(ring.Read(output.data(), 10), 0U);
}

// What a 48 kHz stereo device delivers, fed in small callbacks' worth, comes
// out as one continuous 11025 Hz mono tone.
TEST(SampleConverterTest, StreamedStereoAudioBecomesContinuousMonoAt11025) {
    constexpr int kRate = 48000;
    SampleConverter converter;
    std::string error;
    ASSERT_TRUE(converter.Open(kRate, 2, error)) << error;
    std::vector<std::int16_t> output;
    std::vector<float> chunk;
    for (int frame = 0; frame < kRate; ++frame) {
        const double value = 0.25 * std::sin(2.0 * std::numbers::pi * 300.0 * frame / kRate);
        chunk.push_back(static_cast<float>(value * 1.5));  // left
        chunk.push_back(static_cast<float>(value * 0.5));  // right
        if (chunk.size() == 2 * 480) {
            ASSERT_TRUE(converter.Convert(chunk.data(), 480, false, output, error)) << error;
            chunk.clear();
        }
    }
    ASSERT_TRUE(converter.Convert(chunk.data(), 0, true, output, error)) << error;
    EXPECT_NEAR(static_cast<double>(output.size()), 11025.0, 4.0);
    for (std::size_t i = 100; i + 100 < output.size(); ++i) {
        const double expected = 8192.0 * std::sin(2.0 * std::numbers::pi * 300.0 * static_cast<double>(i) / 11025);
        ASSERT_NEAR(output[i], expected, 200.0) << "sample " << i;
    }
}

}  // namespace
