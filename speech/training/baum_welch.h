#pragma once
// Forward-backward over one recording's composite HMM, in linear terms
// scaled frame by frame (the scales kept as logarithms) with beam pruning,
// collecting the statistics that re-estimation needs.

#include <cstdint>
#include <utility>
#include <vector>

#include "features/feature_file.h"
#include "models/hmm_chain.h"
#include "models/state_scorer.h"

namespace speech {

// Statistics of one recording, over the Gaussians of the states its chain
// uses. A frame's share in a state is divided among the state's Gaussians
// in proportion to their weighted likelihoods.
struct RecordingStatistics {
    std::vector<std::uint32_t> states;          // distinct state numbers, ascending
    std::vector<std::uint32_t> firstComponent;  // per entry of `states`, and one past the last
    std::vector<double> occupancy;              // per component
    std::vector<double> sums;                   // per component, dimension values of occupancy-weighted frames
    std::vector<double> squares;                // likewise, of squared frame values
    // TransitionKey and expected count, one entry per key, ascending by key.
    std::vector<std::pair<std::uint64_t, double>> transitionCounts;
    double logLikelihood = 0.0;
    bool aligned = false;  // false when no path fits the recording
};

std::uint64_t TransitionKey(const TransitionUse& use);

// The working arrays of the forward-backward passes. A caller keeps one per
// thread from one recording to the next: a pass over a thousand recordings
// then reuses their memory instead of asking the system for fresh pages
// each time.
struct ForwardBackwardBuffers {
    std::vector<double> emission, posterior, scaledAlpha, emissionShare, logScale, emissionTop, reaching;
    std::vector<double> arcProbability, scaledBeta, following, ahead, arcCounts;
    std::vector<std::uint32_t> firstArc, keptBegin, keptEnd;
    std::vector<char> scored;
};

// Fills `statistics` for one recording. `beam` is the pruning width in
// natural-log units below the best forward score of a frame.
void AccumulateRecording(const FeatureMatrix& features, const StateChain& chain, const StateScorer& scorer, double beam,
                         ForwardBackwardBuffers& buffers, RecordingStatistics& statistics);

// Statistics of a hard alignment: frame t belongs to chain position
// `positions[t]` with weight 1.
void AccumulateAlignment(const FeatureMatrix& features, const StateChain& chain, const StateScorer& scorer,
                         const std::vector<std::uint32_t>& positions, RecordingStatistics& statistics);

}  // namespace speech
