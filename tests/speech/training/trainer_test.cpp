// Baum-Welch training on synthetic recordings whose phones are known.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "speech/support/synthetic_models.h"
#include "training/trainer.h"

namespace {

using speech::TrainingRecording;

TrainingRecording Recording(const std::vector<std::string>& labels, const speech::FeatureMatrix& features) {
    TrainingRecording recording;
    recording.featurePath = "synthetic.mfc";
    recording.labels = labels;
    recording.features = features;
    recording.speech = {0, features.frameCount};
    std::string error;
    EXPECT_TRUE(
        speech::BuildStateChain(labels, synthetic::Inventory(), synthetic::Transitions(), recording.chain, error))
        << error;
    return recording;
}

// A recording of one phone alone, its four states `framesPerState` frames
// each, drawn around spacing * (state - 1.5) with `deviation`.
TrainingRecording OnePhoneRecording(const std::string& phone, std::uint32_t framesPerState, float spacing,
                                    float deviation, std::mt19937& random) {
    std::normal_distribution<float> noise(0.0f, deviation);
    speech::FeatureMatrix features;
    features.dimension = synthetic::kDimension;
    features.frameCount = 4 * framesPerState;
    for (std::uint32_t t = 0; t < features.frameCount; ++t)
        for (std::uint32_t d = 0; d < synthetic::kDimension; ++d)
            features.values.push_back(spacing * (float(t / framesPerState) - 1.5f) + noise(random));
    return Recording({phone}, features);
}

struct Trained {
    speech::StateSet states = synthetic::FlatStates(0.0f, 36.0f);
    speech::TransitionSet transitions = synthetic::Transitions();
    speech::TrainingReport report;
};

Trained Train(const std::vector<TrainingRecording>& recordings, unsigned threads, float varianceFloor = 0.01f) {
    Trained trained;
    // The application's training parameters.
    speech::TrainerSettings settings;
    settings.beamWidth = 500.0;
    settings.minOccupancy = 1e-10;
    settings.minModelCount = 1;
    settings.threads = threads;
    const std::vector<float> floor(synthetic::kDimension, varianceFloor);
    speech::TrainModels(recordings, synthetic::Inventory(), floor, settings, trained.states, trained.transitions,
                        trained.report);
    return trained;
}

// Every state of "a" takes its frames from two clusters, 12 apart, one
// frame in three from the upper one: one Gaussian would sit between them, 2
// below the middle; after the split and the passes that follow, each of the
// two Gaussians has moved most of the way to its cluster, and weighs its
// share. "b", seen on too few frames to split,
// keeps one Gaussian.
TEST(Trainer, AStateWhoseFramesFallInTwoClustersGetsAGaussianForEach) {
    std::mt19937 random(3);
    std::bernoulli_distribution upper(1.0 / 3.0);
    std::normal_distribution<float> noise(0.0f, 1.0f);
    std::vector<TrainingRecording> recordings;
    for (int r = 0; r < 4; ++r) {
        speech::FeatureMatrix features;
        features.dimension = synthetic::kDimension;
        features.frameCount = 4 * 40;
        for (std::uint32_t t = 0; t < features.frameCount; ++t) {
            const float centre = 40.0f * (float(t / 40) - 1.5f) + (upper(random) ? 6.0f : -6.0f);
            for (std::uint32_t d = 0; d < synthetic::kDimension; ++d) features.values.push_back(centre + noise(random));
        }
        recordings.push_back(Recording({"a"}, features));
    }
    recordings.push_back(OnePhoneRecording("b", 4, 10.0f, 1.0f, random));
    const Trained trained = Train(recordings, 1);
    for (std::uint32_t state = 5; state <= 8; ++state) {
        const auto& mixture = trained.states.states[state];
        ASSERT_EQ(mixture.size(), 2u) << state;
        const auto& low = mixture[0].mean[0] < mixture[1].mean[0] ? mixture[0] : mixture[1];
        const auto& high = &low == &mixture[0] ? mixture[1] : mixture[0];
        const float middle = 40.0f * (float(state) - 6.5f);
        for (std::uint32_t d = 0; d < synthetic::kDimension; ++d) {
            EXPECT_NEAR(low.mean[d], middle - 6.0f, 3.0f) << state;
            EXPECT_NEAR(high.mean[d], middle + 6.0f, 3.0f) << state;
        }
        EXPECT_NEAR(high.weight, 1.0 / 3.0, 0.05) << state;
        EXPECT_NEAR(low.weight + high.weight, 1.0, 1e-6) << state;
    }
    for (std::uint32_t state = 9; state <= 12; ++state) EXPECT_EQ(trained.states.states[state].size(), 1u) << state;
}

// A state held for d frames of every recording leaves after d - 1 stays:
// re-estimation must bring its self-loop from 0.5 to (d - 1) / d. Every
// state of "a" lasts 4 frames, every state of "b" 8.
TEST(Trainer, SelfLoopsMatchKnownStateDurations) {
    std::mt19937 random(5);
    std::vector<TrainingRecording> recordings;
    for (int r = 0; r < 8; ++r)
        recordings.push_back(OnePhoneRecording(r % 2 == 0 ? "a" : "b", r % 2 == 0 ? 4 : 8, 10.0f, 1.0f, random));
    const Trained trained = Train(recordings, 1);
    for (const auto& [model, expected] : {std::pair{2u, 3.0 / 4.0}, {3u, 7.0 / 8.0}}) {
        const auto& matrix = trained.transitions.matrices[model];
        for (std::uint32_t i = 1; i <= 4; ++i) {
            EXPECT_NEAR(matrix.At(i, i), expected, 0.02) << "model " << model << " state " << i;
            EXPECT_NEAR(matrix.At(i, i) + matrix.At(i, i + 1), 1.0, 1e-9);
        }
    }
}

// The variance of a state's frames under its mixture, in dimension 0.
double MixtureVariance(const std::vector<speech::Gaussian>& mixture) {
    double mean = 0.0, square = 0.0;
    for (const auto& gaussian : mixture) {
        mean += gaussian.weight * gaussian.mean[0];
        square += gaussian.weight * (gaussian.variance[0] + gaussian.mean[0] * gaussian.mean[0]);
    }
    return square - mean * mean;
}

// "a" spreads its frames with variance 1, "b" with variance 9. Seen on
// many frames, each state comes near its own spread; seen on a few, both
// keep near the pooled variance of all speech states (5).
TEST(Trainer, StateVariancesMoveFromThePoolToTheirOwnWithTheirFrames) {
    for (const std::uint32_t framesPerState : {2000u, 4u}) {
        std::mt19937 random(11);
        std::vector<TrainingRecording> recordings;
        for (int r = 0; r < 4; ++r)
            recordings.push_back(
                OnePhoneRecording(r % 2 == 0 ? "a" : "b", framesPerState / 2, 40.0f, r % 2 == 0 ? 1.0f : 3.0f, random));
        const Trained trained = Train(recordings, 1);
        const double a = MixtureVariance(trained.states.states[5]), b = MixtureVariance(trained.states.states[9]);
        if (framesPerState > 100) {
            EXPECT_LT(a, 2.0);
            EXPECT_GT(b, 7.0);
            // A floor above a state's spread holds its variance there from
            // the first pass on, where the states fit their frames less well.
            const Trained floored = Train(recordings, 1, 4.0f);
            EXPECT_EQ(floored.states.states[5].front().variance[0], 4.0f);
            EXPECT_LT(floored.report.logLikelihoodPerFrame.front(), trained.report.logLikelihoodPerFrame.front());
        } else {
            EXPECT_NEAR(a, 5.0, 1.5);
            EXPECT_NEAR(b, 5.0, 1.5);
        }
    }
}

// A recording too short for its labels is left out and named; the others
// train the same models on one thread as on two.
TEST(Trainer, OneAndTwoThreadsGiveIdenticalModelsWithoutRecordingsTooShort) {
    std::mt19937 random(7);
    std::vector<TrainingRecording> recordings;
    for (std::uint32_t i = 0; i < 8; ++i) {
        const std::vector<std::string> phones = i % 2 == 0 ? std::vector<std::string>{"sil", "a", "b", "sil"}
                                                           : std::vector<std::string>{"sil", "b", "a", "sil"};
        recordings.push_back(Recording(phones, synthetic::Frames(phones, 12 + i, random)));
    }
    // Four models without skips need at least 16 frames.
    recordings.push_back(Recording({"sil", "a", "b", "sil"}, synthetic::Frames({"a", "b"}, 5, random)));
    recordings.back().featurePath = "short.mfc";
    const Trained one = Train(recordings, 1);
    const Trained two = Train(recordings, 2);
    EXPECT_EQ(two.report.unaligned, std::vector<std::string>{"short.mfc"});
    EXPECT_NEAR(two.states.states[5].front().mean[0], 6.0, 0.6);
    for (std::uint32_t s = 1; s <= 12; ++s) {
        EXPECT_EQ(one.states.states[s].front().mean, two.states.states[s].front().mean) << s;
        EXPECT_EQ(one.states.states[s].front().variance, two.states.states[s].front().variance) << s;
    }
    for (std::size_t m = 0; m < one.transitions.matrices.size(); ++m)
        EXPECT_EQ(one.transitions.matrices[m].probabilities, two.transitions.matrices[m].probabilities) << m;
    EXPECT_EQ(one.report.logLikelihoodPerFrame, two.report.logLikelihoodPerFrame);
}

}  // namespace
