#include "decoding/decoder.h"

#include <algorithm>
#include <functional>

namespace speech {
namespace {

// Log-likelihood charged for every word a path enters: without it a path
// gains by splitting one spoken word into several short ones.
constexpr double kWordInsertionPenalty = -150.0;

struct Token {
    double score = kLogZero;
    double acoustic = 0.0;      // acoustic log-likelihood of the current word so far
    std::uint32_t start = 0;    // first frame of the current word
    std::int32_t history = -1;  // the word end before the current word
};

// A word that ended at a frame on some surviving path.
struct WordEnd {
    std::uint32_t node = 0;
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    double score = kLogZero;
    double acoustic = 0.0;
    std::int32_t history = -1;
};

}  // namespace

bool Decoder::Build(const WordNetwork& network, const ModelInventory& inventory, const TransitionSet& transitions,
                    std::string& error) {
    words_.assign(network.nodes.size(), WordNode{});
    instances_.clear();
    initialWords_.clear();
    usedStates_.clear();
    if (network.nodes.empty() || network.start >= network.nodes.size() || network.end >= network.nodes.size()) {
        error = "the word network has no valid start and end node";
        return false;
    }
    for (std::uint32_t n = 0; n < network.nodes.size(); ++n) {
        const std::string& word = network.nodes[n].word;
        words_[n].word = word;
        if (word.empty()) continue;
        const auto found = inventory.lexicon.find(word);
        if (found == inventory.lexicon.end()) {
            error = "word " + word + " is not in the lexicon";
            return false;
        }
        for (const auto& pronunciation : found->second) {
            WordInstance instance;
            instance.node = n;
            if (!BuildStateChain(pronunciation, inventory, transitions, instance.chain, error)) {
                error = "word " + word + ": " + error;
                return false;
            }
            if (instance.chain.states.empty()) continue;  // a pronunciation without sound
            words_[n].instances.push_back(std::uint32_t(instances_.size()));
            usedStates_.insert(usedStates_.end(), instance.chain.states.begin(), instance.chain.states.end());
            instances_.push_back(std::move(instance));
        }
    }
    std::sort(usedStates_.begin(), usedStates_.end());
    usedStates_.erase(std::unique(usedStates_.begin(), usedStates_.end()), usedStates_.end());

    for (const auto& arc : network.arcs) {
        if (arc.from >= network.nodes.size() || arc.to >= network.nodes.size()) {
            error = "the word network has an arc to a missing node";
            return false;
        }
    }
    const auto outgoing = OutgoingArcs(network);
    for (std::uint32_t n = 0; n < network.nodes.size(); ++n) {
        if (words_[n].word.empty()) continue;
        const WordSuccessors successors = FollowingWords(network, outgoing, n);
        words_[n].successors = successors.words;
        words_[n].final = successors.reachesEnd || n == network.end;
    }
    if (!network.nodes[network.start].word.empty()) {
        initialWords_.push_back(network.start);
    } else {
        initialWords_ = FollowingWords(network, outgoing, network.start).words;
    }
    return true;
}

std::vector<DecodedWord> Decoder::Decode(const FeatureMatrix& features, const StateScorer& scorer,
                                         const DecoderSettings& settings) const {
    const std::uint32_t frames = features.frameCount;
    if (frames == 0) return {};
    std::vector<double> emission(usedStates_.empty() ? 0 : usedStates_.back() + 1, kLogZero);
    std::vector<std::vector<Token>> tokens(instances_.size()), nextTokens(instances_.size());
    for (std::size_t i = 0; i < instances_.size(); ++i) {
        tokens[i].assign(instances_[i].chain.states.size(), Token{});
        nextTokens[i] = tokens[i];
    }
    std::vector<Token> entry(words_.size()), nextEntry(words_.size());
    for (const auto node : initialWords_) entry[node] = Token{0.0, 0.0, 0, -1};

    std::vector<WordEnd> wordEnds;
    std::vector<WordEnd> candidates;
    std::int32_t bestFinal = -1;
    for (std::uint32_t t = 0; t < frames; ++t) {
        const float* frame = features.Frame(t);
        for (const auto state : usedStates_) emission[state] = scorer.LogLikelihood(state, frame);

        double best = kLogZero;
        for (std::size_t i = 0; i < instances_.size(); ++i) {
            const StateChain& chain = instances_[i].chain;
            std::vector<Token>& next = nextTokens[i];
            std::fill(next.begin(), next.end(), Token{});
            const Token& enter = entry[instances_[i].node];
            if (enter.score != kLogZero)
                for (const auto& arc : chain.entries)
                    if (enter.score + arc.logProbability > next[arc.to].score) {
                        next[arc.to] = enter;
                        next[arc.to].score += arc.logProbability;
                    }
            const std::vector<Token>& current = tokens[i];
            for (const auto& arc : chain.arcs) {
                const Token& from = current[arc.from];
                if (from.score == kLogZero) continue;
                if (from.score + arc.logProbability > next[arc.to].score) {
                    next[arc.to] = from;
                    next[arc.to].score += arc.logProbability;
                }
            }
            for (std::size_t p = 0; p < next.size(); ++p) {
                if (next[p].score == kLogZero) continue;
                const double b = emission[chain.states[p]];
                next[p].score += b;
                next[p].acoustic += b;
                best = std::max(best, next[p].score);
            }
        }
        std::swap(tokens, nextTokens);
        for (auto& instanceTokens : tokens)
            for (auto& token : instanceTokens)
                if (token.score < best - settings.stateBeam) token = Token{};

        // Word ends of this frame, best first, within the word-end beam.
        candidates.clear();
        for (std::size_t i = 0; i < instances_.size(); ++i) {
            const StateChain& chain = instances_[i].chain;
            WordEnd end;
            for (const auto& arc : chain.exits) {
                const Token& from = tokens[i][arc.from];
                if (from.score == kLogZero || from.score + arc.logProbability <= end.score) continue;
                end = WordEnd{instances_[i].node, from.start,  t, from.score + arc.logProbability,
                              from.acoustic,      from.history};
            }
            if (end.score != kLogZero) candidates.push_back(end);
        }
        std::sort(candidates.begin(), candidates.end(),
                  [](const WordEnd& a, const WordEnd& b) { return a.score > b.score; });
        std::fill(nextEntry.begin(), nextEntry.end(), Token{});
        double bestEntry = kLogZero;
        for (std::size_t c = 0; c < candidates.size() && c < settings.maxWordEnds; ++c) {
            if (candidates[c].score < candidates.front().score - settings.wordEndBeam) break;
            const std::int32_t link = std::int32_t(wordEnds.size());
            wordEnds.push_back(candidates[c]);
            const WordNode& node = words_[candidates[c].node];
            if (t + 1 == frames) {
                if (node.final && (bestFinal < 0 || candidates[c].score > wordEnds[std::size_t(bestFinal)].score))
                    bestFinal = link;
                continue;
            }
            const double score = candidates[c].score + kWordInsertionPenalty;
            for (const auto successor : node.successors) {
                if (score <= nextEntry[successor].score) continue;
                nextEntry[successor] = Token{score, 0.0, t + 1, link};
                bestEntry = std::max(bestEntry, score);
            }
        }
        for (auto& token : nextEntry)
            if (token.score < bestEntry - settings.wordEntryBeam) token = Token{};
        std::swap(entry, nextEntry);
    }

    std::vector<DecodedWord> path;
    for (std::int32_t link = bestFinal; link >= 0; link = wordEnds[std::size_t(link)].history) {
        const WordEnd& end = wordEnds[std::size_t(link)];
        const double length = double(end.end - end.start + 1);
        path.push_back({words_[end.node].word, end.start, end.end, end.acoustic / length});
    }
    std::reverse(path.begin(), path.end());
    return path;
}

}  // namespace speech
