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

std::vector<std::string> InitArguments(const ScratchFolder& folder, const std::string& mode = "binary") {
    return {"init_hmm",
            "-input",
            folder / "mfc.txt",
            "-models",
            folder / "model_lengths.txt",
            "-trans",
            folder / "init_transitions.txt",
            "-mode",
            mode,
            "-state",
            folder / "init_states.txt",
            "-vfloor_file",
            folder / "init_varfloor.txt",
            "-var_floor",
            "0.0002"};
}

void PrepareFolder(const ScratchFolder& folder, bool binary = true) {
    WriteText(folder / "model_lengths.txt", ReadText(WorkedExample("model_lengths.txt")));
    std::string error;
    ASSERT_TRUE(WriteFeatureFile(folder / "0.mfc", binary, KnownFeatures(40, 3), error)) << error;
    ASSERT_TRUE(WriteFeatureFile(folder / "2.mfc", binary, KnownFeatures(6, 3), error)) << error;
    WriteText(folder / "mfc.txt", folder / "0.mfc\n" + folder / "2.mfc\n");
}

}  // namespace

TEST(InitHmm, EveryStateGetsTheGlobalMeanAndVarianceAndTheFloorScalesIt) {
    for (const std::string mode : {"binary", "ascii"}) {
        ScratchFolder folder;
        PrepareFolder(folder, mode == "binary");
        ASSERT_EQ(RunTool(InitHMM, InitArguments(folder, mode)), 0) << mode;
        StateSet states;
        std::string error;
        ASSERT_TRUE(ReadStates(folder / "init_states.txt", false, states, error)) << error;
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
        ASSERT_TRUE(ReadVarianceFloor(folder / "init_varfloor.txt", floor, error)) << error;
        ASSERT_EQ(floor.size(), 3u);
        for (std::uint32_t d = 0; d < 3; ++d) EXPECT_NEAR(floor[d], 0.0002 * (d + 1.0) * (d + 1.0), 1e-9);
    }
}

TEST(InitHmm, TransitionsAreATeeForSpARobustSilenceAndLeftToRightPhones) {
    ScratchFolder folder;
    PrepareFolder(folder);
    ASSERT_EQ(RunTool(InitHMM, InitArguments(folder)), 0);
    TransitionSet transitions;
    std::string error;
    ASSERT_TRUE(ReadTransitions(folder / "init_transitions.txt", transitions, error)) << error;
    ASSERT_EQ(transitions.matrices.size(), 5u);  // indexed by model: sp, sil, y, eh, s
    const auto& sp = transitions.matrices[0];
    ASSERT_EQ(sp.size, 2u);
    EXPECT_EQ(sp.At(0, 1), 1.0);  // entry straight to exit
    const auto& sil = transitions.matrices[1];
    ASSERT_EQ(sil.size, 6u);
    EXPECT_GT(sil.At(1, 4), 0.0);  // skip over the middle states
    EXPECT_GT(sil.At(4, 1), 0.0);  // and back
    EXPECT_GT(sil.At(4, 5), 0.0);
    for (std::size_t m = 2; m < 5; ++m) {
        const auto& phone = transitions.matrices[m];
        ASSERT_EQ(phone.size, 6u);
        EXPECT_EQ(phone.At(0, 1), 1.0);
        for (std::uint32_t from = 1; from <= 4; ++from)
            for (std::uint32_t to = 0; to < 6; ++to)
                EXPECT_EQ(phone.At(from, to) > 0.0, to == from || to == from + 1) << m << from << to;
    }
}

TEST(InitHmm, MissingFeatureFilesAreSkippedButNoFramesAtAllWritesNothing) {
    ScratchFolder folder;
    PrepareFolder(folder);
    WriteText(folder / "mfc.txt", folder / "0.mfc\n" + folder / "1.mfc\n" + folder / "2.mfc");
    int status = 0;
    std::string errors = RunToolForErrors(InitHMM, InitArguments(folder), status);
    EXPECT_NE(status, 0);
    EXPECT_NE(errors.find("1.mfc"), std::string::npos) << errors;
    StateSet states;
    std::string error;
    ASSERT_TRUE(ReadStates(folder / "init_states.txt", false, states, error)) << error;
    EXPECT_NEAR(states.states[1][0].variance[2], 9.0, 1e-5);

    ScratchFolder empty;
    WriteText(empty / "model_lengths.txt", ReadText(WorkedExample("model_lengths.txt")));
    WriteText(empty / "mfc.txt", empty / "1.mfc\n");
    errors = RunToolForErrors(InitHMM, InitArguments(empty), status);
    EXPECT_NE(status, 0);
    EXPECT_NE(errors.find("no frames"), std::string::npos) << errors;
    EXPECT_EQ(empty.Files(), (std::vector<std::string>{"mfc.txt", "model_lengths.txt"}));
}

TEST(InitHmm, RefusesBadArgumentsModelLengthsAndFeatures) {
    ScratchFolder folder;
    PrepareFolder(folder);
    const auto changed = [&](std::size_t index, const std::string& value) {
        auto arguments = InitArguments(folder);
        arguments[index] = value;
        return arguments;
    };
    struct Case {
        std::vector<std::string> arguments;
        std::string lengths;
        std::string expected;
    };
    const std::string good = "0 sp\n4 sil\n4 y\n";
    auto withoutFloor = InitArguments(folder);
    withoutFloor.resize(withoutFloor.size() - 2);
    const Case cases[] = {
        {changed(14, "-1"), good, "-var_floor"},
        {changed(8, "text"), good, "-mode"},
        {withoutFloor, good, "missing option -var_floor"},
        {InitArguments(folder), "0 sp\n4 sil\nfour y\n", "line 3"},
        {InitArguments(folder), "0 sp\n4 sil\n4 sil\n", "line 3"},
        {InitArguments(folder), "0 sp\n4000 sil\n", "line 2"},
        {InitArguments(folder), "0 sp 1\n", "line 1"},
        {InitArguments(folder), "\n\n", "no model"},
        {changed(8, "ascii"), good, "0.mfc"},  // binary files read as text
    };
    for (const Case& c : cases) {
        WriteText(folder / "model_lengths.txt", c.lengths);
        int status = 0;
        const std::string errors = RunToolForErrors(InitHMM, c.arguments, status);
        EXPECT_NE(status, 0) << c.expected;
        EXPECT_NE(errors.find(c.expected), std::string::npos) << errors;
        EXPECT_FALSE(Exists(folder / "init_states.txt")) << c.expected;
    }
    // Features whose dimension differs from the first file's are skipped.
    std::string error;
    ASSERT_TRUE(WriteFeatureFile(folder / "2.mfc", true, KnownFeatures(6, 5), error));
    WriteText(folder / "model_lengths.txt", good);
    int status = 0;
    const std::string errors = RunToolForErrors(InitHMM, InitArguments(folder), status);
    EXPECT_NE(status, 0);
    EXPECT_NE(errors.find("2.mfc: 5 values per frame, not 3"), std::string::npos) << errors;
    EXPECT_TRUE(Exists(folder / "init_states.txt"));
}
