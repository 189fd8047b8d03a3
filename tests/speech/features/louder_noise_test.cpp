// The noisier copy of a take, checked on takes whose noise and word are known
// apart: a steady background, white or low-pitched, with a loud tone in the
// middle standing for the word.

#include "features/louder_noise.h"

#include <cmath>

#include "speech/support/feature_test_signals.h"
#include "speech/support/speech_test_support.h"

using namespace speech;
using namespace speech_test;

namespace {

constexpr std::size_t kLength = 11025, kWordBegin = 4000, kWordEnd = 7000;

double Power(const std::vector<double>& samples, std::size_t from, std::size_t to) {
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) sum += samples[i] * samples[i];
    return sum / double(to - from);
}

std::vector<double> Widened(const std::vector<std::int16_t>& samples) { return {samples.begin(), samples.end()}; }

double Decibels(double ratio) { return 10.0 * std::log10(ratio); }

// How much more power the differences of neighbouring samples have than the
// samples: +3 dB for white noise, far below 0 dB for a rumble.
double DifferenceDecibels(const std::vector<double>& samples, std::size_t from, std::size_t to) {
    std::vector<double> differences;
    for (std::size_t i = from + 1; i < to; ++i) differences.push_back(samples[i] - samples[i - 1]);
    return Decibels(Power(differences, 0, differences.size()) / Power(samples, from + 1, to));
}

// A background of about the given deviation, low-pitched (a hum: white
// noise through a leaky integrator) or white, with a 1 kHz tone of the given
// amplitude over [kWordBegin, kWordEnd).
std::vector<std::int16_t> Take(double deviation, bool lowPitched, double toneAmplitude) {
    std::vector<std::int16_t> take = Noise(kLength, lowPitched ? deviation * 0.44 : deviation, 7);
    if (lowPitched) {
        double state = 0.0;
        for (auto& sample : take) sample = static_cast<std::int16_t>(std::lround(state = 0.9 * state + sample));
    }
    const auto tone = Tone(kWordEnd - kWordBegin, 1000, toneAmplitude);
    for (std::size_t i = 0; i < tone.size(); ++i)
        take[kWordBegin + i] = static_cast<std::int16_t>(take[kWordBegin + i] + tone[i]);
    return take;
}

// The copy's level is set from the take's quietest blocks, and a hum's
// quietest blocks lie further below its average than a hiss's do.
double Tolerance(bool lowPitched) { return lowPitched ? 2.0 : 1.5; }

// The added noise: how far above the take's own noise the copy's lies, how
// far below the word, and of which kind; the same take always gives the same
// copy.
TEST(LouderNoise, AddsNoiseOfTheOtherKindAtLeastSixDecibelsUpAndSeventeenBelowTheWord) {
    const struct {
        const char* what;
        bool lowPitched;
        double toneAmplitude;
        double noiseUp;  // dB from the take's noise to the copy's
        bool addedIsWhite;
    } cases[] = {
        // The word 13 dB above the noise: the copy's noise 6 dB up.
        {"noisy, white", false, 1270.0, 6.0, false},
        {"noisy, low-pitched", true, 1270.0, 6.0, true},
        // The word 35 dB above the noise: 18 dB up leaves it 17 dB above.
        {"clean, white", false, 15900.0, 18.0, false},
        {"clean, low-pitched", true, 15900.0, 18.0, true},
    };
    for (const auto& c : cases) {
        const std::vector<std::int16_t> take = Take(200.0, c.lowPitched, c.toneAmplitude);
        const std::vector<std::int16_t> louder = WithLouderNoise(take);
        ASSERT_EQ(louder.size(), take.size()) << c.what;
        const std::vector<double> before = Widened(take), after = Widened(louder);
        std::vector<double> added(take.size());
        for (std::size_t i = 0; i < take.size(); ++i) added[i] = after[i] - before[i];
        for (const auto& [from, to] : {std::pair<std::size_t, std::size_t>{0, 3000}, {8000, kLength}})
            EXPECT_NEAR(Decibels(Power(after, from, to) / Power(before, from, to)), c.noiseUp, Tolerance(c.lowPitched))
                << c.what << ", samples " << from << " to " << to;
        EXPECT_NEAR(Decibels(Power(added, 0, kLength) / Power(before, 0, 3000)),
                    10.0 * std::log10(std::pow(10.0, c.noiseUp / 10.0) - 1.0), Tolerance(c.lowPitched))
            << c.what << ": the added noise is as loud through the word";
        if (c.addedIsWhite)
            EXPECT_NEAR(DifferenceDecibels(added, 0, kLength), 3.0, 0.5) << c.what;
        else
            EXPECT_LT(DifferenceDecibels(added, 0, kLength), -10.0) << c.what;
        EXPECT_EQ(WithLouderNoise(take), louder) << c.what;
    }
}

// A capture layer's zeros at either end are no background: the copy of a
// padded take gets the noise the take alone would, and its padding stays
// exact zeros, as digital silence that preparation drops.
TEST(LouderNoise, LeavesPaddingOutOfTheNoiseAndSilent) {
    const std::vector<std::int16_t> take = Take(200.0, false, 1270.0);
    for (const std::size_t padding : {2000u, 5000u}) {
        std::vector<std::int16_t> padded(padding / 2, 0);
        padded.insert(padded.end(), take.begin(), take.end());
        padded.resize(padded.size() + padding, 0);
        const std::vector<std::int16_t> louder = WithLouderNoise(padded);
        ASSERT_EQ(louder.size(), padded.size());
        for (std::size_t i = 0; i < padded.size(); ++i)
            if (i < padding / 2 || i >= padding / 2 + take.size()) {
                ASSERT_EQ(louder[i], 0) << padding << ": " << i;
            }
        const std::size_t from = padding / 2, to = from + 3000;
        EXPECT_NEAR(Decibels(Power(Widened(louder), from, to) / Power(Widened(padded), from, to)), 6.0, 1.5) << padding;
    }
}

// Too short to tell noise from word: no copy. Where a clean take's word
// nears full scale, its copy's noise is clipped, never wrapped round to the
// other sign.
TEST(LouderNoise, ShortTakesGiveNoneAndLoudOnesAreClipped) {
    EXPECT_TRUE(WithLouderNoise(Noise(1023, 200, 8)).empty());
    const std::vector<std::int16_t> take = Take(200.0, false, 32000.0);
    const std::vector<std::int16_t> louder = WithLouderNoise(take);
    ASSERT_EQ(louder.size(), take.size());
    std::size_t atFullScale = 0;
    for (std::size_t i = 0; i < take.size(); ++i) {
        if (std::abs(take[i]) > 30000) {
            ASSERT_EQ(louder[i] > 0, take[i] > 0) << i;
        }
        atFullScale += louder[i] == INT16_MAX || louder[i] == INT16_MIN;
    }
    EXPECT_GT(atFullScale, 100u);
}

}  // namespace
