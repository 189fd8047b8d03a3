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

struct Trained {
    speech::StateSet states = synthetic::FlatStates(0.0f, 36.0f);
    speech::TransitionSet transitions = synthetic::Transitions();
    speech::TrainingReport report;
};

Trained Train(const std::vector<TrainingRecording>& recordings, unsigned threads) {
    Trained trained;
    speech::TrainerSettings settings;
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
    EXPECT_GE(trained.report.iterations, 1);
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
    // Phones of about 13 frames over 4 states: each state stays about 3 frames.
    const auto& a = trained.transitions.matrices[2];
    for (std::uint32_t i = 1; i <= 4; ++i) {
        EXPECT_GT(a.At(i, i), 0.3) << i;
        EXPECT_LT(a.At(i, i), 0.9) << i;
        EXPECT_NEAR(a.At(i, i) + a.At(i, i + 1), 1.0, 1e-9);
    }
    EXPECT_DOUBLE_EQ(trained.transitions.matrices[0].At(0, 1), 1.0);  // sp stays a tee
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
    speech::TrainerSettings settings;
    const std::vector<float> floor(synthetic::kDimension, 4.0f);
    speech::TrainModels(TwoPhoneRecordings(inventory, transitions), inventory, floor, settings, trained.states,
                        trained.transitions, trained.report);
    for (std::uint32_t s = 1; s <= 12; ++s)
        for (const float variance : trained.states.states[s].front().variance) EXPECT_GE(variance, 4.0f);
}

}  // namespace
