#pragma once
// Token-passing Viterbi search of a word network, each word expanded through
// the lexicon into the HMM states of its pronunciations, joined into one
// pronunciation tree per word (the beginning they share is searched once).
// Every frame takes three steps: tokens move through the states of the words
// (the Viterbi step, with the state beam), the words that end are collected
// (word-end beam, at most `maxWordEnds`), and their tokens enter the words
// that may follow, through null nodes (word insertion penalty, word-entry
// beam). The search is linear in the network's size: null nodes are passed
// as nodes, never expanded into word-to-word successor lists. The network's
// nodes may be split into branches: the word-end and word-entry beams and the
// word-end limit then compare tokens of one branch only, so that each branch
// keeps its own best path (the one-word sentences of OneWordSentences, for
// rescoring). The state beam always compares the tokens of one word.

#include <cstdint>
#include <string>
#include <vector>

#include "decoding/pronunciation_tree.h"
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
    // Log-likelihood charged for every word a path enters after its first:
    // without it a path gains by splitting one spoken word into several
    // short ones.
    double wordInsertionPenalty = -150.0;
};

struct DecodedWord {
    std::string word;
    std::uint32_t firstFrame = 0;
    std::uint32_t lastFrame = 0;
    double score = 0.0;  // average acoustic log-likelihood per frame
};

// One path of the search.
struct Hypothesis {
    std::vector<DecodedWord> words;
    double score = 0.0;     // log-likelihood: emissions, transitions and word insertion penalties
    bool complete = false;  // reaches the network's end at the last frame
};

class Decoder {
public:
    // Expands `network`; false with `error` naming a word missing from the
    // lexicon or a phone without a model, or when null nodes form a cycle.
    bool Build(const WordNetwork& network, const ModelInventory& inventory, const TransitionSet& transitions,
               std::string& error);
    // The same, the network split into branches: `branchOfNode` holds a
    // branch number (from 0) for every node.
    bool Build(const WordNetwork& network, const std::vector<std::uint32_t>& branchOfNode,
               const ModelInventory& inventory, const TransitionSet& transitions, std::string& error);

    // Every path that reaches the network's end at the last frame and
    // survives the beams (one per word end kept at that frame), best first.
    // When none does, the best partial path alone: the best token of the last
    // frame, its word ending there. Empty without frames. With
    // `bestEmissions`, that receives for every frame the best log-likelihood
    // any state of the network gives it: a free loop through every state.
    std::vector<Hypothesis> Decode(const FeatureMatrix& features, const StateScorer& scorer,
                                   const DecoderSettings& settings, std::vector<double>* bestEmissions = nullptr) const;

    // The state numbers the expanded network uses.
    const std::vector<std::uint32_t>& UsedStates() const { return usedStates_; }

private:
    struct TokenPath;
    struct Token;
    struct WordEnd;
    struct Search;
    // The pronunciation tree of one word, laid out in the search's token
    // arrays: the slot `entry` holds the token entering the word at the
    // current frame, the tree's positions follow it up to `end`.
    struct WordStates {
        std::uint32_t node = 0;
        std::uint32_t entry = 0;
        std::uint32_t end = 0;
        std::uint32_t exitsBegin = 0;  // its range of `exits_`
        std::uint32_t exitsEnd = 0;
    };
    struct Exit {
        std::uint32_t slot = 0;
        double logProbability = 0.0;
    };
    // A slot's arcs are the ones between the end of the previous slot's and
    // its own `arcsEnd`.
    struct Slot {
        std::uint32_t state = 0;  // the state it emits with (0 for an entry slot)
        std::uint32_t arcsEnd = 0;
    };
    struct SlotArc {
        double logProbability = 0.0;
        std::uint32_t from = 0;  // the slot it comes from
    };
    struct Node {
        std::string word;                 // empty for a null node
        std::int32_t states = -1;         // its WordStates, -1 for a null node or a word without sound
        std::vector<std::uint32_t> next;  // the nodes it has arcs to
        std::uint32_t branch = 0;
        bool leadsToWord = false;  // a word may follow, through null nodes
        bool final = false;        // the network may end after it, through null nodes
    };

    void AddWordStates(std::uint32_t node, const PronunciationTree& tree);
    void PropagateThroughStates(Search& search, double stateBeam) const;
    void CollectWordEnds(Search& search, std::uint32_t frame, bool last, const DecoderSettings& settings) const;
    void EnterSuccessors(Search& search, std::uint32_t frame, const DecoderSettings& settings) const;
    void PassThroughNullNodes(std::vector<Token>& entry) const;
    std::vector<DecodedWord> TraceBack(const Search& search, std::int32_t link) const;

    std::vector<Node> nodes_;  // by network node
    std::vector<std::uint32_t> nullOrder_;
    std::uint32_t start_ = 0;
    std::uint32_t branches_ = 1;
    std::vector<WordStates> words_;
    std::vector<Exit> exits_;
    std::vector<Slot> slots_;
    std::vector<SlotArc> arcs_;  // the arcs into each slot, slot by slot
    std::vector<std::uint32_t> usedStates_;
};

}  // namespace speech
