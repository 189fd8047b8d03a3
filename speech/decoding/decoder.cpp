#include "decoding/decoder.h"

#include <algorithm>

namespace speech {

// What a token carries besides its score: the current word so far.
struct Decoder::TokenPath {
    double acoustic = 0.0;      // acoustic log-likelihood of the current word so far
    std::uint32_t start = 0;    // first frame of the current word
    std::int32_t history = -1;  // the word end before the current word
};

struct Decoder::Token {
    double score = kLogZero;
    TokenPath path;
};

// A word that ended at a frame on some surviving path.
struct Decoder::WordEnd {
    std::uint32_t node = 0;
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    double score = kLogZero;
    double acoustic = 0.0;
    std::int32_t history = -1;
};

// The tokens of the word states are held by slot (see WordStates): scores
// apart from the rest, so that the Viterbi step reads a dense array and
// copies a token's path only when the token wins.
struct Decoder::Search {
    std::vector<double> emission;             // by state number, at the current frame
    std::vector<double> scores, nextScores;   // by slot
    std::vector<TokenPath> paths, nextPaths;  // by slot
    std::vector<std::uint8_t> entered;        // by word: a token has entered it
    std::vector<Token> entry;                 // by node: the token entering it at the current frame
    std::vector<WordEnd> wordEnds;            // every word end kept so far
    std::vector<WordEnd> candidates;          // the current frame's word ends before the beams
    std::size_t frameEnds = 0;                // the current frame's word ends start here
    std::vector<double> branchBest;           // by branch: the best word end or entry
    std::vector<std::uint32_t> branchEnds;    // by branch: word ends kept at the current frame
};

namespace {

// Keeps `token`, moved along an arc of `logProbability`, in `target` when it
// beats what `target` holds.
template <typename T>
void Offer(const T& token, double logProbability, T& target) {
    if (token.score + logProbability <= target.score) return;
    target = token;
    target.score += logProbability;
}

}  // namespace

bool Decoder::Build(const WordNetwork& network, const ModelInventory& inventory, const TransitionSet& transitions,
                    std::string& error) {
    return Build(network, std::vector<std::uint32_t>(network.nodes.size(), 0), inventory, transitions, error);
}

bool Decoder::Build(const WordNetwork& network, const std::vector<std::uint32_t>& branchOfNode,
                    const ModelInventory& inventory, const TransitionSet& transitions, std::string& error) {
    nodes_.assign(network.nodes.size(), Node{});
    words_.clear();
    exits_.clear();
    slots_.clear();
    arcs_.clear();
    usedStates_.clear();
    if (network.nodes.empty() || network.start >= network.nodes.size() || network.end >= network.nodes.size()) {
        error = "the word network has no valid start and end node";
        return false;
    }
    for (const auto& arc : network.arcs) {
        if (arc.from >= network.nodes.size() || arc.to >= network.nodes.size()) {
            error = "the word network has an arc to a missing node";
            return false;
        }
    }
    const auto outgoing = OutgoingArcs(network);
    if (!OrderNullNodes(network, outgoing, nullOrder_)) {
        error = "the word network has a cycle of null nodes";
        return false;
    }
    if (branchOfNode.size() != network.nodes.size()) {
        error = "the word network's branches do not match its nodes";
        return false;
    }
    start_ = network.start;
    branches_ = 1;
    for (std::uint32_t n = 0; n < network.nodes.size(); ++n) {
        const std::string& word = network.nodes[n].word;
        nodes_[n].word = word;
        nodes_[n].next = outgoing[n];
        nodes_[n].branch = branchOfNode[n];
        branches_ = std::max(branches_, branchOfNode[n] + 1);
        if (word.empty()) continue;
        const auto found = inventory.lexicon.find(word);
        if (found == inventory.lexicon.end()) {
            error = "word " + word + " is not in the lexicon";
            return false;
        }
        std::vector<StateChain> chains;
        for (const auto& pronunciation : found->second) {
            StateChain chain;
            if (!BuildStateChain(pronunciation, inventory, transitions, chain, error)) {
                error = "word " + word + ": " + error;
                return false;
            }
            if (!chain.states.empty()) chains.push_back(std::move(chain));  // else a pronunciation without sound
        }
        if (!chains.empty()) AddWordStates(n, JoinPronunciations(chains));
    }
    std::sort(usedStates_.begin(), usedStates_.end());
    usedStates_.erase(std::unique(usedStates_.begin(), usedStates_.end()), usedStates_.end());

    // What lies beyond each node through null nodes: null nodes latest first,
    // so that every null node's successors are settled before it.
    std::vector<bool> nullLeadsToWord(nodes_.size(), false), nullReachesEnd(nodes_.size(), false);
    auto beyond = [&](std::uint32_t n, bool& leadsToWord, bool& reachesEnd) {
        for (const auto next : nodes_[n].next) {
            const bool isNull = nodes_[next].word.empty();
            leadsToWord = leadsToWord || !isNull || nullLeadsToWord[next];
            reachesEnd = reachesEnd || (isNull && nullReachesEnd[next]);
        }
    };
    for (auto n = nullOrder_.rbegin(); n != nullOrder_.rend(); ++n) {
        nullReachesEnd[*n] = *n == network.end;
        bool leadsToWord = false, reachesEnd = nullReachesEnd[*n];
        beyond(*n, leadsToWord, reachesEnd);
        nullLeadsToWord[*n] = leadsToWord;
        nullReachesEnd[*n] = reachesEnd;
    }
    for (std::uint32_t n = 0; n < nodes_.size(); ++n) {
        if (nodes_[n].word.empty()) continue;
        nodes_[n].final = n == network.end;
        beyond(n, nodes_[n].leadsToWord, nodes_[n].final);
    }
    return true;
}

void Decoder::AddWordStates(std::uint32_t node, const PronunciationTree& tree) {
    WordStates word;
    word.node = node;
    word.entry = std::uint32_t(slots_.size());
    word.end = word.entry + 1 + std::uint32_t(tree.states.size());
    auto slotOf = [&](std::uint32_t position) {
        return position == PronunciationTree::kEntry ? word.entry : word.entry + 1 + position;
    };
    slots_.push_back({0, std::uint32_t(arcs_.size())});
    for (std::size_t p = 0; p < tree.states.size(); ++p) {
        for (const auto& arc : tree.incoming[p]) arcs_.push_back({arc.logProbability, slotOf(arc.position)});
        slots_.push_back({tree.states[p], std::uint32_t(arcs_.size())});
    }
    word.exitsBegin = std::uint32_t(exits_.size());
    for (const auto& exit : tree.exits) exits_.push_back({slotOf(exit.position), exit.logProbability});
    word.exitsEnd = std::uint32_t(exits_.size());
    usedStates_.insert(usedStates_.end(), tree.states.begin(), tree.states.end());
    nodes_[node].states = std::int32_t(words_.size());
    words_.push_back(word);
}

void Decoder::PassThroughNullNodes(std::vector<Token>& entry) const {
    for (const auto n : nullOrder_) {
        if (entry[n].score == kLogZero) continue;
        for (const auto next : nodes_[n].next) Offer(entry[n], 0.0, entry[next]);
    }
}

void Decoder::PropagateThroughStates(Search& search, double stateBeam) const {
    const Slot* slots = slots_.data();
    const SlotArc* arcs = arcs_.data();
    const double* emissions = search.emission.data();
    double* scores = search.scores.data();
    TokenPath* paths = search.paths.data();
    double* nextScores = search.nextScores.data();
    TokenPath* nextPaths = search.nextPaths.data();
    for (std::size_t w = 0; w < words_.size(); ++w) {
        const WordStates& word = words_[w];
        const Token& enter = search.entry[word.node];
        // Until a token first enters a word, it has none to step.
        if (enter.score != kLogZero) search.entered[w] = 1;
        if (!search.entered[w]) continue;
        scores[word.entry] = enter.score;
        paths[word.entry] = enter.path;
        // Each position takes its best predecessor, the first of equals; one
        // that no token reaches stays at kLogZero, its path unused.
        double best = kLogZero;
        std::uint32_t a = slots[word.entry].arcsEnd;
        for (std::uint32_t slot = word.entry + 1; slot < word.end; ++slot) {
            double top = kLogZero;
            std::uint32_t from = word.entry;
            for (const std::uint32_t end = slots[slot].arcsEnd; a < end; ++a) {
                const double candidate = scores[arcs[a].from] + arcs[a].logProbability;
                if (candidate > top) {
                    top = candidate;
                    from = arcs[a].from;
                }
            }
            const double emission = emissions[slots[slot].state];
            TokenPath path = paths[from];
            path.acoustic += emission;
            nextPaths[slot] = path;
            nextScores[slot] = top + emission;
            best = std::max(best, top + emission);
        }
        // The state beam compares the tokens of one word with that word's
        // best, so that the alignments of a word that ends later are not cut
        // off by the paths that have already left it.
        const double floor = best - stateBeam;
        for (std::uint32_t slot = word.entry + 1; slot < word.end; ++slot)
            nextScores[slot] = nextScores[slot] < floor ? kLogZero : nextScores[slot];
    }
    std::swap(search.scores, search.nextScores);
    std::swap(search.paths, search.nextPaths);
}

void Decoder::CollectWordEnds(Search& search, std::uint32_t frame, bool last, const DecoderSettings& settings) const {
    // A word end is kept when it can go somewhere: to a following word
    // before the last frame, to the network's end at the last frame.
    std::vector<WordEnd>& candidates = search.candidates;
    candidates.clear();
    for (std::uint32_t n = 0; n < nodes_.size(); ++n) {
        if (nodes_[n].states < 0 || (last ? !nodes_[n].final : !nodes_[n].leadsToWord)) continue;
        const WordStates& word = words_[std::size_t(nodes_[n].states)];
        WordEnd end;
        for (std::uint32_t e = word.exitsBegin; e < word.exitsEnd; ++e) {
            const double from = search.scores[exits_[e].slot];
            if (from == kLogZero || from + exits_[e].logProbability <= end.score) continue;
            const TokenPath& path = search.paths[exits_[e].slot];
            end = WordEnd{n, path.start, frame, from + exits_[e].logProbability, path.acoustic, path.history};
        }
        if (end.score != kLogZero) candidates.push_back(end);
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const WordEnd& a, const WordEnd& b) { return a.score > b.score; });
    search.frameEnds = search.wordEnds.size();
    std::vector<double>& best = search.branchBest;
    std::fill(best.begin(), best.end(), kLogZero);
    std::vector<std::uint32_t>& kept = search.branchEnds;
    std::fill(kept.begin(), kept.end(), 0);
    for (const WordEnd& end : candidates) {
        const std::uint32_t branch = nodes_[end.node].branch;
        if (best[branch] == kLogZero) best[branch] = end.score;
        if (kept[branch] == settings.maxWordEnds || end.score < best[branch] - settings.wordEndBeam) continue;
        ++kept[branch];
        search.wordEnds.push_back(end);
    }
}

