#include "features/louder_noise.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace speech {
namespace {

// Blocks of about 23 ms at 11025 Hz.
constexpr std::size_t kBlock = 256;
constexpr std::size_t kFewestBlocks = 4;
// The share of a take's blocks, the quietest, that serve as its background.
// Takes are cut with some room around the word, so at least this much is
// background.
constexpr double kQuietShare = 0.3;
// The share of its blocks, the loudest, that stand for the word.
constexpr double kLoudShare = 0.2;
// A background whose neighbouring samples differ by less power than the
// samples have is low-pitched: white noise differs by twice its power
// (+3 dB), pink noise by about -2 dB, a rumble by -10 dB and less.
constexpr double kLowPitchedDifferenceRatio = 1.0;
// Brown noise: white noise through a leaky integrator with this pole.
constexpr double kBrownPole = 0.98;
constexpr std::uint32_t kNoiseSeed = 20261207;  // fixed: extracting a take again gives the same features

struct Block {
    double power = 0.0;       // mean square about the block's mean
    double difference = 0.0;  // mean square of the differences of neighbouring samples
};

Block MeasureBlock(const std::int16_t* samples) {
    double mean = 0.0;
    for (std::size_t j = 0; j < kBlock; ++j) mean += samples[j];
    mean /= kBlock;
    Block block;
    for (std::size_t j = 0; j < kBlock; ++j) block.power += (samples[j] - mean) * (samples[j] - mean);
    for (std::size_t j = 1; j < kBlock; ++j)
        block.difference += double(samples[j] - samples[j - 1]) * (samples[j] - samples[j - 1]);
    block.power /= kBlock;
    block.difference /= kBlock - 1;
    return block;
}

// Unit-power Gaussian noise, white or brown.
std::vector<double> UnitNoise(std::size_t length, bool brown) {
    std::mt19937 random(kNoiseSeed);
    std::normal_distribution<double> gaussian;
    std::vector<double> noise(length);
    double state = 0.0, power = 0.0;
    for (double& value : noise) {
        state = brown ? kBrownPole * state + gaussian(random) : gaussian(random);
        value = state;
    }
    double mean = 0.0;
    for (const double value : noise) mean += value;
    mean /= double(length);
    for (double& value : noise) {
        value -= mean;
        power += value * value;
    }
    const double scale = power > 0.0 ? std::sqrt(double(length) / power) : 0.0;
    for (double& value : noise) value *= scale;
    return noise;
}

}  // namespace

std::string NoisierCopyPath(const std::string& featurePath) { return featurePath + ".noisier"; }

std::vector<std::int16_t> WithLouderNoise(const std::vector<std::int16_t>& samples) {
    std::size_t begin = 0, end = samples.size();
    while (begin < end && samples[begin] == 0) ++begin;
    while (end > begin && samples[end - 1] == 0) --end;
    if (end - begin < kFewestBlocks * kBlock) return {};

    std::vector<Block> blocks;
    for (std::size_t start = begin; start + kBlock <= end; start += kBlock)
        blocks.push_back(MeasureBlock(samples.data() + start));
    std::sort(blocks.begin(), blocks.end(), [](const Block& a, const Block& b) { return a.power < b.power; });
    const std::size_t quiet = std::max<std::size_t>(2, std::size_t(double(blocks.size()) * kQuietShare));
    const std::size_t loud = std::max<std::size_t>(1, std::size_t(double(blocks.size()) * kLoudShare));
    double noisePower = 0.0, noiseDifference = 0.0, wordPower = 0.0;
    for (std::size_t b = 0; b < quiet; ++b) {
        noisePower += blocks[b].power / double(quiet);
        noiseDifference += blocks[b].difference / double(quiet);
    }
    for (std::size_t b = blocks.size() - loud; b < blocks.size(); ++b) wordPower += blocks[b].power / double(loud);
    // A take of exact silence apart from its word still gets some noise: as
    // much as a background 17 dB below the word would have.
    noisePower = std::max(noisePower, 1.0);

    const bool lowPitched = noiseDifference < kLowPitchedDifferenceRatio * noisePower;
    const double wordAboveNoise = 10.0 * std::log10(std::max(wordPower, noisePower) / noisePower);
    const double louderBy = std::max(kLouderNoiseDecibels, wordAboveNoise - kNoisierCopyWordAboveNoiseDecibels);
    // The take's noise and the added noise together are `louderBy` louder
    // than the take's alone.
    const double gain = std::sqrt(noisePower * (std::pow(10.0, louderBy / 10.0) - 1.0));
    const std::vector<double> noise = UnitNoise(end - begin, !lowPitched);
    std::vector<std::int16_t> louder = samples;
    for (std::size_t i = begin; i < end; ++i) {
        const double sum = std::clamp(samples[i] + gain * noise[i - begin], double(INT16_MIN), double(INT16_MAX));
        louder[i] = static_cast<std::int16_t>(std::nearbyint(sum));
    }
    return louder;
}

}  // namespace speech
