// A take with louder background noise, checked on a take whose noise and
// word are known apart: steady noise with a loud tone in the middle.

#include "features/louder_noise.h"

#include <cmath>

#include "speech/support/feature_test_signals.h"
#include "speech/support/speech_test_support.h"

using namespace speech;
using namespace speech_test;

namespace {

double Power(const std::vector<std::int16_t>& samples, std::size_t from, std::size_t to) {
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) sum += double(samples[i]) * samples[i];
    return sum / double(to - from);
}

// The noise grows by the decibels asked for, all through the take and up to
// its last sample; the word's own power hardly changes; and the same take
// always gives the same copy.
TEST(LouderNoise, RaisesTheTakesOwnNoiseByTheDecibelsAsked) {
    std::vector<std::int16_t> take = Noise(11025, 200, 7);
    const auto tone = Tone(3000, 500, 8000);
    for (std::size_t i = 0; i < tone.size(); ++i) take[4000 + i] = static_cast<std::int16_t>(take[4000 + i] + tone[i]);
    for (const double decibels : {3.0, 6.0, 10.0}) {
        const std::vector<std::int16_t> louder = WithLouderNoise(take, decibels);
        ASSERT_EQ(louder.size(), take.size());
        const double wanted = std::pow(10.0, decibels / 10.0);
        for (const auto [from, to] : {std::pair<std::size_t, std::size_t>{0, 3000}, {8000, 10897}, {10897, 11025}})
            EXPECT_NEAR(Power(louder, from, to) / Power(take, from, to), wanted, 0.2 * wanted)
                << decibels << " dB, samples " << from << " to " << to;
        const double added = (wanted - 1.0) * Power(take, 0, 3000);
        EXPECT_NEAR(Power(louder, 4000, 7000), Power(take, 4000, 7000) + added, 0.02 * Power(take, 4000, 7000));
        EXPECT_EQ(WithLouderNoise(take, decibels), louder);
    }
}

// Too short to tell noise from word: no copy. Noise at full scale is clipped,
// never wrapped round to the other sign.
TEST(LouderNoise, ShortTakesGiveNoneAndLoudOnesAreClipped) {
    EXPECT_TRUE(WithLouderNoise(Noise(1023, 200, 8), 6.0).empty());
    std::vector<std::int16_t> take(4096);
    for (std::size_t i = 0; i < take.size(); ++i) take[i] = i % 2 == 0 ? INT16_MAX : INT16_MIN;
    const std::vector<std::int16_t> louder = WithLouderNoise(take, 6.0);
    ASSERT_EQ(louder.size(), take.size());
    for (std::size_t i = 0; i < take.size(); ++i) ASSERT_EQ(louder[i] > 0, take[i] > 0) << i;
}

}  // namespace
