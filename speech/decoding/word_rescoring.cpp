#include "decoding/word_rescoring.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <set>

#include "decoding/dynamic_time_warping.h"

namespace speech {
namespace {

// Weight of the warping distance (average scaled frame distance) against the
// HMM log-likelihood per frame. When every word was trained on several
// recordings, the nearest of them is a surer match and counts for more.
constexpr double kWarpingWeight = 0.5;
constexpr double kSeveralTakesWarpingWeight = 0.75;

struct Alignment {
    double score = kLogZero;
    std::vector<std::uint32_t> positions;  // chain position per frame
};

// Viterbi alignment of the whole recording with `chain`; `emission` holds
// the log-likelihood of every state (by number) at every frame.
Alignment Align(const StateChain& chain, const std::vector<double>& emission, std::size_t stride,
                std::uint32_t frames) {
    Alignment alignment;
    const std::size_t positions = chain.states.size();
    if (positions == 0 || frames == 0) return alignment;
    std::vector<double> score(positions, kLogZero), next(positions);
    std::vector<std::uint32_t> back(std::size_t(frames) * positions, ChainArc::kOutside);
    for (const auto& arc : chain.entries)
        score[arc.to] = std::max(score[arc.to], arc.logProbability + emission[chain.states[arc.to]]);
    for (std::uint32_t t = 1; t < frames; ++t) {
        std::fill(next.begin(), next.end(), kLogZero);
        std::uint32_t* backNow = &back[std::size_t(t) * positions];
        for (const auto& arc : chain.arcs) {
            if (score[arc.from] == kLogZero) continue;
            const double candidate = score[arc.from] + arc.logProbability;
            if (candidate > next[arc.to]) {
                next[arc.to] = candidate;
                backNow[arc.to] = arc.from;
            }
        }
        const double* b = &emission[std::size_t(t) * stride];
        for (std::size_t p = 0; p < positions; ++p)
            if (next[p] != kLogZero) next[p] += b[chain.states[p]];
        std::swap(score, next);
    }
    std::uint32_t last = ChainArc::kOutside;
    for (const auto& arc : chain.exits) {
        if (score[arc.from] == kLogZero) continue;
        if (score[arc.from] + arc.logProbability > alignment.score) {
            alignment.score = score[arc.from] + arc.logProbability;
            last = arc.from;
        }
    }
    if (last == ChainArc::kOutside) return alignment;
    alignment.positions.assign(frames, 0);
    for (std::uint32_t t = frames; t-- > 0;) {
        alignment.positions[t] = last;
        if (t > 0) last = back[std::size_t(t) * positions + last];
    }
    return alignment;
}

std::string Joined(const std::vector<std::string>& phones) {
    std::string text;
    for (const auto& phone : phones) text += (text.empty() ? "" : " ") + phone;
    return text;
}

}  // namespace

bool WordRescorer::Build(const WordNetwork& network, const ModelInventory& inventory, const TransitionSet& transitions,
                         std::string& error) {
    paths_.clear();
    usedStates_.clear();
    // Word successors through null nodes, as the decoder sees them.
    const auto outgoing = OutgoingArcs(network);
    auto successors = [&](std::uint32_t node) { return FollowingWords(network, outgoing, node).words; };
    if (network.start >= network.nodes.size()) return true;
    const std::vector<std::uint32_t> first = network.nodes[network.start].word.empty()
                                                 ? successors(network.start)
                                                 : std::vector<std::uint32_t>{network.start};
    std::set<std::vector<std::string>> done;
    for (const auto s : first) {
        for (const auto w : successors(s)) {
            for (const auto e : successors(w)) {
                if (e != network.end && !FollowingWords(network, outgoing, e).reachesEnd) continue;
                const std::vector<std::string> words{network.nodes[s].word, network.nodes[w].word,
                                                     network.nodes[e].word};
                if (!done.insert(words).second) continue;
                std::vector<const std::vector<std::vector<std::string>>*> pronunciations;
                for (const auto& word : words) {
                    const auto found = inventory.lexicon.find(word);
                    if (found == inventory.lexicon.end()) {
                        error = "word " + word + " is not in the lexicon";
                        return false;
                    }
                    pronunciations.push_back(&found->second);
                }
                std::vector<std::string> keys;
                for (const auto& middle : *pronunciations[1]) keys.push_back(Joined(middle));
                for (const auto& a : *pronunciations[0])
                    for (const auto& b : *pronunciations[1])
                        for (const auto& c : *pronunciations[2]) {
                            if (a.empty() || b.empty() || c.empty()) continue;
                            Path path;
                            path.words = words;
                            path.templateKeys = keys;
                            std::vector<std::string> phones;
                            for (const auto* part : {&a, &b, &c}) {
                                for (const auto& phone : *part) {
                                    phones.push_back(phone);
                                    path.wordOfLabel.push_back(part == &a ? 0 : part == &b ? 1 : 2);
                                }
                            }
                            if (!BuildStateChain(phones, inventory, transitions, path.chain, error)) {
                                error = "word " + words[1] + ": " + error;
                                return false;
                            }
                            if (path.chain.states.empty()) continue;
                            usedStates_.insert(usedStates_.end(), path.chain.states.begin(), path.chain.states.end());
                            paths_.push_back(std::move(path));
                        }
            }
        }
    }
    std::sort(usedStates_.begin(), usedStates_.end());
    usedStates_.erase(std::unique(usedStates_.begin(), usedStates_.end()), usedStates_.end());
    return true;
}

std::vector<DecodedWord> WordRescorer::Rescore(const FeatureMatrix& features, const StateScorer& scorer,
                                               const TemplateSet& templates) const {
    const std::uint32_t frames = features.frameCount;
    if (paths_.empty() || frames == 0) return {};
    const std::size_t stride = usedStates_.back() + 1;
    std::vector<double> emission(std::size_t(frames) * stride, kLogZero);
    for (std::uint32_t t = 0; t < frames; ++t)
        for (const auto state : usedStates_)
            emission[std::size_t(t) * stride + state] = scorer.LogLikelihood(state, features.Frame(t));

    // Warping distance of the recording's speech to each key's nearest template.
    // A word without a template (none of its recordings could be used) is
    // charged the largest distance found, so it neither wins nor loses by it.
    const bool useTemplates = !templates.templates.empty() && templates.dimension == features.dimension;
    std::map<std::string, double> nearest;
    std::map<std::string, std::size_t> takes;
    double largest = 0.0;
    if (useTemplates) {
        const FeatureMatrix speech = SpeechFrames(features);
        for (const auto& entry : templates.templates) {
            const double distance = WarpingDistance(speech, entry.frames, templates.scales);
            ++takes[entry.key];
            auto [found, inserted] = nearest.emplace(entry.key, distance);
            if (!inserted) found->second = std::min(found->second, distance);
        }
        for (const auto& [key, distance] : nearest)
            if (std::isfinite(distance)) largest = std::max(largest, distance);
    }
    const bool severalTakes =
        !takes.empty() && std::all_of(takes.begin(), takes.end(), [](const auto& entry) { return entry.second >= 2; });
    const double warpingWeight = severalTakes ? kSeveralTakesWarpingWeight : kWarpingWeight;

    const Path* bestPath = nullptr;
    Alignment best;
    double bestCombined = -std::numeric_limits<double>::infinity();
    for (const auto& path : paths_) {
        Alignment alignment = Align(path.chain, emission, stride, frames);
        if (alignment.score == kLogZero) continue;
        double combined = alignment.score / frames;
        if (useTemplates) {
            double distance = std::numeric_limits<double>::infinity();
            for (const auto& key : path.templateKeys) {
                const auto found = nearest.find(key);
                if (found != nearest.end()) distance = std::min(distance, found->second);
            }
            combined -= warpingWeight * (std::isfinite(distance) ? distance : largest);
        }
        if (combined > bestCombined || bestPath == nullptr) {
            bestCombined = combined;
            bestPath = &path;
            best = std::move(alignment);
        }
    }
    if (bestPath == nullptr) return {};
    std::vector<DecodedWord> words;
    double acoustic = 0.0;
    for (std::uint32_t t = 0; t < frames; ++t) {
        const std::uint32_t position = best.positions[t];
        const std::uint32_t word = bestPath->wordOfLabel[bestPath->chain.label[position]];
        if (words.empty() || words.size() - 1 != word) {
            if (!words.empty())
                words.back().score = acoustic / double(words.back().lastFrame - words.back().firstFrame + 1);
            while (words.size() <= word) words.push_back({bestPath->words[words.size()], t, t, 0.0});
            acoustic = 0.0;
        }
        words.back().lastFrame = t;
        acoustic += emission[std::size_t(t) * stride + bestPath->chain.states[position]];
    }
    words.back().score = acoustic / double(words.back().lastFrame - words.back().firstFrame + 1);
    return words;
}

}  // namespace speech
