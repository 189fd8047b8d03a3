// Baum-Welch training on synthetic recordings whose phones are known.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "speech/support/synthetic_models.h"
#include "training/trainer.h"

namespace {

using speech::TrainingRecording;

TrainingRecording Recording(const std::vector<std::string>& labels, const std::vector<std::string>& spoken,
                            std::uint32_t framesPerPhone, std::mt19937& random, const speech::ModelInventory& inventory,
                            const speech::TransitionSet& transitions) {
    TrainingRecording recording;
    recording.featurePath = "synthetic.mfc";
    recording.labels = labels;
    recording.features = synthetic::Frames(spoken, framesPerPhone, random);
    recording.speech = {0, recording.features.frameCount};
    std::string error;
    EXPECT_TRUE(speech::BuildStateChain(labels, inventory, transitions, recording.chain, error)) << error;
    return recording;
}

std::vector<TrainingRecording> TwoPhoneRecordings(const speech::ModelInventory& inventory,
                                                  const speech::TransitionSet& transitions) {
    std::mt19937 random(7);
    std::vector<TrainingRecording> recordings;
    for (int i = 0; i < 4; ++i) {
        recordings.push_back(
            Recording({"sil", "a", "b", "sil"}, {"sil", "a", "b", "sil"}, 12 + i, random, inventory, transitions));
        recordings.push_back(
            Recording({"sil", "b", "a", "sil"}, {"sil", "b", "a", "sil"}, 14 - i, random, inventory, transitions));
    }
    return recordings;
}

// A recording of one phone alone, its four states `framesPerState` frames
// each, drawn around spacing * (state - 1.5) with `deviation`.
TrainingRecording OnePhoneRecording(const std::string& phone, std::uint32_t framesPerState, float spacing,
                                    float deviation, std::mt19937& random) {
    std::normal_distribution<float> noise(0.0f, deviation);
    TrainingRecording recording;
    recording.featurePath = phone + ".mfc";
    recording.labels = {phone};
    recording.features.dimension = synthetic::kDimension;
    for (std::uint32_t state = 0; state < 4; ++state)
        for (std::uint32_t t = 0; t < framesPerState; ++t, ++recording.features.frameCount)
            for (std::uint32_t d = 0; d < synthetic::kDimension; ++d)
                recording.features.values.push_back(spacing * (float(state) - 1.5f) + noise(random));
    recording.speech = {0, recording.features.frameCount};
    std::string error;
    EXPECT_TRUE(speech::BuildStateChain(recording.labels, synthetic::Inventory(), synthetic::Transitions(),
                                        recording.chain, error))
        << error;
    return recording;
}

// The application's training parameters.
speech::TrainerSettings Settings() {
    speech::TrainerSettings settings;
    settings.beamWidth = 500.0;
    settings.minOccupancy = 1e-10;
    settings.minModelCount = 1;
    return settings;
}

struct Trained {
    speech::StateSet states = synthetic::FlatStates(0.0f, 36.0f);
    speech::TransitionSet transitions = synthetic::Transitions();
    speech::TrainingReport report;
};

Trained Train(const std::vector<TrainingRecording>& recordings, unsigned threads) {
    Trained trained;
    speech::TrainerSettings settings = Settings();
    settings.threads = threads;
    const std::vector<float> floor(synthetic::kDimension, 0.01f);
    speech::TrainModels(recordings, synthetic::Inventory(), floor, settings, trained.states, trained.transitions,
                        trained.report);
    return trained;
}

TEST(Trainer, RecoversTwoWellSeparatedPhonesFromAFlatStart) {
    const auto inventory = synthetic::Inventory();
    const auto transitions = synthetic::Transitions();
    const Trained trained = Train(TwoPhoneRecordings(inventory, transitions), 1);
    EXPECT_GE(trained.report.logLikelihoodPerFrame.size(), 1u);
    EXPECT_TRUE(trained.report.unaligned.empty());
    for (std::uint32_t s = 1; s <= 12; ++s) {
        const float expected = s <= 4 ? 0.0f : s <= 8 ? 6.0f : -6.0f;
        ASSERT_EQ(trained.states.states[s].size(), 1u);
        const auto& gaussian = trained.states.states[s].front();
        for (std::uint32_t d = 0; d < synthetic::kDimension; ++d) {
            EXPECT_NEAR(gaussian.mean[d], expected, 0.6) << "state " << s;
            EXPECT_NEAR(gaussian.variance[d], 1.0, 0.35) << "state " << s;
        }
    }
    EXPECT_DOUBLE_EQ(trained.transitions.matrices[0].At(0, 1), 1.0);  // sp stays a tee
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

// "a" spreads its frames with variance 1, "b" with variance 9. Seen on
// many frames, each state comes near its own spread; seen on a few, both
// keep near the pooled variance of all speech states (5).
TEST(Trainer, StateVariancesMoveFromThePoolToTheirOwnWithTheirFrames) {
    for (const std::uint32_t framesPerState : {400u, 4u}) {
        std::mt19937 random(11);
        std::vector<TrainingRecording> recordings;
        for (int r = 0; r < 4; ++r)
            recordings.push_back(
                OnePhoneRecording(r % 2 == 0 ? "a" : "b", framesPerState / 2, 40.0f, r % 2 == 0 ? 1.0f : 3.0f, random));
        const Trained trained = Train(recordings, 1);
        const float a = trained.states.states[5].front().variance[0], b = trained.states.states[9].front().variance[0];
        if (framesPerState > 100) {
            EXPECT_LT(a, 2.0f);
            EXPECT_GT(b, 7.0f);
        } else {
            EXPECT_NEAR(a, 5.0f, 1.5f);
            EXPECT_NEAR(b, 5.0f, 1.5f);
        }
    }
}

TEST(Trainer, OneAndTwoThreadsGiveIdenticalModels) {
    const auto inventory = synthetic::Inventory();
    const auto transitions = synthetic::Transitions();
    const auto recordings = TwoPhoneRecordings(inventory, transitions);
    const Trained one = Train(recordings, 1);
    const Trained two = Train(recordings, 2);
    for (std::uint32_t s = 1; s <= 12; ++s) {
        EXPECT_EQ(one.states.states[s].front().mean, two.states.states[s].front().mean) << s;
        EXPECT_EQ(one.states.states[s].front().variance, two.states.states[s].front().variance) << s;
    }
    for (std::size_t m = 0; m < one.transitions.matrices.size(); ++m)
        EXPECT_EQ(one.transitions.matrices[m].probabilities, two.transitions.matrices[m].probabilities) << m;
    EXPECT_EQ(one.report.logLikelihoodPerFrame, two.report.logLikelihoodPerFrame);
}

TEST(Trainer, LeavesOutRecordingsTooShortForTheirLabelsAndNamesThem) {
    const auto inventory = synthetic::Inventory();
    const auto transitions = synthetic::Transitions();
    auto recordings = TwoPhoneRecordings(inventory, transitions);
    std::mt19937 random(3);
    // Four models without skips need at least 16 frames.
    recordings.push_back(Recording({"sil", "a", "b", "sil"}, {"a", "b"}, 5, random, inventory, transitions));
    recordings.back().featurePath = "short.mfc";
    const Trained trained = Train(recordings, 2);
    ASSERT_EQ(trained.report.unaligned, std::vector<std::string>{"short.mfc"});
    EXPECT_NEAR(trained.states.states[5].front().mean[0], 6.0, 0.6);
}

TEST(Trainer, VariancesNeverFallBelowTheFloor) {
    const auto inventory = synthetic::Inventory();
    const auto transitions = synthetic::Transitions();
    Trained trained;
    const std::vector<float> floor(synthetic::kDimension, 4.0f);
    speech::TrainModels(TwoPhoneRecordings(inventory, transitions), inventory, floor, Settings(), trained.states,
                        trained.transitions, trained.report);
    for (std::uint32_t s = 1; s <= 12; ++s)
        for (const float variance : trained.states.states[s].front().variance) EXPECT_GE(variance, 4.0f);
}

}  // namespace
