#pragma once
// Token-passing Viterbi search of a word network, each word expanded through
// the lexicon into the HMM states of every one of its pronunciations.

#include <cstdint>
#include <string>
#include <vector>

#include "features/feature_file.h"
#include "grammar/word_network.h"
#include "models/hmm_chain.h"
#include "models/model_files.h"
#include "models/model_inventory.h"
#include "models/state_scorer.h"

namespace speech {

struct DecoderSettings {
    double stateBeam = 300.0;        // state tokens this far below the frame's best are dropped
    double wordEndBeam = 150.0;      // word ends this far below the frame's best word end are dropped
    double wordEntryBeam = 150.0;    // word entries this far below the frame's best entry are dropped
    std::uint32_t maxWordEnds = 50;  // word ends kept per frame, best first
};

struct DecodedWord {
    std::string word;
    std::uint32_t firstFrame = 0;
    std::uint32_t lastFrame = 0;
    double score = 0.0;  // average acoustic log-likelihood per frame
};

class Decoder {
public:
    // Expands `network`; false with `error` naming a word missing from the
    // lexicon or a phone without a model.
    bool Build(const WordNetwork& network, const ModelInventory& inventory, const TransitionSet& transitions,
               std::string& error);

    // The words of the best path through the network, in order; empty when no
    // path fits the frames.
    std::vector<DecodedWord> Decode(const FeatureMatrix& features, const StateScorer& scorer,
                                    const DecoderSettings& settings) const;

    // The state numbers the expanded network uses.
    const std::vector<std::uint32_t>& UsedStates() const { return usedStates_; }

private:
    struct WordInstance {
        std::uint32_t node = 0;
        StateChain chain;
    };
    struct WordNode {
        std::string word;
        std::vector<std::uint32_t> instances;
        std::vector<std::uint32_t> successors;  // word nodes entered after this one
        bool final = false;                     // the network may end after this word
    };

    std::vector<WordNode> words_;  // by network node (null nodes hold no instance)
    std::vector<std::uint32_t> initialWords_;
    std::vector<WordInstance> instances_;
    std::vector<std::uint32_t> usedStates_;
};

}  // namespace speech