void Decoder::EnterSuccessors(Search& search, std::uint32_t frame, const DecoderSettings& settings) const {
    std::vector<Token>& entry = search.entry;
    std::fill(entry.begin(), entry.end(), Token{});
    for (std::size_t link = search.frameEnds; link < search.wordEnds.size(); ++link) {
        const WordEnd& end = search.wordEnds[link];
        const Token token{end.score + settings.wordInsertionPenalty, {0.0, frame + 1, std::int32_t(link)}};
        for (const auto next : nodes_[end.node].next) Offer(token, 0.0, entry[next]);
    }
    PassThroughNullNodes(entry);
    std::vector<double>& best = search.branchBest;
    std::fill(best.begin(), best.end(), kLogZero);
    for (std::uint32_t n = 0; n < nodes_.size(); ++n)
        if (!nodes_[n].word.empty()) best[nodes_[n].branch] = std::max(best[nodes_[n].branch], entry[n].score);
    for (std::uint32_t n = 0; n < nodes_.size(); ++n)
        if (entry[n].score < best[nodes_[n].branch] - settings.wordEntryBeam) entry[n] = Token{};
}

std::vector<DecodedWord> Decoder::TraceBack(const Search& search, std::int32_t link) const {
    std::vector<DecodedWord> words;
    for (; link >= 0; link = search.wordEnds[std::size_t(link)].history) {
        const WordEnd& end = search.wordEnds[std::size_t(link)];
        const double length = double(end.end - end.start + 1);
        words.push_back({nodes_[end.node].word, end.start, end.end, end.acoustic / length});
    }
    std::reverse(words.begin(), words.end());
    return words;
}

