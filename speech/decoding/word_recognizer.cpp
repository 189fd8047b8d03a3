#include "decoding/word_recognizer.h"

#include "decoding/template_rescoring.h"

namespace speech {

bool WordRecognizer::Build(const WordNetwork& network, const ModelInventory& inventory,
                           const TransitionSet& transitions, std::string& error) {
    lexicon_ = inventory.lexicon;
    const WordNetwork sentences = OneWordSentences(network);
    return decoder_.Build(sentences.nodes.empty() ? network : sentences, inventory, transitions, error);
}

Hypothesis WordRecognizer::Recognize(const FeatureMatrix& features, const FrameSpan& speech, const StateScorer& scorer,
                                     const TemplateSet& templates, const DecoderSettings& settings) const {
    const std::vector<Hypothesis> candidates = decoder_.Decode(features, scorer, settings);
    if (candidates.empty()) return {};
    return candidates[ChooseByTemplates(candidates, features, speech, templates, lexicon_)];
}

}  // namespace speech
