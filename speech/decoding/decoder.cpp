#include "decoding/decoder.h"

#include <algorithm>

namespace speech {

struct Decoder::Token {
    double score = kLogZero;
    double acoustic = 0.0;      // acoustic log-likelihood of the current word so far
    std::uint32_t start = 0;    // first frame of the current word
    std::int32_t history = -1;  // the word end before the current word
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

struct Decoder::Search {
    std::vector<double> emission;                        // by state number, at the current frame
    std::vector<std::vector<Token>> tokens, nextTokens;  // by instance, by chain position
    std::vector<Token> entry;                            // by node: the token entering it at the current frame
    std::vector<WordEnd> wordEnds;                       // every word end kept so far
    std::size_t frameEnds = 0;                           // the current frame's word ends start here
    std::vector<double> nodeBest;                        // by node: the best score of a state step
    std::vector<double> branchBest;                      // by branch: the best word end or entry
    std::vector<std::uint32_t> branchEnds;               // by branch: word ends kept at the current frame
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

// One frame of the Viterbi recursion in `chain`: each position takes its best
// predecessor, the token entering the chain or a position of the previous
// frame's `current`, and adds its state's emission. Returns the best score.
template <typename T>
double ViterbiStep(const StateChain& chain, const T& enter, const std::vector<T>& current,
                   const std::vector<double>& emission, std::vector<T>& next) {
    std::fill(next.begin(), next.end(), T{});
    if (enter.score != kLogZero)
        for (const auto& arc : chain.entries) Offer(enter, arc.logProbability, next[arc.to]);
    for (const auto& arc : chain.arcs)
        if (current[arc.from].score != kLogZero) Offer(current[arc.from], arc.logProbability, next[arc.to]);
    double best = kLogZero;
    for (std::size_t p = 0; p < next.size(); ++p) {
        if (next[p].score == kLogZero) continue;
        const double b = emission[chain.states[p]];
        next[p].score += b;
        next[p].acoustic += b;
        best = std::max(best, next[p].score);
    }
    return best;
}

}  // namespace

bool Decoder::Build(const WordNetwork& network, const ModelInventory& inventory, const TransitionSet& transitions,
                    std::string& error) {
    return Build(network, std::vector<std::uint32_t>(network.nodes.size(), 0), inventory, transitions, error);
}

bool Decoder::Build(const WordNetwork& network, const std::vector<std::uint32_t>& branchOfNode,
                    const ModelInventory& inventory, const TransitionSet& transitions, std::string& error) {
    nodes_.assign(network.nodes.size(), Node{});
    instances_.clear();
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
        for (const auto& pronunciation : found->second) {
            WordInstance instance;
            instance.node = n;
            if (!BuildStateChain(pronunciation, inventory, transitions, instance.chain, error)) {
                error = "word " + word + ": " + error;
                return false;
            }
            if (instance.chain.states.empty()) continue;  // a pronunciation without sound
            nodes_[n].instances.push_back(std::uint32_t(instances_.size()));
            usedStates_.insert(usedStates_.end(), instance.chain.states.begin(), instance.chain.states.end());
            instances_.push_back(std::move(instance));
        }
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

void Decoder::PassThroughNullNodes(std::vector<Token>& entry) const {
    for (const auto n : nullOrder_) {
        if (entry[n].score == kLogZero) continue;
        for (const auto next : nodes_[n].next) Offer(entry[n], 0.0, entry[next]);
    }
}

void Decoder::PropagateThroughStates(Search& search, double stateBeam) const {
    // The state beam compares the tokens of one word with that word's best,
    // so that the alignments of a word that ends later are not cut off by
    // the paths that have already left it.
    std::vector<double>& best = search.nodeBest;
    std::fill(best.begin(), best.end(), kLogZero);
    for (std::size_t i = 0; i < instances_.size(); ++i) {
        double& nodeBest = best[instances_[i].node];
        nodeBest = std::max(nodeBest, ViterbiStep(instances_[i].chain, search.entry[instances_[i].node],
                                                  search.tokens[i], search.emission, search.nextTokens[i]));
    }
    std::swap(search.tokens, search.nextTokens);
    for (std::size_t i = 0; i < instances_.size(); ++i) {
        const double floor = best[instances_[i].node] - stateBeam;
        for (auto& token : search.tokens[i])
            if (token.score < floor) token = Token{};
    }
}

void Decoder::CollectWordEnds(Search& search, std::uint32_t frame, bool last, const DecoderSettings& settings) const {
    // A word end is kept when it can go somewhere: to a following word
    // before the last frame, to the network's end at the last frame.
    std::vector<WordEnd> candidates;
    for (std::uint32_t n = 0; n < nodes_.size(); ++n) {
        if (last ? !nodes_[n].final : !nodes_[n].leadsToWord) continue;
        WordEnd end;
        for (const auto i : nodes_[n].instances)
            for (const auto& arc : instances_[i].chain.exits) {
                const Token& from = search.tokens[i][arc.from];
                if (from.score == kLogZero || from.score + arc.logProbability <= end.score) continue;
                end = WordEnd{n, from.start, frame, from.score + arc.logProbability, from.acoustic, from.history};
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
        const Token token{end.score + settings.wordInsertionPenalty, 0.0, frame + 1, std::int32_t(link)};
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
                                        const DecoderSettings& settings) const {
    const std::uint32_t frames = features.frameCount;
    if (frames == 0 || instances_.empty()) return {};
    Search search;
    search.emission.assign(usedStates_.back() + 1, kLogZero);
    search.tokens.resize(instances_.size());
    for (std::size_t i = 0; i < instances_.size(); ++i) search.tokens[i].assign(instances_[i].chain.states.size(), {});
    search.nextTokens = search.tokens;
    search.entry.assign(nodes_.size(), Token{});
    search.nodeBest.assign(nodes_.size(), kLogZero);
    search.branchBest.assign(branches_, kLogZero);
    search.branchEnds.assign(branches_, 0);
    search.entry[start_] = Token{0.0, 0.0, 0, -1};
    PassThroughNullNodes(search.entry);

    for (std::uint32_t t = 0; t < frames; ++t) {
        const float* frame = features.Frame(t);
        for (const auto state : usedStates_) search.emission[state] = scorer.LogLikelihood(state, frame);
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
    const Token* best = nullptr;
    std::uint32_t node = 0;
    for (std::size_t i = 0; i < instances_.size(); ++i)
        for (const auto& token : search.tokens[i])
            if (token.score != kLogZero && (best == nullptr || token.score > best->score)) {
                best = &token;
                node = instances_[i].node;
            }
    if (best == nullptr) return {};
    Hypothesis partial{TraceBack(search, best->history), best->score, false};
    partial.words.push_back(
        {nodes_[node].word, best->start, frames - 1, best->acoustic / double(frames - best->start)});
    return {partial};
}

}  // namespace speech
