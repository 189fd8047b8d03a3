#include "decoding/word_recognizer.h"

#include "decoding/template_rescoring.h"

namespace speech {

bool WordRecognizer::Build(const WordNetwork& network, const ModelInventory& inventory,
                           const TransitionSet& transitions, std::string& error) {
    lexicon_ = inventory.lexicon;
    std::vector<std::uint32_t> branchOfNode;
    const WordNetwork sentences = OneWordSentences(network, branchOfNode);
    if (sentences.nodes.empty()) return decoder_.Build(network, inventory, transitions, error);
    return decoder_.Build(sentences, branchOfNode, inventory, transitions, error);
}

Hypothesis WordRecognizer::Recognize(const FeatureMatrix& features, const FrameSpan& speech, const StateScorer& scorer,
                                     const TemplateSet& templates, const DecoderSettings& settings) const {
    const std::vector<Hypothesis> candidates = decoder_.Decode(features, scorer, settings);
    if (candidates.empty()) return {};
    return candidates[ChooseByTemplates(candidates, features, speech, templates, lexicon_)];
}

}  // namespace speech
