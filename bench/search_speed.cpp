// Recognition time for a large vocabulary: a loop grammar of N words (default
// 1,000), each trained on one take; 39-dimensional features, 40 phones of
// three states, 4 frames a state, the word framed by 0.36 s of silence.
// Times building the search from the word network, and recognising a
// 1.3-second recording (the search, then template rescoring); the search
// alone is timed as the median of several runs, steadier on a busy machine.
// Usage: search_speed [WORDS]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "decoding/word_recognizer.h"

namespace {

constexpr std::uint32_t kDimension = 39;
constexpr std::uint32_t kPhones = 40;  // phone 0 is "sil"
constexpr std::uint32_t kStatesPerPhone = 3;
constexpr std::uint32_t kFramesPerState = 4;
constexpr std::uint32_t kEnergy = 12;  // where speech detection looks: low in "sil", high in speech
constexpr std::size_t kSearchRuns = 15;

std::string PhoneName(std::uint32_t phone) { return phone == 0 ? "sil" : "p" + std::to_string(phone); }

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
    const std::uint32_t words = argc > 1 ? std::uint32_t(std::atoi(argv[1])) : 1000;
    std::mt19937 random(7);
    std::normal_distribution<float> noise(0.0f, 1.0f);

    speech::ModelInventory inventory;
    speech::TransitionSet transitions;
    speech::TransitionSet::Matrix matrix;
    matrix.size = kStatesPerPhone + 2;
    matrix.probabilities.assign(matrix.size * matrix.size, 0.0);
    matrix.probabilities[1] = 1.0;
    for (std::uint32_t i = 1; i <= kStatesPerPhone; ++i) {
        matrix.probabilities[i * matrix.size + i] = 0.6;
        matrix.probabilities[i * matrix.size + i + 1] = 0.4;
    }
    transitions.matrices.push_back(matrix);
    speech::StateSet states;
    states.dimension = kDimension;
    states.states.resize(1);
    for (std::uint32_t p = 0; p < kPhones; ++p) {
        speech::PhoneModel model{PhoneName(p), 0, {}};
        for (std::uint32_t s = 0; s < kStatesPerPhone; ++s) {
            model.states.push_back(std::uint32_t(states.states.size()));
            speech::Gaussian gaussian;
            for (std::uint32_t d = 0; d < kDimension; ++d) gaussian.mean.push_back(2.0f * noise(random));
            gaussian.mean[kEnergy] = p == 0 ? -4.0f : 4.0f;
            gaussian.variance.assign(kDimension, 1.0f);
            states.states.push_back({gaussian});
        }
        inventory.modelByPhone[model.phone] = p;
        inventory.models.push_back(model);
    }
    // Frames of a phone sequence around its states' means.
    auto frames = [&](const std::vector<std::string>& phones, std::uint32_t silenceFrames = kFramesPerState) {
        speech::FeatureMatrix features;
        features.dimension = kDimension;
        features.framePeriod100ns = 100000;
        features.energyIndex = kEnergy;
        for (const auto& phone : phones)
            for (const auto state : inventory.Find(phone)->states)
                for (std::uint32_t t = 0; t < (phone == "sil" ? silenceFrames : kFramesPerState);
                     ++t, ++features.frameCount)
                    for (std::uint32_t d = 0; d < kDimension; ++d)
                        features.values.push_back(states.states[state].front().mean[d] + noise(random));
        return features;
    };
    // Where the speech of a recording lies, found as the tools find it.
    auto speechOf = [](const speech::FeatureMatrix& features) {
        speech::FrameSpan span;
        std::string error;
        speech::DetectSpeech(features, span, error);
        return span;
    };

    speech::WordNetwork network;
    network.nodes = {{""}, {"!SENT_START"}, {""}, {""}, {"!SENT_END"}, {""}};
    network.arcs = {{0, 1}, {1, 2}, {3, 2}, {3, 4}, {4, 5}};
    network.end = 5;
    inventory.lexicon["!SENT_START"] = {{"sil"}};
    inventory.lexicon["!SENT_END"] = {{"sil"}};
    speech::TemplateSet templates{kDimension, std::vector<float>(kDimension, 1.0f), {}};
    std::uniform_int_distribution<std::uint32_t> phone(1, kPhones - 1), length(4, 7);
    std::vector<std::string> spoken;
    for (std::uint32_t w = 0; w < words; ++w) {
        std::vector<std::string> phones;
        for (std::uint32_t k = length(random); k > 0; --k) phones.push_back(PhoneName(phone(random)));
        const std::string word = "W" + std::to_string(w);
        inventory.lexicon[word] = {phones, phones};
        inventory.lexicon[word].back().push_back("sil");
        network.nodes.push_back({word});
        network.arcs.push_back({2, std::uint32_t(network.nodes.size() - 1)});
        network.arcs.push_back({std::uint32_t(network.nodes.size() - 1), 3});
        phones.insert(phones.begin(), "sil");
        phones.push_back("sil");
        const speech::FeatureMatrix take = frames(phones);
        templates.templates.push_back({speech::TemplateKey(phones), speech::SpeechFrames(take, speechOf(take))});
        if (w == words / 2) spoken = phones;
    }

    const auto buildStart = std::chrono::steady_clock::now();
    speech::WordRecognizer recognizer;
    std::string error;
    if (!recognizer.Build(network, inventory, transitions, error)) {
        std::fprintf(stderr, "search_speed: %s\n", error.c_str());
        return 1;
    }
    const double build = Seconds(buildStart);
    const speech::FeatureMatrix recording = frames(spoken, 12);
    const speech::StateScorer scorer(states);
    const speech::TemplateIndex index(templates);
    const auto recognizeStart = std::chrono::steady_clock::now();
    const speech::Hypothesis best =
        recognizer.Recognize(recording, speechOf(recording), scorer, index, speech::DecoderSettings{}).path;
    const double recognize = Seconds(recognizeStart);
    std::vector<double> searches;
    for (std::size_t run = 0; run < kSearchRuns; ++run) {
        const auto searchStart = std::chrono::steady_clock::now();
        recognizer.Recognize(recording, speechOf(recording), scorer, speech::TemplateIndex{},
                             speech::DecoderSettings{});
        searches.push_back(Seconds(searchStart));
    }
    std::nth_element(searches.begin(), searches.begin() + kSearchRuns / 2, searches.end());
    const double search = searches[kSearchRuns / 2];
    std::printf(
        "%u words: build %.3f s, recognise %.3f s (search %.4f s, the rest template rescoring), %u frames, "
        "answer %s (expected W%u)\n",
        words, build, recognize, search, recording.frameCount,
        best.words.size() == 3 ? best.words[1].word.c_str() : "-", words / 2);
    return 0;
}
