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
const double kLogNegligibleOccupation = std::log(kNegligibleOccupation);

// Maps chain positions to the distinct states they use and sizes the sums.
std::vector<std::uint32_t> PrepareStatistics(const StateChain& chain, std::uint32_t dimension,
                                             RecordingStatistics& statistics) {
    statistics = RecordingStatistics{};
    statistics.states = chain.states;
    std::sort(statistics.states.begin(), statistics.states.end());
    statistics.states.erase(std::unique(statistics.states.begin(), statistics.states.end()), statistics.states.end());
    statistics.occupancy.assign(statistics.states.size(), 0.0);
    statistics.sums.assign(statistics.states.size() * dimension, 0.0);
    statistics.squares.assign(statistics.states.size() * dimension, 0.0);
    std::vector<std::uint32_t> slot(chain.states.size());
    for (std::size_t p = 0; p < chain.states.size(); ++p)
        slot[p] = std::uint32_t(std::lower_bound(statistics.states.begin(), statistics.states.end(), chain.states[p]) -
                                statistics.states.begin());
    return slot;
}

void AddFrame(RecordingStatistics& statistics, std::uint32_t slot, const float* frame, std::uint32_t dimension,
              double weight) {
    statistics.occupancy[slot] += weight;
    double* sums = &statistics.sums[std::size_t(slot) * dimension];
    double* squares = &statistics.squares[std::size_t(slot) * dimension];
    for (std::uint32_t d = 0; d < dimension; ++d) {
        sums[d] += weight * frame[d];
        squares[d] += weight * double(frame[d]) * frame[d];
    }
}

void CountTransitions(RecordingStatistics& statistics, const StateChain& chain, const ChainArc& arc, double count) {
    for (std::uint32_t u = arc.usesBegin; u < arc.usesEnd; ++u)
        statistics.transitionCounts[TransitionKey(chain.uses[u])] += count;
}

}  // namespace

std::uint64_t TransitionKey(const TransitionUse& use) {
    return (std::uint64_t(use.matrix) << 32) | (std::uint64_t(use.from) << 16) | use.to;
}

