#pragma once
// A sequence of phone models flattened into one left-to-right network of
// emitting states: the composite HMM of a training label line, or of one
// pronunciation of a word in the decoder. Models without emitting states
// (sp) are tee models: their entry-to-exit probability joins the model
// before them to the one after them directly.

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "models/model_files.h"
#include "models/model_inventory.h"

namespace speech {

constexpr double kLogZero = -std::numeric_limits<double>::infinity();

// One transition probability of a model's matrix that an arc of the chain uses.
struct TransitionUse {
    std::uint32_t matrix = 0;
    std::uint16_t from = 0;
    std::uint16_t to = 0;
};

struct ChainArc {
    static constexpr std::uint32_t kOutside = std::numeric_limits<std::uint32_t>::max();
    std::uint32_t from = kOutside;  // chain position, or kOutside for the chain's entry
    std::uint32_t to = kOutside;    // chain position, or kOutside for the chain's exit
    double logProbability = 0.0;
    std::uint32_t usesBegin = 0;  // range of `uses` whose product is this arc's probability
    std::uint32_t usesEnd = 0;
};

struct StateChain {
    std::vector<std::uint32_t> states;  // the state number of each position
    std::vector<std::uint32_t> label;   // index of the model in the label sequence, per position
    std::vector<ChainArc> entries;      // from kOutside
    std::vector<ChainArc> arcs;         // between positions, sorted by `from`
    std::vector<ChainArc> exits;        // to kOutside
    std::vector<TransitionUse> uses;
};

// Builds the chain of `phones`. False with `error` naming a phone without a
// model, a model whose transition matrix is missing or does not fit it, or a
// run of more than 16 tee models.
bool BuildStateChain(const std::vector<std::string>& phones, const ModelInventory& inventory,
                     const TransitionSet& transitions, StateChain& chain, std::string& error);

// Log of a probability; 0 gives kLogZero.
double SafeLog(double probability);

}  // namespace speech
