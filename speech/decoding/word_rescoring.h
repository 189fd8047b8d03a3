#pragma once
// Rescoring of the one-word paths of a word network ("!SENT_START W
// !SENT_END"): each path's HMM score, aligned by Viterbi over the whole
// recording, is combined with how closely the recording's speech matches the
// recordings the word was trained on (dynamic time warping against the word
// templates), and the best combination wins.

#include <string>
#include <vector>

#include "decoding/decoder.h"
#include "decoding/word_templates.h"

namespace speech {

class WordRescorer {
public:
    // Expands every path of three words (first word, one word, last word) of
    // `network` through every pronunciation. False with `error` as
    // Decoder::Build.
    bool Build(const WordNetwork& network, const ModelInventory& inventory, const TransitionSet& transitions,
               std::string& error);

    // The best one-word path by combined score; empty when the network has
    // none or none fits. `templates` may be empty: then the HMM score alone
    // decides.
    std::vector<DecodedWord> Rescore(const FeatureMatrix& features, const StateScorer& scorer,
                                     const TemplateSet& templates) const;

private:
    struct Path {
        std::vector<std::string> words;         // three words
        std::vector<std::string> templateKeys;  // pronunciations of the middle word
        StateChain chain;
        std::vector<std::uint32_t> wordOfLabel;  // index into `words` for each phone of the chain
    };
    std::vector<Path> paths_;
    std::vector<std::uint32_t> usedStates_;
};

}  // namespace speech
