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

TEST(ConvertMmf, ErrorsLeaveTheOutputUntouched) {
    ScratchFolder folder;
    WriteText(folder / "out.bin", "previous");
    WriteText(folder / "bad.txt", "states 1\ndimension 2\ncount 1\nstate 1 mixtures 1\nweight 1\nmean 0\n");
    const std::vector<std::vector<std::string>> cases = {
        {"convert_mmf", "-input_mode", "ascii", "-output_mode", "binary", folder / "bad.txt", folder / "out.bin"},
        {"convert_mmf", "-input_mode", "ascii", "-output_mode", "binary", folder / "none.txt", folder / "out.bin"},
        {"convert_mmf", "-input_mode", "ascii", "-output_mode", "binary", folder / "bad.txt"},
        {"convert_mmf", "-input_mode", "text", "-output_mode", "binary", folder / "bad.txt", folder / "out.bin"},
        {"convert_mmf", "-output_mode", "binary", folder / "bad.txt", folder / "out.bin"},
    };
    const std::string expected[] = {"bad.txt line 7: unexpected end of file", "none.txt", "input and an output", "text",
                                    "-input_mode"};
    for (std::size_t i = 0; i < cases.size(); ++i) {
        int status = 0;
        const std::string errors = RunToolForErrors(ConvertMmf, cases[i], status);
        EXPECT_NE(status, 0) << expected[i];
        EXPECT_NE(errors.find(expected[i]), std::string::npos) << errors;
        EXPECT_EQ(ReadText(folder / "out.bin"), "previous");
    }
}