void AccumulateRecording(const FeatureMatrix& features, const StateChain& chain, const StateScorer& scorer, double beam,
                         RecordingStatistics& statistics) {
    const std::uint32_t dimension = scorer.Dimension();
    const std::vector<std::uint32_t> slot = PrepareStatistics(chain, dimension, statistics);
    const std::size_t frames = features.frameCount;
    const std::size_t positions = chain.states.size();
    if (frames == 0 || positions == 0) return;

    // Emission log-likelihoods, computed once per frame and distinct state.
    const std::size_t distinct = statistics.states.size();
    std::vector<double> emission(frames * distinct);
    for (std::size_t t = 0; t < frames; ++t)
        for (std::size_t s = 0; s < distinct; ++s)
            emission[t * distinct + s] = scorer.LogLikelihood(statistics.states[s], features.Frame(std::uint32_t(t)));
    auto b = [&](std::size_t t, std::uint32_t position) { return emission[t * distinct + slot[position]]; };

    // Sums over the arcs into a frame are taken in linear terms, relative to
    // the frame's best score, so that each position costs one exp() and one
    // log() a pass instead of one LogAdd per arc. A term more than about 700
    // below the best of its frame underflows to 0, as it would in LogAdd.
    std::vector<double> arcProbability(chain.arcs.size());
    for (std::size_t a = 0; a < chain.arcs.size(); ++a) arcProbability[a] = std::exp(chain.arcs[a].logProbability);
    std::vector<double> sums(positions);

    // Forward: log alpha, and alpha relative to the best of its frame.
    std::vector<double> alpha(frames * positions, kLogZero), relative(frames * positions, 0.0), best(frames, kLogZero);
    auto finishFrame = [&](std::size_t t, bool prune) {
        double* current = &alpha[t * positions];
        best[t] = *std::max_element(current, current + positions);
        for (std::uint32_t p = 0; p < positions; ++p) {
            if (prune && current[p] < best[t] - beam) current[p] = kLogZero;
            if (current[p] != kLogZero) relative[t * positions + p] = std::exp(current[p] - best[t]);
        }
    };
    for (const auto& arc : chain.entries) alpha[arc.to] = LogAdd(alpha[arc.to], arc.logProbability + b(0, arc.to));
    finishFrame(0, false);
    for (std::size_t t = 1; t < frames; ++t) {
        if (best[t - 1] == kLogZero) break;
        const double* previous = &relative[(t - 1) * positions];
        std::fill(sums.begin(), sums.end(), 0.0);
        for (std::size_t a = 0; a < chain.arcs.size(); ++a)
            sums[chain.arcs[a].to] += previous[chain.arcs[a].from] * arcProbability[a];
        double* current = &alpha[t * positions];
        for (std::uint32_t p = 0; p < positions; ++p)
            if (sums[p] > 0.0) current[p] = best[t - 1] + std::log(sums[p]) + b(t, p);
        finishFrame(t, true);
    }
    double total = kLogZero;
    const double* last = &alpha[(frames - 1) * positions];
    for (const auto& arc : chain.exits)
        if (last[arc.from] != kLogZero) total = LogAdd(total, last[arc.from] + arc.logProbability);
    if (total == kLogZero || !std::isfinite(total)) return;

    // Backward, with the occupation and transition counts of each frame:
    // beta of a position is the frame's best step ahead times the sum of its
    // arcs' steps relative to that best.
    std::vector<double> beta(frames * positions, kLogZero), ahead(positions), arcCounts(chain.arcs.size(), 0.0);
    for (const auto& arc : chain.exits)
        if (last[arc.from] != kLogZero)
            beta[(frames - 1) * positions + arc.from] =
                LogAdd(beta[(frames - 1) * positions + arc.from], arc.logProbability);
    for (std::uint32_t p = 0; p < positions; ++p) {
        const double logGamma = last[p] + beta[(frames - 1) * positions + p] - total;
        if (logGamma >= kLogNegligibleOccupation)
            AddFrame(statistics, slot[p], features.Frame(std::uint32_t(frames - 1)), dimension, std::exp(logGamma));
    }
    for (std::size_t t = frames - 1; t-- > 0;) {
        const double* next = &beta[(t + 1) * positions];
        double top = kLogZero;
        for (std::uint32_t p = 0; p < positions; ++p)
            if (next[p] != kLogZero) top = std::max(top, b(t + 1, p) + next[p]);
        if (top == kLogZero) continue;
        for (std::uint32_t p = 0; p < positions; ++p)
            ahead[p] = next[p] == kLogZero ? 0.0 : std::exp(b(t + 1, p) + next[p] - top);
        const double* forward = &alpha[t * positions];
        const double* forwardRelative = &relative[t * positions];
        const double scale = std::exp(best[t] + top - total);
        std::fill(sums.begin(), sums.end(), 0.0);
        for (std::size_t a = 0; a < chain.arcs.size(); ++a) {
            const ChainArc& arc = chain.arcs[a];
            if (forward[arc.from] == kLogZero || ahead[arc.to] == 0.0) continue;
            const double step = arcProbability[a] * ahead[arc.to];
            sums[arc.from] += step;
            arcCounts[a] += forwardRelative[arc.from] * step * scale;
        }
        double* current = &beta[t * positions];
        for (std::uint32_t p = 0; p < positions; ++p) {
            if (sums[p] == 0.0) continue;
            current[p] = top + std::log(sums[p]);
            const double gamma = forwardRelative[p] * sums[p] * scale;
            if (gamma >= kNegligibleOccupation)
                AddFrame(statistics, slot[p], features.Frame(std::uint32_t(t)), dimension, gamma);
        }
    }

    for (std::size_t a = 0; a < chain.arcs.size(); ++a)
        if (arcCounts[a] > 0.0) CountTransitions(statistics, chain, chain.arcs[a], arcCounts[a]);
    for (const auto& arc : chain.entries) {
        const double count = std::exp(alpha[arc.to] + beta[arc.to] - total);
        if (count > 0.0) CountTransitions(statistics, chain, arc, count);
    }
    for (const auto& arc : chain.exits) {
        if (last[arc.from] == kLogZero) continue;
        CountTransitions(statistics, chain, arc, std::exp(last[arc.from] + arc.logProbability - total));
    }
    statistics.logLikelihood = total;
    statistics.aligned = true;
}

void AccumulateAlignment(const FeatureMatrix& features, const StateChain& chain,
                         const std::vector<std::uint32_t>& positions, RecordingStatistics& statistics) {
    const std::vector<std::uint32_t> slot = PrepareStatistics(chain, features.dimension, statistics);
    for (std::size_t t = 0; t < positions.size() && t < features.frameCount; ++t)
        AddFrame(statistics, slot[positions[t]], features.Frame(std::uint32_t(t)), features.dimension, 1.0);
    statistics.aligned = true;
}

}  // namespace speech
