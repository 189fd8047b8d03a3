// Flat start: global statistics into every state, transition shapes, floor.

#include <cmath>
#include <random>

#include "features/feature_file.h"
#include "models/model_files.h"
#include "speech/support/speech_test_support.h"
#include "speech_api.h"

using namespace speech;
using namespace speech_test;

namespace {

// Frames whose dimension d alternates between d - (d + 1) and d + (d + 1):
// mean d and variance (d + 1)^2 exactly, whatever the (even) frame count.
FeatureMatrix KnownFeatures(std::uint32_t frames, std::uint32_t dimension) {
    FeatureMatrix features;
    features.frameCount = frames;
    features.dimension = dimension;
    features.framePeriod100ns = 100000;
    for (std::uint32_t t = 0; t < frames; ++t)
        for (std::uint32_t d = 0; d < dimension; ++d)
            features.values.push_back(float(d) + (t % 2 == 0 ? -1.0f : 1.0f) * float(d + 1));
    return features;
}

}  // namespace

// Two usable feature files, a missing one and one whose dimension differs
// from the first file's: those two are skipped and named, and the others
// still make the models.
TEST(InitHmm, StatesTakeTheGlobalStatisticsAndTransitionsTheirShapes) {
    EnteredFolder folder;
    WriteText("model_lengths.txt", ReadText(WorkedExample("model_lengths.txt")));
    std::string error;
    ASSERT_TRUE(WriteFeatureFile("0.mfc", true, KnownFeatures(40, 3), error)) << error;
    ASSERT_TRUE(WriteFeatureFile("2.mfc", true, KnownFeatures(6, 3), error)) << error;
    ASSERT_TRUE(WriteFeatureFile("3.mfc", true, KnownFeatures(6, 5), error)) << error;
    WriteText("mfc.txt", "0.mfc\n1.mfc\n2.mfc\n3.mfc");
    int status = 0;
    const std::string errors = RunToolForErrors(InitHMM, Arguments(kInitHmmLine), status);
    EXPECT_NE(status, 0);
    EXPECT_NE(errors.find("1.mfc"), std::string::npos) << errors;
    EXPECT_NE(errors.find("3.mfc: 5 values per frame, not 3"), std::string::npos) << errors;

    StateSet states;
    ASSERT_TRUE(ReadStates("init_states.txt", false, states, error)) << error;
    ASSERT_EQ(states.dimension, 3u);
    ASSERT_EQ(states.states.size(), 17u);  // sil 1-4, y 5-8, eh 9-12, s 13-16
    for (std::size_t s = 1; s <= 16; ++s) {
        ASSERT_EQ(states.states[s].size(), 1u);
        const Gaussian& gaussian = states.states[s][0];
        EXPECT_EQ(gaussian.weight, 1.0f);
        for (std::uint32_t d = 0; d < 3; ++d) {
            EXPECT_NEAR(gaussian.mean[d], d, 1e-6) << s;
            EXPECT_NEAR(gaussian.variance[d], (d + 1.0) * (d + 1.0), 1e-5) << s;
        }
    }
    std::vector<float> floor;
    ASSERT_TRUE(ReadVarianceFloor("init_varfloor.txt", floor, error)) << error;
    ASSERT_EQ(floor.size(), 3u);
    for (std::uint32_t d = 0; d < 3; ++d) EXPECT_NEAR(floor[d], 0.0002 * (d + 1.0) * (d + 1.0), 1e-9);

    // A tee for sp, a silence that may skip its middle states and go back,
    // and left-to-right phones.
    TransitionSet transitions;
    ASSERT_TRUE(ReadTransitions("init_transitions.txt", transitions, error)) << error;
    ASSERT_EQ(transitions.matrices.size(), 5u);  // indexed by model: sp, sil, y, eh, s
    ASSERT_EQ(transitions.matrices[0].size, 2u);
    EXPECT_EQ(transitions.matrices[0].At(0, 1), 1.0);
    const auto& sil = transitions.matrices[1];
    EXPECT_GT(sil.At(1, 4) * sil.At(4, 1) * sil.At(4, 5), 0.0);
    for (std::size_t m = 2; m < 5; ++m) {
        const auto& phone = transitions.matrices[m];
        ASSERT_EQ(phone.size, 6u);
        EXPECT_EQ(phone.At(0, 1), 1.0);
        for (std::uint32_t from = 1; from <= 4; ++from)
            for (std::uint32_t to = 0; to < 6; ++to)
                EXPECT_EQ(phone.At(from, to) > 0.0, to == from || to == from + 1) << m << from << to;
    }
}
