#pragma once
// Recognition of one recording against a word network: the decoder's search,
// then template rescoring of the paths it found, then the confidence in the
// chosen word. Every recording holds one spoken word, so when the network has
// one-word sentences the search runs over those alone (OneWordSentences: each
// middle word keeps its own best path to the end, and rescoring chooses among
// them); a network without one is searched whole, and its best path is the
// answer.

#include <optional>
#include <string>
#include <vector>

#include "decoding/confidence.h"
#include "decoding/decoder.h"
#include "decoding/template_rescoring.h"

namespace speech {

struct Recognition {
    Hypothesis path;                             // no words when nothing was decoded
    double confidence = 0.0;                     // in [0, 1]; 0 for a path that does not reach the network's end
    std::optional<ConfidenceEvidence> evidence;  // what the confidence was computed from
};

class WordRecognizer {
public:
    // False with `error` as Decoder::Build.
    bool Build(const WordNetwork& network, const ModelInventory& inventory, const TransitionSet& transitions,
               std::string& error);

    // The chosen path and the confidence in it. `speech` is where the
    // recording's speech lies (PrepareRecordingFeatures). `templates` may be
    // empty: then the HMM scores alone decide.
    Recognition Recognize(const FeatureMatrix& features, const FrameSpan& speech, const StateScorer& scorer,
                          const TemplateIndex& templates, const DecoderSettings& settings) const;

    const std::vector<std::uint32_t>& UsedStates() const { return decoder_.UsedStates(); }

private:
    Decoder decoder_;
    Lexicon lexicon_;
    std::vector<std::uint32_t> silenceStates_;
};

}  // namespace speech
