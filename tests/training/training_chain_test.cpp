// A training run drives the engine's five training tools once each, in a
// fixed order, with fixed argument vectors, whatever each tool returns. The
// engine here is libparrot_test_engine.so (PARROT_SPEECH_LIBRARY), which logs
// every call.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "../engine/test_engine_log.h"
#include "app/session_file_names.h"
#include "engine/speech_engine.h"
#include "support/temporary_folder.h"
#include "support/test_environment.h"
#include "training/training_session.h"

namespace {

const std::vector<std::string> kTrainingCalls = {
    "GrammarCompiller grammar_compiler -input loop_grammar.txt -output loop_grammar.lat",
    kFeatureExtraction + " -input raw.txt -output mfc.txt",
    "InitHMM init_hmm -input mfc.txt -models model_lengths.txt -trans init_transitions.txt -mode binary -state "
    "init_states.txt -vfloor_file init_varfloor.txt -var_floor 0.0002",
    "ConvertMmf convert_mmf -input_mode ascii -output_mode binary init_states.txt init_states.bin",
    "BWTrain bw_train -p params_train.txt",
};

class TrainingChainTest : public testing::TestWithParam<const char*> {
protected:
    static void SetUpTestSuite() { LoadSpeechEngine(); }

    void SetUp() override {
        environment.Set("PARROT_TEST_ENGINE_LOG", folder.Path("engine.log").c_str());
        environment.Set("PARROT_TEST_ENGINE_FAIL", GetParam());
        session.SetFileNames(kTrainingFileNames);
    }

    EnteredFolder folder;
    TestEnvironment environment;
    TrainingSession session;
};

TEST_P(TrainingChainTest, EveryRunCallsTheFiveToolsInOrder) {
    EXPECT_EQ(session.TrainWord(L"yes", 0), 0);
    EXPECT_EQ(ReadTestEngineLog(folder.Path("engine.log")), CallsOfLines(kTrainingCalls));
    EXPECT_EQ(ReadFileBytes(folder.Path("raw.txt")), "0.raw\n");

    EXPECT_EQ(session.TrainWord(L"yes", 1), 1);
    std::vector<std::string> twoRuns = kTrainingCalls;
    twoRuns.insert(twoRuns.end(), kTrainingCalls.begin(), kTrainingCalls.end());
    EXPECT_EQ(ReadTestEngineLog(folder.Path("engine.log")), CallsOfLines(twoRuns));
}

// No tool fails, then each of the five in turn.
INSTANTIATE_TEST_SUITE_P(FailingTool, TrainingChainTest,
                         testing::Values("", "GrammarCompiller", "ExtractFeatures", "InitHMM", "ConvertMmf",
                                         "BWTrain"));

}  // namespace
