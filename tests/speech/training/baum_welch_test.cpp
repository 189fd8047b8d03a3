// Forward-backward on a tiny chain against sums over every state path, and
// with pruning against without.

#include "training/baum_welch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "speech/support/synthetic_models.h"

namespace {

constexpr std::uint32_t kFrames = 7;

// Model "a" (states 5-8) with skips, and exits from its last two states.
speech::TransitionSet SkippingTransitions() {
    speech::TransitionSet transitions = synthetic::Transitions();
    transitions.matrices[2].probabilities = {0, 1,  0,  0,  0,  0,   //
                                             0, .5, .3, .2, 0,  0,   //
                                             0, 0,  .6, .3, .1, 0,   //
                                             0, 0,  0,  .4, .4, .2,  //
                                             0, 0,  0,  0,  .7, .3,  //
                                             0, 0,  0,  0,  0,  0};
    return transitions;
}

// States whose means overlap, so that many paths share the probability.
speech::StateSet OverlappingStates() {
    speech::StateSet states = synthetic::FlatStates();
    for (std::uint32_t s = 5; s <= 8; ++s) states.states[s][0].mean.assign(synthetic::kDimension, 0.5f * (s - 5));
    return states;
}

// log P(frames) as the sum over every sequence of states of the model.
double BruteForceLogLikelihood(const speech::TransitionSet::Matrix& matrix, const speech::StateScorer& scorer,
                               const speech::FeatureMatrix& features) {
    double total = 0.0;
    std::vector<std::uint32_t> path(kFrames, 1);  // matrix rows 1-4 are states 5-8
    while (true) {
        double p = matrix.At(0, path[0]) * matrix.At(path.back(), 5);
        for (std::uint32_t t = 0; t < kFrames; ++t) {
            p *= std::exp(scorer.LogLikelihood(path[t] + 4, features.Frame(t)));
            if (t > 0) p *= matrix.At(path[t - 1], path[t]);
        }
        total += p;
        std::uint32_t t = 0;
        while (t < kFrames && path[t] == 4) path[t++] = 1;
        if (t == kFrames) break;
        ++path[t];
    }
    return std::log(total);
}

TEST(ForwardBackward, TotalProbabilityIsTheSumOverAllStatePaths) {
    const auto inventory = synthetic::Inventory();
    const auto transitions = SkippingTransitions();
    speech::StateChain chain;
    std::string error;
    ASSERT_TRUE(speech::BuildStateChain({"a"}, inventory, transitions, chain, error)) << error;
    std::mt19937 random(9);
    const auto features = synthetic::Frames({"sil"}, kFrames, random);
    const speech::StateScorer scorer(OverlappingStates());

    // The working memory and the statistics come from an earlier, longer
    // recording: nothing of it may carry over.
    speech::ForwardBackwardBuffers buffers;
    speech::RecordingStatistics statistics, fresh;
    speech::AccumulateRecording(synthetic::Frames({"sil"}, 3 * kFrames, random), chain, scorer, 1e9, buffers,
                                statistics);
    speech::AccumulateRecording(features, chain, scorer, 1e9, buffers, statistics);
    ASSERT_TRUE(statistics.aligned);
    speech::ForwardBackwardBuffers freshBuffers;
    speech::AccumulateRecording(features, chain, scorer, 1e9, freshBuffers, fresh);
    EXPECT_EQ(statistics.sums, fresh.sums);
    EXPECT_EQ(statistics.transitionCounts, fresh.transitionCounts);
    EXPECT_NEAR(statistics.logLikelihood, BruteForceLogLikelihood(transitions.matrices[2], scorer, features), 1e-9);
    // Every frame is in exactly one state: the occupancies add up to the frames.
    double occupancy = 0.0;
    for (const double gamma : statistics.occupancy) occupancy += gamma;
    EXPECT_NEAR(occupancy, kFrames, 1e-9);
}

// A beam leaves out only what carries next to no probability, while the
// band of positions alive moves along a chain of four models.
TEST(ForwardBackward, ABeamKeepsWhatCarriesTheProbability) {
    const auto inventory = synthetic::Inventory();
    const auto transitions = synthetic::Transitions();
    speech::StateChain chain;
    std::string error;
    ASSERT_TRUE(speech::BuildStateChain({"sil", "a", "b", "sil"}, inventory, transitions, chain, error)) << error;
    std::mt19937 random(4);
    const auto features = synthetic::Frames({"sil", "a", "b", "sil"}, 8, random);
    const speech::StateScorer scorer(synthetic::SeparatedStates());
    speech::ForwardBackwardBuffers buffers;
    speech::RecordingStatistics pruned, full;
    speech::AccumulateRecording(features, chain, scorer, 20.0, buffers, pruned);
    speech::AccumulateRecording(features, chain, scorer, 1e9, buffers, full);
    ASSERT_TRUE(pruned.aligned);
    EXPECT_NEAR(pruned.logLikelihood, full.logLikelihood, 1e-6);
    ASSERT_EQ(pruned.occupancy.size(), full.occupancy.size());
    for (std::size_t c = 0; c < full.occupancy.size(); ++c) EXPECT_NEAR(pruned.occupancy[c], full.occupancy[c], 1e-6);
}

}  // namespace
