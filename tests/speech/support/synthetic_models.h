#pragma once
// Small synthetic phone sets and features with known answers: sil and two
// phones "a" and "b", four emitting states each, whose frames are drawn
// around well-separated means.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "features/feature_file.h"
#include "grammar/word_network.h"
#include "models/model_files.h"
#include "models/model_inventory.h"

namespace synthetic {

constexpr std::uint32_t kDimension = 3;

// Models sp (0), sil (1, states 1-4), a (2, states 5-8), b (3, states 9-12),
// with the lexicon given.
inline speech::ModelInventory Inventory(const speech::Lexicon& lexicon = {}) {
    speech::ModelInventory inventory;
    inventory.models = {{"sp", 0, {}}, {"sil", 1, {1, 2, 3, 4}}, {"a", 2, {5, 6, 7, 8}}, {"b", 3, {9, 10, 11, 12}}};
    for (std::uint32_t m = 0; m < 4; ++m) inventory.modelByPhone[inventory.models[m].phone] = m;
    inventory.lexicon = lexicon;
    return inventory;
}

// Left-to-right matrices: stay or move on with equal probability; sp a tee.
inline speech::TransitionSet Transitions() {
    speech::TransitionSet transitions{{{2, {0, 1, 0, 0}}}};
    for (int m = 1; m < 4; ++m) {
        speech::TransitionSet::Matrix matrix{6, std::vector<double>(36, 0.0)};
        matrix.probabilities[1] = 1.0;
        for (int i = 1; i <= 4; ++i) matrix.probabilities[i * 6 + i] = matrix.probabilities[i * 6 + i + 1] = 0.5;
        transitions.matrices.push_back(matrix);
    }
    return transitions;
}

// Every state at `mean` with `variance` in every dimension.
inline speech::StateSet FlatStates(float mean = 0.0f, float variance = 1.0f) {
    const speech::Gaussian gaussian{1.0f, std::vector<float>(kDimension, mean),
                                    std::vector<float>(kDimension, variance)};
    speech::StateSet states{kDimension, std::vector<std::vector<speech::Gaussian>>(13, {gaussian})};
    states.states[0].clear();
    return states;
}

// States at the means Frames draws around: sil at 0, a at +6, b at -6.
inline speech::StateSet SeparatedStates() {
    speech::StateSet states = FlatStates();
    for (std::uint32_t s = 5; s <= 12; ++s) states.states[s].front().mean.assign(kDimension, s <= 8 ? 6.0f : -6.0f);
    return states;
}

// !SENT_START < words > !SENT_END, as the grammar compiler builds it: null
// nodes around the loop of word alternatives.
inline speech::WordNetwork LoopNetwork(const std::vector<std::string>& words) {
    // Nodes: start, !SENT_START, into the loop, out of it, !SENT_END, end.
    speech::WordNetwork network{
        {{""}, {"!SENT_START"}, {""}, {""}, {"!SENT_END"}, {""}}, {{0, 1}, {1, 2}, {3, 2}, {3, 4}, {4, 5}}, 0, 5};
    for (const auto& word : words) {
        const auto node = std::uint32_t(network.nodes.size());
        network.nodes.push_back({word});
        network.arcs.push_back({2, node});
        network.arcs.push_back({node, 3});
    }
    return network;
}

// Frames around the mean of each phone of `phones`, `framesPerPhone` each:
// sil at 0, a at +6, b at -6 in every dimension, unit spread. The first
// value stands for the energy.
inline speech::FeatureMatrix Frames(const std::vector<std::string>& phones, std::uint32_t framesPerPhone,
                                    std::mt19937& random) {
    std::normal_distribution<float> noise(0.0f, 1.0f);
    speech::FeatureMatrix features;
    features.dimension = kDimension;
    features.framePeriod100ns = 100000;
    features.energyIndex = 0;
    for (const auto& phone : phones) {
        const float mean = phone == "a" ? 6.0f : phone == "b" ? -6.0f : 0.0f;
        for (std::uint32_t t = 0; t < framesPerPhone; ++t)
            for (std::uint32_t d = 0; d < kDimension; ++d) features.values.push_back(mean + noise(random));
        features.frameCount += framesPerPhone;
    }
    return features;
}

}  // namespace synthetic
