#include "decoding/word_recognizer.h"

#include "decoding/template_rescoring.h"

namespace speech {
namespace {

// How many of the search's best paths template rescoring chooses among.
// Warping costs far more than the search, and on the developers' recordings
// the word chosen among all paths was never ranked below the thirteenth.
constexpr std::size_t kRescoredCandidates = 16;

}  // namespace

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
    std::vector<Hypothesis> candidates = decoder_.Decode(features, scorer, settings);
    if (candidates.empty()) return {};
    if (candidates.size() > kRescoredCandidates) candidates.resize(kRescoredCandidates);
    return candidates[ChooseByTemplates(candidates, features, speech, templates, lexicon_)];
}

}  // namespace speech
