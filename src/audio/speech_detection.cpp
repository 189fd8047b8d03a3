#include "audio/speech_detection.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <limits>
#include <numbers>
#include <optional>

#include "audio/audio_file_reader.h"
#include "audio/recording_format.h"

namespace {

constexpr std::size_t kFrameSamples = kRecordingRate / 100;  // 10 ms
constexpr double kHighPassHz = 150.0;
constexpr double kFloorPercentile = 0.1;
constexpr double kDigitalSilenceEnergy = 4.0 * 4.0;
constexpr double kSpeechAboveFloorDb = 9.0;
constexpr std::size_t kStretchFrames = 10;  // 0.1 s
constexpr std::size_t kLoudFramesInStretch = kStretchFrames / 2;

// The mean square of each whole frame of the high-passed samples.
std::vector<double> FrameEnergies(const std::vector<std::int16_t>& samples) {
    // One pole, one zero: y[n] = a (y[n-1] + x[n] - x[n-1]), started as if
    // the first sample had always been there, so a DC offset leaves nothing.
    const double pole = std::exp(-2.0 * std::numbers::pi * kHighPassHz / kRecordingRate);
    double previousInput = samples.empty() ? 0.0 : samples.front();
    double output = 0.0;
    std::vector<double> energies;
    double energy = 0.0;
    std::size_t inFrame = 0;
    for (const std::int16_t sample : samples) {
        output = pole * (output + sample - previousInput);
        previousInput = sample;
        energy += output * output;
        if (++inFrame == kFrameSamples) {
            energies.push_back(energy / kFrameSamples);
            energy = 0.0;
            inFrame = 0;
        }
    }
    return energies;
}

// The floor of the frames that are not digital silence; none when all are.
std::optional<double> NoiseFloor(const std::vector<double>& energies) {
    std::vector<double> sounding;
    std::copy_if(energies.begin(), energies.end(), std::back_inserter(sounding),
                 [](double energy) { return energy >= kDigitalSilenceEnergy; });
    if (sounding.empty()) {
        return std::nullopt;
    }
    const auto percentile =
        sounding.begin() + static_cast<std::ptrdiff_t>(kFloorPercentile * static_cast<double>(sounding.size()));
    std::nth_element(sounding.begin(), percentile, sounding.end());
    return *percentile;
}

}  // namespace

double LoudestStretchDb(const std::vector<std::int16_t>& samples) {
    const std::vector<double> energies = FrameEnergies(samples);
    const std::optional<double> floor = NoiseFloor(energies);
    if (energies.size() < kStretchFrames || !floor) {
        return -std::numeric_limits<double>::infinity();
    }
    // The level that kLoudFramesInStretch frames of a stretch reach is the
    // energy of its kLoudFramesInStretch-th loudest frame.
    double loudest = 0.0;
    for (std::size_t start = 0; start + kStretchFrames <= energies.size(); ++start) {
        std::array<double, kStretchFrames> stretch;
        std::copy_n(energies.begin() + static_cast<std::ptrdiff_t>(start), kStretchFrames, stretch.begin());
        const auto reached = stretch.begin() + (kStretchFrames - kLoudFramesInStretch);
        std::nth_element(stretch.begin(), reached, stretch.end());
        loudest = std::max(loudest, *reached);
    }
    return 10.0 * std::log10(loudest / *floor);
}

bool HoldsSpeech(const std::vector<std::int16_t>& samples) { return LoudestStretchDb(samples) >= kSpeechAboveFloorDb; }

bool RecordingHoldsSpeech(const std::string& fileName) {
    std::vector<std::int16_t> samples;
    std::string problem;
    return ReadAudioFile(fileName, samples, problem) && HoldsSpeech(samples);
}
