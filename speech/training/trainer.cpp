#include "training/trainer.h"

#include <algorithm>
#include <cmath>

#include "common/parallel_for.h"
#include "models/state_scorer.h"
#include "training/baum_welch.h"

namespace speech {
namespace {

// Passes stop when the log-likelihood per frame gains less than this, or
// after kMaxPasses.
constexpr double kMinGainPerFrame = 0.01;
constexpr int kMaxPasses = 4;
// No variance falls below this, even where the variance floor is 0: the
// scorer divides by it.
constexpr double kMinVariance = 1e-10;
// A speech state's variance is its own frames' spread and the pooled
// variance of all speech states, weighed as if the pool had given this many
// frames: a state seen on a few frames keeps near the pool, one seen on
// many comes near its own spread.
constexpr double kPooledVarianceFrames = 100.0;
// The variance pool of the silence states, whose states share one variance;
// the speech states pool in 0.
constexpr std::uint32_t kSilencePool = 1;

// Frames of [begin, end) spread evenly over `positions`.
void Spread(std::vector<std::uint32_t>& alignment, std::uint32_t begin, std::uint32_t end,
            const std::vector<std::uint32_t>& positions) {
    if (positions.empty()) return;
    const std::uint64_t length = end - begin;
    for (std::uint32_t t = begin; t < end; ++t)
        alignment[t] = positions[std::size_t(std::uint64_t(t - begin) * positions.size() / length)];
}

// Silence outside the detected speech, the other models' states evenly
// inside it.
std::vector<std::uint32_t> InitialAlignment(const TrainingRecording& recording) {
    const StateChain& chain = recording.chain;
    const std::uint32_t frames = recording.features.frameCount;
    std::vector<std::uint32_t> alignment(frames, 0);
    if (chain.states.empty() || frames == 0) return alignment;
    const auto& labels = recording.labels;
    const std::size_t lastLabel = labels.size() - 1;
    const bool leadingSilence = labels.size() > 2 && labels.front() == kSilenceModel;
    const bool trailingSilence = labels.size() > 2 && labels.back() == kSilenceModel;
    std::vector<std::uint32_t> leading, inner, trailing;
    for (std::uint32_t p = 0; p < chain.states.size(); ++p) {
        const std::uint32_t label = chain.label[p];
        if (leadingSilence && label == 0)
            leading.push_back(p);
        else if (trailingSilence && label == lastLabel)
            trailing.push_back(p);
        else
            inner.push_back(p);
    }
    FrameSpan span = recording.speech;
    if (inner.empty() || span.end - span.begin < inner.size()) span = {0, frames};
    if (leading.empty() || span.begin == 0)
        span.begin = 0, inner.insert(inner.begin(), leading.begin(), leading.end()), leading.clear();
    if (trailing.empty() || span.end == frames)
        span.end = frames, inner.insert(inner.end(), trailing.begin(), trailing.end()), trailing.clear();
    Spread(alignment, 0, span.begin, leading);
    Spread(alignment, span.begin, span.end, inner);
    Spread(alignment, span.end, frames, trailing);
    return alignment;
}

struct ModelTotals {
    std::uint32_t dimension = 0;
    std::vector<double> occupancy;  // per state number
    std::vector<double> sums;
    std::vector<double> squares;
    std::map<std::uint64_t, double> transitionCounts;
    double logLikelihood = 0.0;
    std::uint64_t frames = 0;
    std::vector<std::uint32_t> modelCount;  // recordings per model
};

void AddRecording(ModelTotals& totals, const RecordingStatistics& statistics, const TrainingRecording& recording,
                  const ModelInventory& inventory) {
    const std::uint32_t dimension = totals.dimension;
    for (std::size_t s = 0; s < statistics.states.size(); ++s) {
        const std::uint32_t state = statistics.states[s];
        totals.occupancy[state] += statistics.occupancy[s];
        for (std::uint32_t d = 0; d < dimension; ++d) {
            totals.sums[std::size_t(state) * dimension + d] += statistics.sums[s * dimension + d];
            totals.squares[std::size_t(state) * dimension + d] += statistics.squares[s * dimension + d];
        }
    }
    for (const auto& [key, count] : statistics.transitionCounts) totals.transitionCounts[key] += count;
    totals.logLikelihood += statistics.logLikelihood;
    totals.frames += recording.features.frameCount;
    std::vector<std::uint32_t> models;
    for (const auto& label : recording.labels) models.push_back(inventory.modelByPhone.at(label));
    std::sort(models.begin(), models.end());
    models.erase(std::unique(models.begin(), models.end()), models.end());
    for (const auto model : models) ++totals.modelCount[model];
}

// New means for every state with enough occupancy, and variances drawn
// towards the pooled within-state variance (kPooledVarianceFrames), floored;
// the silence states share theirs. With a few recordings per word,
// per-state variances alone collapse onto the few frames they saw and the
// models of rarely seen phones win on any input.
void UpdateStates(const ModelTotals& totals, const std::vector<bool>& trainable, const std::vector<std::uint32_t>& pool,
                  const std::vector<float>& varianceFloor, const TrainerSettings& settings, StateSet& states,
                  TrainingReport& report) {
    const std::uint32_t dimension = totals.dimension;
    // Each updated state's scatter around its new mean, per dimension.
    std::vector<double> scatter(states.states.size() * dimension, 0.0);
    std::vector<std::vector<double>> pooled(2, std::vector<double>(dimension, 0.0));
    double pooledOccupancy[2] = {0.0, 0.0};
    std::vector<bool> updated(states.states.size(), false);
    for (std::uint32_t state = 1; state < states.states.size(); ++state) {
        const double occupancy = totals.occupancy[state];
        if (!trainable[state] || !(occupancy > settings.minOccupancy) || occupancy <= 0.0) continue;
        updated[state] = true;
        Gaussian gaussian;
        gaussian.mean.resize(dimension);
        for (std::uint32_t d = 0; d < dimension; ++d) {
            const std::size_t at = std::size_t(state) * dimension + d;
            const double mean = totals.sums[at] / occupancy;
            gaussian.mean[d] = float(mean);
            scatter[at] = std::max(0.0, totals.squares[at] - totals.sums[at] * mean);
            pooled[pool[state]][d] += scatter[at];
        }
        pooledOccupancy[pool[state]] += occupancy;
        if (states.states[state].size() > 1) ++report.collapsedMixtures;
        gaussian.variance = states.states[state].front().variance;
        states.states[state].assign(1, std::move(gaussian));
    }
    for (std::uint32_t state = 1; state < states.states.size(); ++state) {
        const std::uint32_t k = pool[state];
        if (!updated[state] || pooledOccupancy[k] <= 0.0) continue;
        std::vector<float>& variance = states.states[state].front().variance;
        variance.resize(dimension);
        for (std::uint32_t d = 0; d < dimension; ++d) {
            const double shared = pooled[k][d] / pooledOccupancy[k];
            const double own = (scatter[std::size_t(state) * dimension + d] + kPooledVarianceFrames * shared) /
                               (totals.occupancy[state] + kPooledVarianceFrames);
            const double floor = d < varianceFloor.size() ? varianceFloor[d] : 0.0;
            variance[d] = float(std::max(k == kSilencePool ? shared : own, std::max(floor, kMinVariance)));
        }
    }
}

void UpdateTransitions(const ModelTotals& totals, const std::vector<bool>& trainableMatrix,
                       const TrainerSettings& settings, TransitionSet& transitions) {
    for (std::uint32_t m = 0; m < transitions.matrices.size(); ++m) {
        if (!trainableMatrix[m]) continue;
        auto& matrix = transitions.matrices[m];
        for (std::uint32_t i = 0; i + 1 < matrix.size; ++i) {
            std::vector<double> counts(matrix.size, 0.0);
            double rowTotal = 0.0;
            for (std::uint32_t j = 0; j < matrix.size; ++j) {
                const auto found = totals.transitionCounts.find(TransitionKey({m, std::uint16_t(i), std::uint16_t(j)}));
                if (found == totals.transitionCounts.end()) continue;
                counts[j] = found->second;
                rowTotal += found->second;
            }
            if (!(rowTotal > settings.minOccupancy)) continue;
            for (std::uint32_t j = 0; j < matrix.size; ++j)
                matrix.probabilities[std::size_t(i) * matrix.size + j] = counts[j] / rowTotal;
        }
    }
}

void ApplyVarianceFloor(const std::vector<float>& varianceFloor, StateSet& states) {
    for (auto& mixture : states.states)
        for (auto& gaussian : mixture)
            for (std::size_t d = 0; d < gaussian.variance.size() && d < varianceFloor.size(); ++d)
                gaussian.variance[d] = std::max(gaussian.variance[d], varianceFloor[d]);
}

}  // namespace

void TrainModels(const std::vector<TrainingRecording>& recordings, const ModelInventory& inventory,
                 const std::vector<float>& varianceFloor, const TrainerSettings& settings, StateSet& states,
                 TransitionSet& transitions, TrainingReport& report) {
    report = TrainingReport{};
    const unsigned threads = std::max(1u, settings.threads);
    std::vector<RecordingStatistics> statistics(recordings.size());
    // Variance pools: silence apart from speech. The silence model
    // meets every kind of background noise, the speech states do not.
    std::vector<std::uint32_t> pool(states.states.size(), 0);
    if (const PhoneModel* silence = inventory.Find(kSilenceModel); silence != nullptr)
        for (const auto state : silence->states)
            if (state < pool.size()) pool[state] = kSilencePool;

    // Totals of one pass, summed in recording order so that the result does
    // not depend on the number of threads.
    auto sumPass = [&](ModelTotals& totals) {
        totals = ModelTotals{};
        totals.dimension = states.dimension;
        totals.occupancy.assign(states.states.size(), 0.0);
        totals.sums.assign(states.states.size() * states.dimension, 0.0);
        totals.squares.assign(states.states.size() * states.dimension, 0.0);
        totals.modelCount.assign(inventory.models.size(), 0);
        for (std::size_t i = 0; i < recordings.size(); ++i)
            if (statistics[i].aligned) AddRecording(totals, statistics[i], recordings[i], inventory);
    };
    // States and matrices of models seen in at least min_model_count recordings.
    auto update = [&](const ModelTotals& totals, bool withTransitions) {
        std::vector<bool> trainable(states.states.size(), false), trainableMatrix(transitions.matrices.size(), false);
        for (std::size_t m = 0; m < inventory.models.size(); ++m) {
            if (totals.modelCount[m] < std::uint64_t(std::max(0LL, settings.minModelCount)) ||
                totals.modelCount[m] == 0)
                continue;
            for (const auto state : inventory.models[m].states)
                if (state < trainable.size()) trainable[state] = true;
            if (inventory.models[m].transitions < trainableMatrix.size())
                trainableMatrix[inventory.models[m].transitions] = true;
        }
        UpdateStates(totals, trainable, pool, varianceFloor, settings, states, report);
        if (withTransitions) UpdateTransitions(totals, trainableMatrix, settings, transitions);
    };

    ModelTotals totals;
    ParallelFor(recordings.size(), threads, [&](std::size_t i) {
        AccumulateAlignment(recordings[i].features, recordings[i].chain, InitialAlignment(recordings[i]),
                            statistics[i]);
    });
    sumPass(totals);
    update(totals, false);

    double previous = kLogZero;
    for (int pass = 0; pass < kMaxPasses; ++pass) {
        const StateScorer scorer(states);
        ParallelFor(recordings.size(), threads, [&](std::size_t i) {
            AccumulateRecording(recordings[i].features, recordings[i].chain, scorer, settings.beamWidth, statistics[i]);
        });
        sumPass(totals);
        if (totals.frames == 0) break;
        const double perFrame = totals.logLikelihood / double(totals.frames);
        update(totals, true);
        report.logLikelihoodPerFrame.push_back(perFrame);
        if (perFrame - previous < kMinGainPerFrame) break;
        previous = perFrame;
    }
    for (std::size_t i = 0; i < recordings.size(); ++i)
        if (!statistics[i].aligned) report.unaligned.push_back(recordings[i].featurePath);
    ApplyVarianceFloor(varianceFloor, states);
}

}  // namespace speech
