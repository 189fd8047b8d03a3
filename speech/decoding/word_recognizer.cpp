#include "decoding/word_recognizer.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "decoding/template_rescoring.h"

namespace speech {
namespace {

// How many of the search's best paths template rescoring chooses among.
// Warping costs far more than the search, and on the developers' recordings
// the word chosen among all paths was never ranked below the thirteenth.
constexpr std::size_t kRescoredCandidates = 16;

// Average over frames [first, last) of the best log-likelihood any of
// `states` gives each frame: the score of a free loop through those states
// (kLogZero without states: then nothing explains the frames).
double BestStateAverage(const FeatureMatrix& features, std::uint32_t first, std::uint32_t last,
                        const std::vector<std::uint32_t>& states, const StateScorer& scorer) {
    if (states.empty()) return kLogZero;
    if (first >= last) return 0.0;
    double total = 0.0;
    for (std::uint32_t t = first; t < last; ++t) {
        double best = kLogZero;
        for (const auto state : states) best = std::max(best, scorer.LogLikelihood(state, features.Frame(t)));
        total += best;
    }
    return total / (last - first);
}

}  // namespace

bool WordRecognizer::Build(const WordNetwork& network, const ModelInventory& inventory,
                           const TransitionSet& transitions, std::string& error) {
    lexicon_ = inventory.lexicon;
    const PhoneModel* silence = inventory.Find(kSilenceModel);
    silenceStates_ = silence != nullptr ? silence->states : std::vector<std::uint32_t>{};
    std::vector<std::uint32_t> branchOfNode;
    const WordNetwork sentences = OneWordSentences(network, branchOfNode);
    if (sentences.nodes.empty()) return decoder_.Build(network, inventory, transitions, error);
    return decoder_.Build(sentences, branchOfNode, inventory, transitions, error);
}

Recognition WordRecognizer::Recognize(const FeatureMatrix& features, const FrameSpan& speech, const StateScorer& scorer,
                                      const TemplateIndex& templates, const DecoderSettings& settings) const {
    std::vector<double> bestEmissions;
    std::vector<Hypothesis> candidates = decoder_.Decode(features, scorer, settings, &bestEmissions);
    if (candidates.empty()) return {};
    if (candidates.size() > kRescoredCandidates) candidates.resize(kRescoredCandidates);
    const TemplateChoice choice = ChooseByTemplates(candidates, features, speech, templates, lexicon_);
    Recognition result{candidates[choice.best], 0.0, std::nullopt};
    const std::vector<DecodedWord>& words = result.path.words;
    if (!result.path.complete || words.empty()) return result;

    // The word is the middle one of a one-word sentence, else the whole path.
    const bool oneWord = words.size() == 3;
    const std::uint32_t first = oneWord ? words[1].firstFrame : 0;
    const std::uint32_t last = oneWord ? words[1].lastFrame + 1 : features.frameCount;
    ConfidenceEvidence evidence;
    if (oneWord) {
        evidence.wordLogLikelihood = words[1].score;
    } else {
        for (const auto& word : words)
            evidence.wordLogLikelihood += word.score * (word.lastFrame + 1 - word.firstFrame);
        evidence.wordLogLikelihood /= features.frameCount;
    }
    // The free loop through every state of the network, over the word's frames.
    evidence.garbageLogLikelihood =
        first < last
            ? std::accumulate(bestEmissions.begin() + first, bestEmissions.begin() + last, 0.0) / double(last - first)
            : 0.0;
    const double penalties = settings.wordInsertionPenalty * double(words.size() - 1);
    evidence.pathLogLikelihood = (result.path.score - penalties) / features.frameCount;
    evidence.silenceLogLikelihood = BestStateAverage(features, 0, features.frameCount, silenceStates_, scorer);
    evidence.templateDistance = choice.distance;
    if (choice.nearestSteps.all > 0)
        evidence.diagonalShare = double(choice.nearestSteps.diagonal) / double(choice.nearestSteps.all);
    else if (std::isfinite(choice.distance))
        evidence.diagonalShare = 1.0;  // one frame against one: nothing to stretch
    evidence.speechFrames = speech.end - speech.begin;
    evidence.templateFrames = choice.templateFrames;
    evidence.templates = choice.templates;
    result.confidence = Confidence(evidence);
    result.evidence = evidence;
    return result;
}

}  // namespace speech
