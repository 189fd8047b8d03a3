// ConvertMmf between the text and binary state files.

#include "models/model_files.h"
#include "speech/support/speech_test_support.h"
#include "speech_api.h"

using namespace speech;
using namespace speech_test;

TEST(ConvertMmf, TextToBinaryAndBackGivesTheSameText) {
    ScratchFolder folder;
    StateSet states;
    states.dimension = 2;
    states.states = {{},
                     {{1.0f, {0.1f, -3.3e-7f}, {1.7f, 2.5e-9f}}},
                     {{0.25f, {5.0f, 1e20f}, {1e-30f, 0.3f}}, {0.75f, {-1.0f, 0.0f}, {3.0f, 4.0f}}}};
    std::string error;
    ASSERT_TRUE(WriteStates(folder / "init_states.txt", false, states, error)) << error;
    ASSERT_EQ(RunTool(ConvertMmf, {"convert_mmf", "-input_mode", "ascii", "-output_mode", "binary",
                                   folder / "init_states.txt", folder / "init_states.bin"}),
              0);
    ASSERT_EQ(RunTool(ConvertMmf, {"convert_mmf", "-input_mode", "binary", "-output_mode", "ascii",
                                   folder / "init_states.bin", folder / "back.txt"}),
              0);
    // The text holds every value exactly, so the binary file must too.
    EXPECT_EQ(ReadText(folder / "back.txt"), ReadText(folder / "init_states.txt"));
}
