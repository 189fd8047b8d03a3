#include "training/baum_welch.h"

#include <algorithm>
#include <cmath>

namespace speech {
namespace {

// A frame's share in a state below this is left out of the state's sums:
// against the whole frames that the state's occupation counts it changes
// nothing a float can hold, and most positions of a chain are this far from
// any given frame.
constexpr double kNegligibleOccupation = 1e-12;

// Maps chain positions to the distinct states they use and sizes the sums.
std::vector<std::uint32_t> PrepareStatistics(const StateChain& chain, const StateScorer& scorer,
                                             RecordingStatistics& statistics) {
    const std::uint32_t dimension = scorer.Dimension();
    // The vectors keep their memory from the recording gathered into them
    // before: they are refilled, not reallocated.
    statistics.states.assign(chain.states.begin(), chain.states.end());
    std::sort(statistics.states.begin(), statistics.states.end());
    statistics.states.erase(std::unique(statistics.states.begin(), statistics.states.end()), statistics.states.end());
    statistics.firstComponent.assign(1, 0);
    for (const auto state : statistics.states)
        statistics.firstComponent.push_back(statistics.firstComponent.back() + scorer.Components(state));
    const std::size_t components = statistics.firstComponent.back();
    statistics.occupancy.assign(components, 0.0);
    statistics.sums.assign(components * dimension, 0.0);
    statistics.squares.assign(components * dimension, 0.0);
    statistics.transitionCounts.clear();
    statistics.logLikelihood = 0.0;
    statistics.aligned = false;
    std::vector<std::uint32_t> slot(chain.states.size());
    for (std::size_t p = 0; p < chain.states.size(); ++p)
        slot[p] = std::uint32_t(std::lower_bound(statistics.states.begin(), statistics.states.end(), chain.states[p]) -
                                statistics.states.begin());
    return slot;
}

void AddToComponent(RecordingStatistics& statistics, std::uint32_t component, const float* frame,
                    std::uint32_t dimension, double weight) {
    statistics.occupancy[component] += weight;
    double* sums = &statistics.sums[std::size_t(component) * dimension];
    double* squares = &statistics.squares[std::size_t(component) * dimension];
    for (std::uint32_t d = 0; d < dimension; ++d) {
        sums[d] += weight * frame[d];
        squares[d] += weight * double(frame[d]) * frame[d];
    }
}

// Writes the posterior probability of each Gaussian of `state` given
// `frame` to `posteriors` and returns the state's log-likelihood.
double ComponentPosteriors(const StateScorer& scorer, std::uint32_t state, const float* frame, double* posteriors) {
    const std::uint32_t count = scorer.Components(state);
    scorer.ComponentLogLikelihoods(state, frame, posteriors);
    const std::uint32_t best = std::uint32_t(std::max_element(posteriors, posteriors + count) - posteriors);
    const double top = posteriors[best];
    if (count == 1 || top == kLogZero) {
        // A frame that no Gaussian can explain goes to all alike.
        std::fill(posteriors, posteriors + count, 1.0 / count);
        return top;
    }
    double total = 0.0;
    for (std::uint32_t c = 0; c < count; ++c)  // exp(0) is 1: the best one's needs no call
        total += (posteriors[c] = c == best ? 1.0 : std::exp(posteriors[c] - top));
    for (std::uint32_t c = 0; c < count; ++c) posteriors[c] /= total;
    return top + std::log(total);
}

// Adds `weight` of `frame` to the state of `slot`, divided among its
// Gaussians by their `posteriors`.
void AddFrame(RecordingStatistics& statistics, std::uint32_t slot, const float* frame, std::uint32_t dimension,
              double weight, const double* posteriors) {
    const std::uint32_t first = statistics.firstComponent[slot];
    for (std::uint32_t c = first; c < statistics.firstComponent[slot + 1]; ++c) {
        const double share = weight * posteriors[c - first];
        if (share >= kNegligibleOccupation) AddToComponent(statistics, c, frame, dimension, share);
    }
}

void CountTransitions(RecordingStatistics& statistics, const StateChain& chain, const ChainArc& arc, double count) {
    for (std::uint32_t u = arc.usesBegin; u < arc.usesEnd; ++u)
        statistics.transitionCounts.emplace_back(TransitionKey(chain.uses[u]), count);
}

// Sorts the counted transitions by key and sums the counts of each key, in
// the order they were counted.
void CombineTransitionCounts(std::vector<std::pair<std::uint64_t, double>>& counts) {
    std::stable_sort(counts.begin(), counts.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::size_t kept = 0;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        if (kept > 0 && counts[kept - 1].first == counts[i].first)
            counts[kept - 1].second += counts[i].second;
        else
            counts[kept++] = counts[i];
    }
    counts.resize(kept);
}

}  // namespace

std::uint64_t TransitionKey(const TransitionUse& use) {
    return (std::uint64_t(use.matrix) << 32) | (std::uint64_t(use.from) << 16) | use.to;
}

void AccumulateRecording(const FeatureMatrix& features, const StateChain& chain, const StateScorer& scorer, double beam,
                         ForwardBackwardBuffers& buffers, RecordingStatistics& statistics) {
    const std::uint32_t dimension = scorer.Dimension();
    const std::vector<std::uint32_t> slot = PrepareStatistics(chain, scorer, statistics);
    const std::size_t frames = features.frameCount;
    const std::size_t positions = chain.states.size();
    if (frames == 0 || positions == 0) return;

    // Emission log-likelihoods and the Gaussians' posteriors, computed once
    // per frame and distinct state, and only where the forward pass reaches:
    // the positions it prunes or cannot reach yet take no part in either pass.
    const std::size_t distinct = statistics.states.size();
    const std::size_t components = statistics.firstComponent.back();
    // Emission and posterior values are written before they are read
    // (`scored` says which), so only `scored` needs clearing.
    std::vector<double>& emission = buffers.emission;
    std::vector<double>& posterior = buffers.posterior;
    std::vector<char>& scored = buffers.scored;
    emission.resize(frames * distinct);
    posterior.resize(frames * components);
    scored.assign(frames * distinct, 0);
    auto b = [&](std::size_t t, std::uint32_t position) {
        const std::size_t at = t * distinct + slot[position];
        if (!scored[at]) {
            scored[at] = 1;
            emission[at] = ComponentPosteriors(scorer, statistics.states[slot[position]],
                                               features.Frame(std::uint32_t(t)),
                                               &posterior[t * components + statistics.firstComponent[slot[position]]]);
        }
        return emission[at];
    };
    auto add = [&](std::size_t t, std::uint32_t position, double gamma) {
        AddFrame(statistics, slot[position], features.Frame(std::uint32_t(t)), dimension, gamma,
                 &posterior[t * components + statistics.firstComponent[slot[position]]]);
    };

    // Both passes run in linear terms, each frame scaled so that its best
    // value is 1 and the scale kept as a logarithm: a position then costs one
    // exp() a frame instead of the logs and exps of sums taken in the log
    // domain.
    std::vector<double>& arcProbability = buffers.arcProbability;
    arcProbability.resize(chain.arcs.size());
    for (std::size_t a = 0; a < chain.arcs.size(); ++a) arcProbability[a] = std::exp(chain.arcs[a].logProbability);
    // A frame's positions with a forward value lie in a band [keptBegin,
    // keptEnd), a few of the chain's, and the arcs leave the positions in
    // order: firstArc[p] is the first arc from p or after it. Both passes
    // take only the arcs that leave the band; every other term is 0.
    std::vector<std::uint32_t>& firstArc = buffers.firstArc;
    firstArc.assign(positions + 1, std::uint32_t(chain.arcs.size()));
    for (std::size_t a = chain.arcs.size(); a-- > 0;) firstArc[chain.arcs[a].from] = std::uint32_t(a);
    for (std::size_t p = positions; p-- > 0;) firstArc[p] = std::min(firstArc[p], firstArc[p + 1]);
    std::vector<std::uint32_t>& keptBegin = buffers.keptBegin;
    std::vector<std::uint32_t>& keptEnd = buffers.keptEnd;
    keptBegin.resize(frames);
    keptEnd.resize(frames);

    // Forward: alpha(t, p) = scaledAlpha[t][p] * exp(logScale[t]), the
    // frame's best scaled to 1; below exp(-beam) of it a position is pruned.
    // emissionShare[t][p] = exp(b(t, p) - emissionTop[t]), where emissionTop
    // is the best emission of the positions that frame t reaches; one more
    // than about 745 below it underflows to 0, which leaves the position out
    // as the beam would unless its path were far better than the best one's.
    std::vector<double>& scaledAlpha = buffers.scaledAlpha;
    std::vector<double>& emissionShare = buffers.emissionShare;
    std::vector<double>& logScale = buffers.logScale;
    std::vector<double>& emissionTop = buffers.emissionTop;
    std::vector<double>& reaching = buffers.reaching;
    scaledAlpha.assign(frames * positions, 0.0);
    emissionShare.assign(frames * positions, 0.0);
    logScale.assign(frames, kLogZero);
    emissionTop.assign(frames, kLogZero);
    reaching.resize(positions);
    const double pruneBelow = std::exp(-beam);
    std::size_t reached = 0;  // frames the forward pass reached
    for (std::size_t t = 0; t < frames; ++t) {
        std::fill(reaching.begin(), reaching.end(), 0.0);
        if (t == 0) {
            for (const auto& arc : chain.entries) reaching[arc.to] += std::exp(arc.logProbability);
        } else {
            const double* previous = &scaledAlpha[(t - 1) * positions];
            for (std::size_t a = firstArc[keptBegin[t - 1]]; a < firstArc[keptEnd[t - 1]]; ++a)
                reaching[chain.arcs[a].to] += previous[chain.arcs[a].from] * arcProbability[a];
        }
        double top = kLogZero;
        for (std::uint32_t p = 0; p < positions; ++p)
            if (reaching[p] > 0.0) top = std::max(top, b(t, p));
        if (top == kLogZero) break;
        double* share = &emissionShare[t * positions];
        double* current = &scaledAlpha[t * positions];
        double best = 0.0;
        for (std::uint32_t p = 0; p < positions; ++p) {
            if (reaching[p] == 0.0) continue;
            share[p] = std::exp(b(t, p) - top);
            current[p] = reaching[p] * share[p];
            best = std::max(best, current[p]);
        }
        if (best == 0.0 || !std::isfinite(best)) break;
        keptBegin[t] = std::uint32_t(positions);
        keptEnd[t] = 0;
        for (std::uint32_t p = 0; p < positions; ++p) {
            if (current[p] == 0.0) continue;
            current[p] /= best;
            if (t > 0 && current[p] < pruneBelow) {
                current[p] = 0.0;
                continue;
            }
            keptBegin[t] = std::min(keptBegin[t], p);
            keptEnd[t] = p + 1;
        }
        emissionTop[t] = top;
        logScale[t] = (t > 0 ? logScale[t - 1] : 0.0) + top + std::log(best);
        reached = t + 1;
    }
    if (reached < frames) return;
    const double* last = &scaledAlpha[(frames - 1) * positions];
    double exitSum = 0.0;
    for (const auto& arc : chain.exits) exitSum += last[arc.from] * std::exp(arc.logProbability);
    if (exitSum <= 0.0) return;
    const double total = logScale[frames - 1] + std::log(exitSum);
    if (!std::isfinite(total)) return;

    // Backward: beta(t, p) = scaledBeta[p] * exp(logBetaScale), taken only
    // for the positions the forward pass kept, the others adding nothing.
    // The occupation of a position and the count of an arc follow from both.
    std::vector<double>& scaledBeta = buffers.scaledBeta;
    std::vector<double>& following = buffers.following;
    std::vector<double>& ahead = buffers.ahead;
    std::vector<double>& arcCounts = buffers.arcCounts;
    scaledBeta.assign(positions, 0.0);
    following.resize(positions);
    ahead.resize(positions);
    arcCounts.assign(chain.arcs.size(), 0.0);
    for (const auto& arc : chain.exits)
        if (last[arc.from] > 0.0) scaledBeta[arc.from] += std::exp(arc.logProbability);
    double logBetaScale = 0.0;
    {
        const double scale = std::exp(logScale[frames - 1] - total);
        for (std::uint32_t p = 0; p < positions; ++p) {
            const double gamma = last[p] * scaledBeta[p] * scale;
            if (gamma >= kNegligibleOccupation) add(frames - 1, p, gamma);
        }
    }
    for (std::size_t t = frames - 1; t-- > 0;) {
        const double* nextShare = &emissionShare[(t + 1) * positions];
        for (std::uint32_t p = 0; p < positions; ++p) ahead[p] = nextShare[p] * scaledBeta[p];
        const double* forward = &scaledAlpha[t * positions];
        std::fill(following.begin(), following.end(), 0.0);
        const double scale = std::exp(logScale[t] + emissionTop[t + 1] + logBetaScale - total);
        for (std::size_t a = firstArc[keptBegin[t]]; a < firstArc[keptEnd[t]]; ++a) {
            const ChainArc& arc = chain.arcs[a];
            if (forward[arc.from] == 0.0 || ahead[arc.to] == 0.0) continue;
            const double step = arcProbability[a] * ahead[arc.to];
            following[arc.from] += step;
            arcCounts[a] += forward[arc.from] * step * scale;
        }
        double top = 0.0;
        for (std::uint32_t p = keptBegin[t]; p < keptEnd[t]; ++p) {
            if (following[p] == 0.0) continue;
            top = std::max(top, following[p]);
            const double gamma = forward[p] * following[p] * scale;
            if (gamma >= kNegligibleOccupation) add(t, p, gamma);
        }
        std::fill(scaledBeta.begin(), scaledBeta.end(), 0.0);
        if (top == 0.0) continue;
        for (std::uint32_t p = keptBegin[t]; p < keptEnd[t]; ++p) scaledBeta[p] = following[p] / top;
        logBetaScale += emissionTop[t + 1] + std::log(top);
    }

    for (std::size_t a = 0; a < chain.arcs.size(); ++a)
        if (arcCounts[a] > 0.0) CountTransitions(statistics, chain, chain.arcs[a], arcCounts[a]);
    const double entryScale = std::exp(logScale[0] + logBetaScale - total);
    for (const auto& arc : chain.entries) {
        const double count = scaledAlpha[arc.to] * scaledBeta[arc.to] * entryScale;
        if (count > 0.0) CountTransitions(statistics, chain, arc, count);
    }
    const double exitScale = std::exp(logScale[frames - 1] - total);
    for (const auto& arc : chain.exits) {
        if (last[arc.from] == 0.0) continue;
        CountTransitions(statistics, chain, arc, last[arc.from] * std::exp(arc.logProbability) * exitScale);
    }
    CombineTransitionCounts(statistics.transitionCounts);
    statistics.logLikelihood = total;
    statistics.aligned = true;
}

void AccumulateAlignment(const FeatureMatrix& features, const StateChain& chain, const StateScorer& scorer,
                         const std::vector<std::uint32_t>& positions, RecordingStatistics& statistics) {
    const std::vector<std::uint32_t> slot = PrepareStatistics(chain, scorer, statistics);
    std::vector<double> posteriors;
    for (std::size_t t = 0; t < positions.size() && t < features.frameCount; ++t) {
        const std::uint32_t state = chain.states[positions[t]];
        posteriors.resize(scorer.Components(state));
        ComponentPosteriors(scorer, state, features.Frame(std::uint32_t(t)), posteriors.data());
        AddFrame(statistics, slot[positions[t]], features.Frame(std::uint32_t(t)), features.dimension, 1.0,
                 posteriors.data());
    }
    statistics.aligned = true;
}

}  // namespace speech
