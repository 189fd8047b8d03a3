// The rule that tells a recording with speech from one without: the shipped
// spoken takes, loud or made quiet and noisy, against silence, room noise,
// hum, a click and a press too short for a word, all made here.

#include "audio/speech_detection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <numbers>
#include <random>
#include <string>

#include "audio/recording_format.h"

namespace {

using Samples = std::vector<std::int16_t>;

Samples DemoTake(const std::string& name) {
    std::ifstream file(std::filesystem::path(std::getenv("PARROT_DEMO_DIR")) / name, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    Samples samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                               static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    }
    return samples;
}

// `seconds` of `sample(t)`, t in seconds, rounded and clipped to 16 bits.
Samples Made(double seconds, const std::function<double(double)>& sample) {
    Samples samples(static_cast<std::size_t>(seconds * kRecordingRate));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] =
            static_cast<std::int16_t>(std::clamp(std::lround(sample(double(i) / kRecordingRate)), -32768L, 32767L));
    }
    return samples;
}

// Brown noise (a leaky integrator of white noise), the hardest steady room
// noise for an energy rule: its energy wanders slowly.
std::function<double(double)> RoomNoise(double rms) {
    return [rms, generator = std::mt19937(7), white = std::normal_distribution<double>(), last = 0.0](double) mutable {
        last = 0.98 * last + white(generator);
        return rms * last / 5.0;  // 5: the integrator's RMS gain
    };
}

double Hum(double t, double mains) {
    double hum = 0.0;
    for (const int harmonic : {1, 2, 3, 5}) hum += std::sin(2 * std::numbers::pi * mains * harmonic * t) / harmonic;
    return hum;
}

TEST(SpeechDetectionTest, TellsSpokenTakesFromRecordingsWithoutSpeech) {
    const Samples one = DemoTake("one_0.raw");
    const double seconds = double(one.size()) / kRecordingRate;
    const auto take = [&one](double t) { return double(one[static_cast<std::size_t>(t * kRecordingRate)]); };
    auto room = RoomNoise(300.0);
    auto quietRoom = RoomNoise(60.0);
    struct Case {
        const char* what;
        Samples samples;
        bool speech;
    };
    const Case cases[] = {
        {"zero_0", DemoTake("zero_0.raw"), true},
        {"five_4", DemoTake("five_4.raw"), true},
        {"one_0 at -26 dB in room noise", Made(seconds, [&](double t) { return 0.05 * take(t) + quietRoom(t); }), true},
        {"one_0 on a DC offset", Made(seconds, [&](double t) { return 8000.0 + take(t); }), true},
        {"digital silence", Samples(kRecordingRate, 0), false},
        {"a blip of two steps in digital silence",
         Made(1.0, [](double t) { return t > 0.4 && t < 0.6 ? 2.0 * std::sin(2000.0 * t) : 0.0; }), false},
        {"room noise", Made(1.5, room), false},
        {"room noise, then the digital silence a file is padded with",
         Made(1.5, [&](double t) { return t < 0.9 ? room(t) : 0.0; }), false},
        {"room noise on a DC offset", Made(1.5, [&](double t) { return -6000.0 + room(t); }), false},
        {"50 Hz hum", Made(1.5, [&](double t) { return 3000.0 * Hum(t, 50.0) + room(t) / 10; }), false},
        {"60 Hz hum", Made(1.5, [&](double t) { return 3000.0 * Hum(t, 60.0) + room(t) / 10; }), false},
        {"a click",
         Made(1.5,
              [&](double t) {
                  return room(t) + (t > 0.3 && t < 0.32 ? 20000.0 * std::exp(-(t - 0.3) * kRecordingRate / 40.0) : 0.0);
              }),
         false},
        {"a press too short for a word", Samples(one.begin() + 4000, one.begin() + 5000), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HoldsSpeech(c.samples), c.speech) << c.what << ": " << LoudestStretchDb(c.samples) << " dB";
    }
}

}  // namespace
