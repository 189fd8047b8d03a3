#pragma once
// Signals and extraction settings shared by the tests of the feature stage.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

#include "features/feature_extractor.h"

namespace speech_test {

constexpr double kRate = 11025.0;

// The options the application passes.
inline speech::FeatureOptions SystemOptions() {
    speech::FeatureOptions options;
    options.zeroMean = options.energy = options.energyNormalise = true;
    options.cepstralMeanSubtraction = options.deltas = options.accelerations = true;
    return options;
}

inline std::vector<std::int16_t> Tone(std::size_t samples, double hertz, double amplitude, double offset = 0.0) {
    std::vector<std::int16_t> signal(samples);
    for (std::size_t i = 0; i < samples; ++i)
        signal[i] = static_cast<std::int16_t>(
            std::lround(offset + amplitude * std::sin(2 * std::numbers::pi * hertz * i / kRate)));
    return signal;
}

inline std::vector<std::int16_t> Noise(std::size_t samples, double deviation, unsigned seed) {
    std::mt19937 random(seed);
    std::normal_distribution<double> normal(0.0, deviation);
    std::vector<std::int16_t> signal(samples);
    for (auto& sample : signal) sample = static_cast<std::int16_t>(std::clamp(normal(random), -32768.0, 32767.0));
    return signal;
}

}  // namespace speech_test
