// parrot-cli end to end in a fresh folder, with the test engine standing in
// for the speech engine (PARROT_SPEECH_LIBRARY) and audio read from files.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../app/test_folder.h"
#include "../engine/test_engine_log.h"

namespace fs = std::filesystem;

namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

bool HasLineStarting(const std::string& text, const std::string& start) {
    return text.starts_with(start) || text.find("\n" + start) != std::string::npos;
}

class CliTest : public TestFolder {
protected:
    void SetUp() override {
        TestFolder::SetUp();
        ::setenv("PARROT_TEST_ENGINE_LOG", (Folder() / "engine.log").c_str(), 1);
        // 5000 samples: 10000 bytes, padded to 12288, then 8192 bytes of silence.
        std::string samples;
        for (int i = 0; i < 5000; ++i) {
            samples += static_cast<char>(i % 200 + 1);
            samples += static_cast<char>(i % 7);
        }
        WriteFileBytes("word.raw", samples);
    }
    void TearDown() override {
        ::unsetenv("PARROT_TEST_ENGINE_LOG");
        ::unsetenv("PARROT_TEST_ENGINE_DECODER_OUT");
        ::unsetenv("PARROT_TEST_ENGINE_FAIL");
        TestFolder::TearDown();
    }

    // Runs parrot-cli with `arguments` (none holding a single quote) from the
    // test's folder.
    CliRun Run(const std::vector<std::string>& arguments) {
        std::string command = "'" + std::string(std::getenv("PARROT_BIN_DIR")) + "/parrot-cli'";
        for (const std::string& argument : arguments) {
            command += " '" + argument + "'";
        }
        const int status = std::system((command + " >cli.out 2>cli.err").c_str());
        CliRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFileBytes("cli.out"), ReadFileBytes("cli.err")};
        fs::remove("cli.out");
        fs::remove("cli.err");
        return run;
    }

    // parrot-cli on the work folder "work" without a capture device.
    CliRun RunInWork(std::vector<std::string> actions) {
        actions.insert(actions.begin(), {"--workdir", "work", "--capture", "none"});
        return Run(actions);
    }

    std::vector<std::vector<std::string>> EngineCalls() { return ReadTestEngineLog("engine.log"); }
};

TEST_F(CliTest, VersionAndHelp) {
    const CliRun version = Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "1.0.0.1\n");
    const CliRun help = Run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("train WORD AUDIO"), std::string::npos);
}

TEST_F(CliTest, UsageErrorsTouchNothing) {
    const std::vector<std::vector<std::string>> mistakes = {
        {},
        {"words", "fly"},
        {"train", "yes"},
        {"counter", "recognize"},
        {"save", "train", "yes", "missing.raw"},
        {"--timings"},
        {"--workdir"},
        {"--verbose", "words"},
        {"recognize", "."},
        {"recognize", "fifo.raw"},
    };
    ASSERT_EQ(::mkfifo("fifo.raw", 0600), 0);  // would wait for a writer for ever
    for (const auto& mistake : mistakes) {
        const CliRun run = RunInWork(mistake);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("usage: parrot-cli"), std::string::npos);
        EXPECT_FALSE(fs::exists("work"));
    }
    EXPECT_FALSE(fs::exists("engine.log"));
}

