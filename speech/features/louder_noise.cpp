#include "features/louder_noise.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <utility>

namespace speech {
namespace {

// Blocks of about 23 ms at 11025 Hz, overlapping by half.
constexpr std::size_t kBlock = 256;
constexpr std::size_t kHop = kBlock / 2;
constexpr std::size_t kFewestBlocks = 4;
// The share of a take's blocks, the quietest, that serve as its noise. Takes
// are cut with some room around the word, so at least this much is
// background.
constexpr double kQuietShare = 0.3;

// Sine window: two neighbours overlapping by half have squares that sum to 1,
// so independent blocks cross-faded with it keep the noise's power.
std::vector<double> CrossFade() {
    std::vector<double> window(kBlock);
    for (std::size_t j = 0; j < kBlock; ++j) window[j] = std::sin(std::numbers::pi * (j + 0.5) / kBlock);
    return window;
}

}  // namespace

std::string NoisierCopyPath(const std::string& featurePath) { return featurePath + ".noisier"; }

std::vector<std::int16_t> WithLouderNoise(const std::vector<std::int16_t>& samples, double decibels) {
    if (samples.size() < kFewestBlocks * kBlock) return {};
    // (energy, first sample) of every whole block, quietest first.
    std::vector<std::pair<double, std::size_t>> blocks;
    for (std::size_t start = 0; start + kBlock <= samples.size(); start += kBlock) {
        double energy = 0.0;
        for (std::size_t j = 0; j < kBlock; ++j) energy += double(samples[start + j]) * samples[start + j];
        blocks.emplace_back(energy, start);
    }
    std::sort(blocks.begin(), blocks.end());
    const std::size_t quiet = std::max<std::size_t>(2, std::size_t(double(blocks.size()) * kQuietShare));
    std::vector<double> means(quiet);
    for (std::size_t b = 0; b < quiet; ++b) {
        double sum = 0.0;
        for (std::size_t j = 0; j < kBlock; ++j) sum += samples[blocks[b].second + j];
        means[b] = sum / kBlock;
    }

    static const std::vector<double> fade = CrossFade();
    // Blocks start every half block, and every sample from the half block on
    // lies under two of them.
    std::vector<double> noise(samples.size() + kHop + kBlock, 0.0);
    std::mt19937 random(20261207);  // fixed: extracting a take again gives the same features
    std::uniform_int_distribution<std::size_t> pick(0, quiet - 1);
    for (std::size_t at = 0; at < samples.size() + kHop; at += kHop) {
        const std::size_t b = pick(random);
        const std::int16_t* block = samples.data() + blocks[b].second;
        for (std::size_t j = 0; j < kBlock; ++j) noise[at + j] += fade[j] * (block[j] - means[b]);
    }
    // The added noise has the take's noise power times `gain` squared: the
    // two together are `decibels` louder than the take's alone.
    const double gain = std::sqrt(std::pow(10.0, decibels / 10.0) - 1.0);
    std::vector<std::int16_t> louder(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double sum = std::clamp(samples[i] + gain * noise[i + kHop], double(INT16_MIN), double(INT16_MAX));
        louder[i] = static_cast<std::int16_t>(std::nearbyint(sum));
    }
    return louder;
}

}  // namespace speech
