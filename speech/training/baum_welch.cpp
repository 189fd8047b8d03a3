#include "training/baum_welch.h"

#include <algorithm>
#include <cmath>

namespace speech {
namespace {

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

    std::vector<double> alpha(frames * positions, kLogZero);
    for (const auto& arc : chain.entries) alpha[arc.to] = LogAdd(alpha[arc.to], arc.logProbability + b(0, arc.to));
    for (std::size_t t = 1; t < frames; ++t) {
        const double* previous = &alpha[(t - 1) * positions];
        double* current = &alpha[t * positions];
        for (const auto& arc : chain.arcs)
            if (previous[arc.from] != kLogZero)
                current[arc.to] = LogAdd(current[arc.to], previous[arc.from] + arc.logProbability);
        double best = kLogZero;
        for (std::uint32_t p = 0; p < positions; ++p) {
            if (current[p] != kLogZero) current[p] += b(t, p);
            best = std::max(best, current[p]);
        }
        for (std::uint32_t p = 0; p < positions; ++p)
            if (current[p] < best - beam) current[p] = kLogZero;
    }
    double total = kLogZero;
    const double* last = &alpha[(frames - 1) * positions];
    for (const auto& arc : chain.exits)
        if (last[arc.from] != kLogZero) total = LogAdd(total, last[arc.from] + arc.logProbability);
    if (total == kLogZero || !std::isfinite(total)) return;

    std::vector<double> beta(frames * positions, kLogZero);
    for (const auto& arc : chain.exits)
        if (last[arc.from] != kLogZero)
            beta[(frames - 1) * positions + arc.from] =
                LogAdd(beta[(frames - 1) * positions + arc.from], arc.logProbability);
    for (std::size_t t = frames - 1; t-- > 0;) {
        const double* next = &beta[(t + 1) * positions];
        double* current = &beta[t * positions];
        const double* forward = &alpha[t * positions];
        for (const auto& arc : chain.arcs) {
            if (forward[arc.from] == kLogZero || next[arc.to] == kLogZero) continue;
            const double step = arc.logProbability + b(t + 1, arc.to) + next[arc.to];
            current[arc.from] = LogAdd(current[arc.from], step);
            const double logCount = forward[arc.from] + step - total;
            if (logCount >= kExpUnderflow) CountTransitions(statistics, chain, arc, std::exp(logCount));
        }
    }

    for (const auto& arc : chain.entries) {
        const double count = std::exp(alpha[arc.to] + beta[arc.to] - total);
        if (count > 0.0) CountTransitions(statistics, chain, arc, count);
    }
    for (const auto& arc : chain.exits) {
        if (last[arc.from] == kLogZero) continue;
        CountTransitions(statistics, chain, arc, std::exp(last[arc.from] + arc.logProbability - total));
    }
    for (std::size_t t = 0; t < frames; ++t) {
        for (std::uint32_t p = 0; p < positions; ++p) {
            const double logGamma = alpha[t * positions + p] + beta[t * positions + p] - total;
            if (logGamma < kExpUnderflow) continue;
            const double gamma = std::exp(logGamma);
            if (gamma > 0.0) AddFrame(statistics, slot[p], features.Frame(std::uint32_t(t)), dimension, gamma);
        }
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
