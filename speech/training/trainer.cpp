#include "training/trainer.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

#include "common/parallel_for.h"
#include "models/state_scorer.h"
#include "training/baum_welch.h"

namespace speech {
namespace {

// Baum-Welch passes: kSingleGaussianPasses with the states as they come,
// then, after the heaviest Gaussian of each well-seen speech state is split
// in two, kMixturePasses more.
constexpr int kSingleGaussianPasses = 2;
constexpr int kMixturePasses = 2;
// A state is split only where each of its Gaussians keeps this many frames.
constexpr double kMinSplitFrames = 15.0;
// The two halves of a split start this many standard deviations apart from
// the old mean, on either side.
constexpr double kSplitOffset = 0.2;
// A Gaussian that takes fewer frames than this in a pass is dropped.
constexpr double kMinGaussianFrames = 1.0;
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
// A pass takes the recordings this many at a time: their statistics are
// gathered on all threads, then added to the pass's totals in recording
// order (by one thread, while the others gather the next block), so that
// the totals do not depend on the number of threads. Only two blocks'
// statistics are held at once, in memory reused block after block and pass
// after pass.
constexpr std::size_t kRecordingsPerBlock = 64;

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
    std::vector<std::uint32_t> firstComponent;  // per state number, and one past the last
    std::vector<double> occupancy;              // per component
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
        const std::uint32_t first = totals.firstComponent[statistics.states[s]];
        for (std::uint32_t c = statistics.firstComponent[s]; c < statistics.firstComponent[s + 1]; ++c) {
            const std::size_t to = first + c - statistics.firstComponent[s];
            totals.occupancy[to] += statistics.occupancy[c];
            for (std::uint32_t d = 0; d < dimension; ++d) {
                totals.sums[to * dimension + d] += statistics.sums[std::size_t(c) * dimension + d];
                totals.squares[to * dimension + d] += statistics.squares[std::size_t(c) * dimension + d];
            }
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

double StateOccupancy(const ModelTotals& totals, std::uint32_t state) {
    double occupancy = 0.0;
    for (std::uint32_t c = totals.firstComponent[state]; c < totals.firstComponent[state + 1]; ++c)
        occupancy += totals.occupancy[c];
    return occupancy;
}

// New weights and means for every state with enough occupancy, and
// variances drawn towards the pooled within-Gaussian variance
// (kPooledVarianceFrames), floored; the silence states share theirs. With a
// few recordings per word, variances of their own alone collapse onto the
// few frames they saw and the models of rarely seen phones win on any input.
// A Gaussian that took less than kMinGaussianFrames is dropped, unless it is
// its state's heaviest.
void UpdateStates(const ModelTotals& totals, const std::vector<bool>& trainable, const std::vector<std::uint32_t>& pool,
                  const std::vector<float>& varianceFloor, const TrainerSettings& settings, StateSet& states) {
    const std::uint32_t dimension = totals.dimension;
    // Each kept Gaussian's scatter around its new mean, per dimension, by
    // its component number in the totals.
    std::vector<double> scatter(totals.occupancy.size() * dimension, 0.0);
    std::vector<std::vector<double>> pooled(2, std::vector<double>(dimension, 0.0));
    double pooledOccupancy[2] = {0.0, 0.0};
    // Per updated state, the component numbers of the Gaussians it keeps.
    std::vector<std::vector<std::uint32_t>> kept(states.states.size());
    for (std::uint32_t state = 1; state < states.states.size(); ++state) {
        const double occupancy = StateOccupancy(totals, state);
        if (!trainable[state] || !(occupancy > settings.minOccupancy) || occupancy <= 0.0) continue;
        const std::uint32_t first = totals.firstComponent[state], end = totals.firstComponent[state + 1];
        const double heaviest = *std::max_element(totals.occupancy.begin() + first, totals.occupancy.begin() + end);
        std::vector<Gaussian> mixture;
        double keptOccupancy = 0.0;
        for (std::uint32_t c = first; c < end; ++c) {
            const double own = totals.occupancy[c];
            if (own < kMinGaussianFrames && own < heaviest) continue;
            Gaussian gaussian;
            gaussian.mean.resize(dimension);
            for (std::uint32_t d = 0; d < dimension; ++d) {
                const std::size_t at = std::size_t(c) * dimension + d;
                const double mean = totals.sums[at] / own;
                gaussian.mean[d] = float(mean);
                scatter[at] = std::max(0.0, totals.squares[at] - totals.sums[at] * mean);
                pooled[pool[state]][d] += scatter[at];
            }
            keptOccupancy += own;
            mixture.push_back(std::move(gaussian));
            kept[state].push_back(c);
        }
        for (std::size_t g = 0; g < mixture.size(); ++g)
            mixture[g].weight = float(totals.occupancy[kept[state][g]] / keptOccupancy);
        pooledOccupancy[pool[state]] += keptOccupancy;
        states.states[state] = std::move(mixture);
    }
    for (std::uint32_t state = 1; state < states.states.size(); ++state) {
        const std::uint32_t k = pool[state];
        if (kept[state].empty() || pooledOccupancy[k] <= 0.0) continue;
        for (std::size_t g = 0; g < kept[state].size(); ++g) {
            const std::uint32_t c = kept[state][g];
            std::vector<float>& variance = states.states[state][g].variance;
            variance.resize(dimension);
            for (std::uint32_t d = 0; d < dimension; ++d) {
                const double shared = pooled[k][d] / pooledOccupancy[k];
                const double own = (scatter[std::size_t(c) * dimension + d] + kPooledVarianceFrames * shared) /
                                   (totals.occupancy[c] + kPooledVarianceFrames);
                const double floor = d < varianceFloor.size() ? varianceFloor[d] : 0.0;
                variance[d] = float(std::max(k == kSilencePool ? shared : own, std::max(floor, kMinVariance)));
            }
        }
    }
}

// Splits the heaviest Gaussian of every trained speech state in two (one
// that training does not update is left as it came), where each of
// the state's Gaussians would still have kMinSplitFrames, their means
// kSplitOffset standard deviations either side of the old one. The passes
// that follow pull the two apart towards the different ways the state's
// frames fall: a word's takes at different noise levels, a phone in
// different words. The silence states keep theirs: they meet a new noise in
// every recording, and more Gaussians there only learn the training takes'.
void SplitHeaviestGaussians(const ModelTotals& totals, const std::vector<bool>& trainable,
                            const std::vector<std::uint32_t>& pool, StateSet& states) {
    for (std::uint32_t state = 1; state < states.states.size(); ++state) {
        std::vector<Gaussian>& mixture = states.states[state];
        if (!trainable[state] || pool[state] == kSilencePool || mixture.empty() ||
            StateOccupancy(totals, state) < kMinSplitFrames * double(mixture.size() + 1))
            continue;
        const auto heaviest = std::max_element(mixture.begin(), mixture.end(),
                                               [](const Gaussian& a, const Gaussian& b) { return a.weight < b.weight; });
        Gaussian copy = *heaviest;
        for (std::size_t d = 0; d < copy.mean.size(); ++d) {
            const float step = float(kSplitOffset * std::sqrt(double(copy.variance[d])));
            copy.mean[d] += step;
            heaviest->mean[d] -= step;
        }
        copy.weight = heaviest->weight /= 2.0f;
        mixture.push_back(std::move(copy));
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
    // Variance pools: silence apart from speech. The silence model
    // meets every kind of background noise, the speech states do not.
    std::vector<std::uint32_t> pool(states.states.size(), 0);
    if (const PhoneModel* silence = inventory.Find(kSilenceModel); silence != nullptr)
        for (const auto state : silence->states)
            if (state < pool.size()) pool[state] = kSilencePool;

    // One pass: `accumulate(i, statistics, worker)` gathers the statistics
    // of recording i on thread `worker`, and they are summed into `totals`.
    std::vector<RecordingStatistics> statistics[2];
    for (auto& half : statistics) half.resize(std::min(recordings.size(), kRecordingsPerBlock));
    std::vector<char> aligned(recordings.size(), 0);
    using Accumulate = std::function<void(std::size_t, RecordingStatistics&, unsigned)>;
    auto runPass = [&](ModelTotals& totals, const Accumulate& accumulate) {
        totals = ModelTotals{};
        totals.dimension = states.dimension;
        totals.firstComponent.assign(1, 0);
        for (const auto& mixture : states.states)
            totals.firstComponent.push_back(totals.firstComponent.back() + std::uint32_t(mixture.size()));
        totals.occupancy.assign(totals.firstComponent.back(), 0.0);
        totals.sums.assign(totals.occupancy.size() * states.dimension, 0.0);
        totals.squares.assign(totals.occupancy.size() * states.dimension, 0.0);
        totals.modelCount.assign(inventory.models.size(), 0);
        // Block b is gathered into statistics[b % 2] while one thread adds
        // block b - 1, from the other half, to the totals.
        const std::size_t blocks = (recordings.size() + kRecordingsPerBlock - 1) / kRecordingsPerBlock;
        auto addBlock = [&](std::size_t block) {
            const std::size_t first = block * kRecordingsPerBlock;
            for (std::size_t i = first; i < std::min(first + kRecordingsPerBlock, recordings.size()); ++i) {
                const RecordingStatistics& gathered = statistics[block % 2][i - first];
                aligned[i] = gathered.aligned;
                if (gathered.aligned) AddRecording(totals, gathered, recordings[i], inventory);
            }
        };
        for (std::size_t block = 0; block <= blocks; ++block) {
            const std::size_t first = block * kRecordingsPerBlock;
            const std::size_t count = block < blocks ? std::min(kRecordingsPerBlock, recordings.size() - first) : 0;
            const std::size_t adding = block > 0 ? 1 : 0;  // the task of adding the block before, first
            ParallelFor(adding + count, threads, [&](std::size_t task, unsigned worker) {
                if (task < adding)
                    addBlock(block - 1);
                else
                    accumulate(first + task - adding, statistics[block % 2][task - adding], worker);
            });
        }
    };
    // States and matrices of models seen in at least min_model_count
    // recordings; the states of the last update are kept for the split.
    std::vector<bool> trainable;
    auto update = [&](const ModelTotals& totals, bool withTransitions) {
        trainable.assign(states.states.size(), false);
        std::vector<bool> trainableMatrix(transitions.matrices.size(), false);
        for (std::size_t m = 0; m < inventory.models.size(); ++m) {
            if (totals.modelCount[m] < std::uint64_t(std::max(0LL, settings.minModelCount)) ||
                totals.modelCount[m] == 0)
                continue;
            for (const auto state : inventory.models[m].states)
                if (state < trainable.size()) trainable[state] = true;
            if (inventory.models[m].transitions < trainableMatrix.size())
                trainableMatrix[inventory.models[m].transitions] = true;
        }
        UpdateStates(totals, trainable, pool, varianceFloor, settings, states);
        if (withTransitions) UpdateTransitions(totals, trainableMatrix, settings, transitions);
    };

    ModelTotals totals;
    {
        const StateScorer scorer(states);
        runPass(totals, [&](std::size_t i, RecordingStatistics& gathered, unsigned) {
            AccumulateAlignment(recordings[i].features, recordings[i].chain, scorer, InitialAlignment(recordings[i]),
                                gathered);
        });
    }
    update(totals, false);

    std::vector<ForwardBackwardBuffers> buffers(threads);
    for (int pass = 0; pass < kSingleGaussianPasses + kMixturePasses; ++pass) {
        if (pass == kSingleGaussianPasses) SplitHeaviestGaussians(totals, trainable, pool, states);
        const StateScorer scorer(states);
        runPass(totals, [&](std::size_t i, RecordingStatistics& gathered, unsigned worker) {
            AccumulateRecording(recordings[i].features, recordings[i].chain, scorer, settings.beamWidth,
                                buffers[worker], gathered);
        });
        if (totals.frames == 0) break;
        report.logLikelihoodPerFrame.push_back(totals.logLikelihood / double(totals.frames));
        update(totals, true);
    }
    for (std::size_t i = 0; i < recordings.size(); ++i)
        if (!aligned[i]) report.unaligned.push_back(recordings[i].featurePath);
    ApplyVarianceFloor(varianceFloor, states);
}

}  // namespace speech