std::vector<Hypothesis> Decoder::Decode(const FeatureMatrix& features, const StateScorer& scorer,
                                        const DecoderSettings& settings, std::vector<double>* bestEmissions) const {
    const std::uint32_t frames = features.frameCount;
    if (bestEmissions != nullptr) bestEmissions->clear();
    if (frames == 0 || words_.empty()) return {};
    Search search;
    search.emission.assign(usedStates_.back() + 1, kLogZero);
    search.scores.assign(slots_.size(), kLogZero);
    search.nextScores = search.scores;
    search.paths.assign(slots_.size(), TokenPath{});
    search.nextPaths = search.paths;
    search.entered.assign(words_.size(), 0);
    search.entry.assign(nodes_.size(), Token{});
    search.branchBest.assign(branches_, kLogZero);
    search.branchEnds.assign(branches_, 0);
    search.entry[start_] = Token{0.0, {}};
    PassThroughNullNodes(search.entry);

    for (std::uint32_t t = 0; t < frames; ++t) {
        const float* frame = features.Frame(t);
        double bestEmission = kLogZero;
        for (const auto state : usedStates_) {
            search.emission[state] = scorer.LogLikelihood(state, frame);
            bestEmission = std::max(bestEmission, search.emission[state]);
        }
        if (bestEmissions != nullptr) bestEmissions->push_back(bestEmission);
        PropagateThroughStates(search, settings.stateBeam);
        const bool last = t + 1 == frames;
        CollectWordEnds(search, t, last, settings);
        if (!last) EnterSuccessors(search, t, settings);
    }

    std::vector<Hypothesis> complete;
    for (std::size_t link = search.frameEnds; link < search.wordEnds.size(); ++link)
        complete.push_back({TraceBack(search, std::int32_t(link)), search.wordEnds[link].score, true});
    if (!complete.empty()) return complete;

    // No path reaches the end: the best token of the last frame, its word
    // cut off there.
    const WordStates* best = nullptr;
    std::uint32_t bestSlot = 0;
    for (const WordStates& word : words_)
        for (std::uint32_t slot = word.entry + 1; slot < word.end; ++slot)
            if (search.scores[slot] != kLogZero && (best == nullptr || search.scores[slot] > search.scores[bestSlot])) {
                best = &word;
                bestSlot = slot;
            }
    if (best == nullptr) return {};
    const TokenPath& path = search.paths[bestSlot];
    Hypothesis partial{TraceBack(search, path.history), search.scores[bestSlot], false};
    partial.words.push_back(
        {nodes_[best->node].word, path.start, frames - 1, path.acoustic / double(frames - path.start)});
    return {partial};
}

}  // namespace speech
