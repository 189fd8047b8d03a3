// Feature extraction speed in multiples of real time on one core.
// Usage: feature_speed [SECONDS_OF_AUDIO]   (default 600)
// Times the extractor on speech-like synthetic audio in memory, then the
// whole extract_feature tool (reading recordings, writing feature files)
// on the same audio cut into 1.5-second recordings.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "engine/engine_arguments.h"
#include "features/feature_extractor.h"
#include "speech_api.h"

namespace {

constexpr double kRate = 11025.0;

std::vector<std::int16_t> SpeechLikeAudio(std::size_t samples) {
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0.0, 300.0);
    std::vector<std::int16_t> audio(samples);
    for (std::size_t i = 0; i < samples; ++i) {
        const double t = i / kRate;
        const double envelope = 0.5 + 0.5 * std::sin(2 * std::numbers::pi * 3.0 * t);
        const double voiced = 4000 * std::sin(2 * std::numbers::pi * 140 * t) +
                              2500 * std::sin(2 * std::numbers::pi * 700 * t) +
                              1200 * std::sin(2 * std::numbers::pi * 2300 * t);
        audio[i] = static_cast<std::int16_t>(std::clamp(envelope * voiced + noise(random), -32768.0, 32767.0));
    }
    return audio;
}

double CpuSeconds() { return double(std::clock()) / CLOCKS_PER_SEC; }

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 600.0;
    if (!(seconds >= 1.0)) {
        std::fprintf(stderr, "usage: feature_speed [SECONDS_OF_AUDIO >= 1]\n");
        return 2;
    }
    const auto audio = SpeechLikeAudio(static_cast<std::size_t>(seconds * kRate));

    speech::FeatureOptions options;
    options.zeroMean = options.energy = options.energyNormalise = true;
    options.cepstralMeanSubtraction = options.deltas = options.accelerations = true;
    speech::FeatureExtractor extractor(options);
    const std::size_t chunk = static_cast<std::size_t>(1.5 * kRate);
    speech::FeatureMatrix features;
    double start = CpuSeconds();
    for (std::size_t at = 0; at + chunk <= audio.size(); at += chunk)
        extractor.Extract(std::vector<std::int16_t>(audio.begin() + at, audio.begin() + at + chunk), features);
    const double inMemory = CpuSeconds() - start;
    std::printf("extractor in memory: %.0f s of audio in %.3f s CPU: %.0f x real time\n", seconds, inMemory,
                seconds / inMemory);

    const auto folder = std::filesystem::temp_directory_path() / "feature-speed";
    std::filesystem::create_directories(folder);
    std::ofstream rawList(folder / "raw.txt"), mfcList(folder / "mfc.txt");
    for (std::size_t at = 0, n = 0; at + chunk <= audio.size(); at += chunk, ++n) {
        const auto name = (folder / std::to_string(n)).string();
        std::ofstream(name + ".raw", std::ios::binary)
            .write(reinterpret_cast<const char*>(audio.data() + at), std::streamsize(chunk * 2));
        rawList << name << ".raw\n";
        mfcList << name << ".mfc\n";
    }
    rawList.close();
    mfcList.close();
    // The options the program itself passes to the engine.
    std::vector<std::string> arguments =
        FeatureExtractionArguments((folder / "raw.txt").c_str(), (folder / "mfc.txt").c_str());
    std::vector<char*> argv2;
    for (auto& argument : arguments) argv2.push_back(argument.data());
    start = CpuSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    const int status = ExtractFeatures(static_cast<int>(argv2.size()), argv2.data());
    const double tool = CpuSeconds() - start;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    std::filesystem::remove_all(folder);
    if (status != 0) return 1;
    std::printf("extract_feature tool with file I/O: %.0f s of audio in %.3f s CPU (%.3f s wall): %.0f x real time\n",
                seconds, tool, wall, seconds / std::max(tool, wall));
    return 0;
}
