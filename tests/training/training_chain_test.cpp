// A training run drives the engine's five training tools once each, in a
// fixed order, whatever each tool returns. The engine here is
// libparrot_test_engine.so (PARROT_SPEECH_LIBRARY), which logs every call.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../engine/test_engine_log.h"
#include "app/session_file_names.h"
#include "engine/speech_engine.h"
#include "support/temporary_folder.h"
#include "support/test_environment.h"
#include "training/training_session.h"

namespace {

const std::vector<std::string> kTrainingTools = {"GrammarCompiller", "ExtractFeatures", "InitHMM", "ConvertMmf",
                                                 "BWTrain"};

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
    EXPECT_EQ(LoggedEntryPoints(folder.Path("engine.log")), kTrainingTools);
    EXPECT_EQ(ReadFileBytes(folder.Path("raw.txt")), "0.raw\n");

    EXPECT_EQ(session.TrainWord(L"yes", 1), 1);
    std::vector<std::string> twoRuns = kTrainingTools;
    twoRuns.insert(twoRuns.end(), kTrainingTools.begin(), kTrainingTools.end());
    EXPECT_EQ(LoggedEntryPoints(folder.Path("engine.log")), twoRuns);
}

// No tool fails, then each of the five in turn.
INSTANTIATE_TEST_SUITE_P(FailingTool, TrainingChainTest,
                         testing::Values("", "GrammarCompiller", "ExtractFeatures", "InitHMM", "ConvertMmf",
                                         "BWTrain"));

}  // namespace
