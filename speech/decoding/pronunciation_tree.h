#pragma once
// The states of every pronunciation of one word, joined into one network for
// the search: pronunciations that begin alike share the positions of their
// common beginning, so that the search steps through it once. A position is
// shared only where the Viterbi recursion gives it the same token in every
// pronunciation: the same state, reached by the same arcs with the same
// probabilities from positions that are themselves shared (or from the
// word's entry). The best path through the tree is then the best path
// through the separate pronunciations, ties settled alike.

#include <cstdint>
#include <limits>
#include <vector>

#include "models/hmm_chain.h"

namespace speech {

struct PronunciationTree {
    static constexpr std::uint32_t kEntry = std::numeric_limits<std::uint32_t>::max();
    struct Arc {
        std::uint32_t position = kEntry;  // the other end of the arc: a position, or kEntry for the word's entry
        double logProbability = 0.0;
    };
    std::vector<std::uint32_t> states;  // the state number of each position
    // The arcs into each position, in the order in which a tie between them
    // goes to the first.
    std::vector<std::vector<Arc>> incoming;
    std::vector<Arc> exits;  // the positions the word may end at, and the arc out
};

// The tree of `chains`, the pronunciations in the lexicon's order.
PronunciationTree JoinPronunciations(const std::vector<StateChain>& chains);

}  // namespace speech