TEST_F(CliTest, TrainListsTheWordAndSavesOnlyWhenAsked) {
    CliRun run = RunInWork({"--timings", "train", "yes", "word.raw", "words", "counter"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "yes\n1\n");
    EXPECT_TRUE(HasLineStarting(run.err, "train ")) << run.err;
    EXPECT_TRUE(HasLineStarting(run.err, "counter ")) << run.err;

    const std::string recording = ReadFileBytes("work/0.raw");
    ASSERT_EQ(recording.size(), 12288u + 8192u);
    EXPECT_EQ(recording.substr(0, 10000), ReadFileBytes("word.raw"));
    EXPECT_EQ(recording.substr(10000), std::string(12288 - 10000 + 8192, '\0'));
    EXPECT_EQ(ReadFileBytes("work/raw.txt"), "0.raw\n");
    EXPECT_EQ(ReadFileBytes("work/mfc.txt"), "0.mfc\n");
    const auto calls = EngineCalls();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[1][0], "ExtractFeatures");
    EXPECT_EQ(calls[4][0], "BWTrain");

    // Nothing was saved, but the recording is kept; now train again and save.
    run = RunInWork({"words", "counter", "train", "no", "word.raw", "save"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "1\n");
    EXPECT_EQ(ReadFileBytes("work/commands.txt"), "2\nno#1#");
    run = RunInWork({"words", "counter"});
    EXPECT_EQ(run.out, "no\n2\n");
}

// A damaged commands.txt never makes a new recording replace one in use, and
// one that cannot be read is never replaced by save.
TEST_F(CliTest, DamagedVocabularyFileLosesNoRecording) {
    fs::create_directory("work");
    WriteFileBytes("work/commands.txt", "yes#0#");
    WriteFileBytes("work/0.raw", "kept");
    CliRun run = RunInWork({"counter", "train", "no", "word.raw", "save"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "1\n");
    EXPECT_NE(run.err.find("new recordings start at 1"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFileBytes("work/0.raw"), "kept");
    EXPECT_EQ(ReadFileBytes("work/commands.txt"), "2\nno#1#\nyes#0#");

    fs::remove("work/commands.txt");
    fs::create_directory("work/commands.txt");
    run = RunInWork({"save", "counter"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "2\n");
    EXPECT_NE(run.err.find("save: the vocabulary was not saved: commands.txt is not a regular file"), std::string::npos)
        << run.err;
    EXPECT_TRUE(fs::is_directory("work/commands.txt"));
}

TEST_F(CliTest, AWorkFolderInUseIsRefusedUntouched) {
    fs::create_directory("work");
    const int other = ::open("work/parrot.lock", O_RDWR | O_CREAT, 0644);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    ASSERT_EQ(::write(other, "4242\n", 5), 5);
    const CliRun run = RunInWork({"train", "yes", "word.raw", "save"});
    ::close(other);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "parrot-cli: the work folder " + (Folder() / "work").string() +
                           " is in use by another Parrot (process 4242)\n");
    EXPECT_EQ(std::distance(fs::directory_iterator("work"), fs::directory_iterator()), 1);
    EXPECT_FALSE(fs::exists("engine.log"));
}

TEST_F(CliTest, RecognizePrintsTheResultLines) {
    WriteFileBytes("decoder.txt",
                   "0000 0003 !SENT_START -1\n0003 0040 YES -41.2345678901234\n"
                   "0040 0050 NO -50\n0050 0051 !SENT_END -1\n");
    ::setenv("PARROT_TEST_ENGINE_DECODER_OUT", (Folder() / "decoder.txt").c_str(), 1);
    const CliRun run = RunInWork({"recognize", "word.raw", "counter"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "NO score=-50\nYES score=-41.2345678901\n1\n");
    EXPECT_EQ(ReadFileBytes("work/raw_dec.txt"), "0.raw\n");
    EXPECT_EQ(fs::file_size("work/0.raw"), 12288u + 8192u);
}

TEST_F(CliTest, FailedActionsSayWhatFailedAndLaterActionsRun) {
    // A refused word: nothing trained, the counter stays, and the one-line
    // message quotes the word with its control characters escaped.
    CliRun run = RunInWork({"train", "a\nb\x1b[31mRED", "word.raw", "counter"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "0\n");
    EXPECT_TRUE(run.err.starts_with("parrot-cli: train: \"a\\nb\\x1b[31mRED\" cannot be trained")) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    EXPECT_FALSE(fs::exists("engine.log"));

    // A decoder that writes no output (the refused word's recording 0 stays).
    ::setenv("PARROT_TEST_ENGINE_FAIL", "TraceProjection", 1);
    run = RunInWork({"recognize", "word.raw", "counter"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "2\n");
    EXPECT_NE(run.err.find("recognize: "), std::string::npos);

    // A training tool that fails: the word is still trained and listed, but
    // the action reports the tool and the run exits 1.
    ::setenv("PARROT_TEST_ENGINE_FAIL", "InitHMM", 1);
    run = RunInWork({"train", "yes", "word.raw", "words"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "yes\n");
    EXPECT_NE(run.err.find("train: the speech engine's init_hmm failed"), std::string::npos) << run.err;
}

}  // namespace
