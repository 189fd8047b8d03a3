// Binding the speech engine library: tools are called with exactly the
// arguments given, and a missing library or entry point is reported once and
// makes each call of the missing tool fail without crashing.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/engine_library.h"
#include "engine/speech_engine.h"
#include "support/temporary_folder.h"
#include "support/test_environment.h"
#include "test_engine_log.h"

namespace {

const EngineTool kAllTools[] = {
    EngineTool::ExtractFeatures,  EngineTool::InitHMM,         EngineTool::ConvertMmf,        EngineTool::BWTrain,
    EngineTool::GrammarCompiller, EngineTool::TraceProjection, EngineTool::NormalizeFeatures,
};

long LineCount(const std::string& text) { return std::count(text.begin(), text.end(), '\n'); }

// Loads `path` into a fresh binding and returns what it printed on stderr.
std::string LoadAndCaptureMessages(EngineLibrary& engine, const std::string& path) {
    testing::internal::CaptureStderr();
    engine.Load(path);
    return testing::internal::GetCapturedStderr();
}

class TestEngineBinding : public testing::Test {
protected:
    void SetUp() override {
        environment.Set("PARROT_TEST_ENGINE_LOG", folder.Path("engine.log").c_str());
        const char* testEngine = std::getenv("PARROT_TEST_ENGINE");
        ASSERT_NE(testEngine, nullptr);
        EXPECT_EQ(LoadAndCaptureMessages(engine, testEngine), "");
    }

    std::vector<std::vector<std::string>> Log() const { return ReadTestEngineLog(folder.Path("engine.log")); }

    TemporaryFolder folder;
    TestEnvironment environment;
    EngineLibrary engine;
};

TEST_F(TestEngineBinding, EachToolReceivesExactlyItsArguments) {
    for (EngineTool tool : kAllTools) {
        EXPECT_EQ(engine.Run(tool, {"tool", "-input", "a b", "", "list.txt"}), 0);
    }
    EXPECT_EQ(engine.Run(EngineTool::BWTrain, {}), 0);

    const std::vector<std::vector<std::string>> log = Log();
    ASSERT_EQ(log.size(), 8u);
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(log[i],
                  (std::vector<std::string>{EntryPointName(kAllTools[i]), "tool", "-input", "a b", "", "list.txt"}));
    }
    EXPECT_EQ(log[7], std::vector<std::string>{"BWTrain"});
}

// A library (the C math library) that exports none of the entry points: one
// line on stderr naming them, then every tool fails. (A library that cannot
// be opened is the process-wide engine's test.)
TEST(EngineBinding, MissingEntryPointsAreReportedInOneLineAndEveryToolFails) {
    EngineLibrary engine;
    const std::string messages = LoadAndCaptureMessages(engine, "libm.so.6");
    EXPECT_EQ(LineCount(messages), 1) << messages;
    for (EngineTool tool : kAllTools) {
        EXPECT_NE(messages.find(EntryPointName(tool)), std::string::npos) << messages;
        EXPECT_EQ(engine.Run(tool, {"tool", "-p", "params.txt"}), kMissingEngineTool);
    }
}

// The process-wide engine, named here by PARROT_SPEECH_LIBRARY, is loaded
// once: a second load prints nothing more.
TEST(SpeechEngine, UnloadableEngineIsReportedOnceAndCallsFail) {
    const char* libraryPath = std::getenv("PARROT_SPEECH_LIBRARY");
    ASSERT_NE(libraryPath, nullptr);
    testing::internal::CaptureStderr();
    LoadSpeechEngine();
    LoadSpeechEngine();
    const std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_EQ(LineCount(messages), 1) << messages;
    EXPECT_NE(messages.find(libraryPath), std::string::npos) << messages;

    for (EngineTool tool : kAllTools) {
        EXPECT_NE(RunEngineTool(tool, {"tool"}), 0);
    }
}

}  // namespace
