// parrot-cli end to end in a fresh folder, with the test engine standing in
// for the speech engine (PARROT_SPEECH_LIBRARY) and audio read from files.

#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/temporary_folder.h"
#include "support/test_environment.h"

namespace fs = std::filesystem;

namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

class CliTest : public ::testing::Test {
protected:
    EnteredFolder folder;  // the current folder while the test runs

    void SetUp() override {
        // Runs without --workdir or --capture stay in the test's folder.
        environment.Set("XDG_DATA_HOME", (folder.path() / "data").c_str());
        environment.Set("PARROT_CAPTURE", "none");
        environment.Set("PARROT_TEST_ENGINE_LOG", (folder.path() / "engine.log").c_str());
        fs::copy_file(fs::path(std::getenv("PARROT_DEMO_DIR")) / "one_0.raw", "word.raw");
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

    // parrot-cli on the work folder "work".
    CliRun RunInWork(std::vector<std::string> actions) {
        actions.insert(actions.begin(), "--workdir=work");
        return Run(actions);
    }

    TestEnvironment environment;
};

// Each argument line with its exit status, the start of its first line on
// stderr and its first line on stdout. A usage error prints its line and the
// hint, and touches nothing.
TEST_F(CliTest, CommandLineConventions) {
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string errStart;
        std::string firstOutLine;
    };
    const std::string usage = "usage: parrot-cli [OPTION]... ACTION... [-- ACTION...]";
    const Case cases[] = {
        {{"--version"}, 0, "", "parrot-cli 1.0.0.1"},
        {{"-h"}, 0, "", usage},
        {{"words", "--help", "--bogus"}, 0, "", usage},
        {{}, 2, "parrot-cli: no action given", ""},
        {{"recognise", "word.raw"}, 2, "parrot-cli: unknown action 'recognise'; did you mean 'recognize'?", ""},
        {{"frobnicate"}, 2, "parrot-cli: unknown action 'frobnicate'\n", ""},
        {{"--workdri=work", "words"}, 2, "parrot-cli: unknown option '--workdri'; did you mean '--workdir'?", ""},
        {{"words", "--workdir"}, 2, "parrot-cli: --workdir needs a value", ""},
        {{"--timings=yes", "words"}, 2, "parrot-cli: --timings takes no value", ""},
        {{"save", "train", "yes"}, 2, "parrot-cli: train needs WORD and AUDIO", ""},
        {{"words", "forget"}, 2, "parrot-cli: forget needs WORD", ""},
        {{"train", " ", "word.raw"}, 2, "parrot-cli: train: WORD is empty", ""},
        {{"save", "recognize", "missing.raw"}, 2, "parrot-cli: recognize: cannot read missing.raw: no such file", ""},
        {{"recognize", "text.wav"}, 2, "parrot-cli: recognize: cannot read text.wav: ", ""},
        // A FIFO would wait for a writer for ever.
        {{"recognize", "fifo.raw"}, 2, "parrot-cli: recognize: cannot read fifo.raw: it is not a regular file", ""},
        {{"--capture", "bogus", "words"}, 2, "parrot-cli: --capture: unknown capture device \"bogus\"", ""},
        {{"--capture", "None", "words"}, 2, "parrot-cli: --capture: unknown capture device \"None\"", ""},
        {{"--capture=portaudio:", "words"}, 2, "parrot-cli: --capture: unknown capture device \"portaudio:\"", ""},
        {{"words", "--capture=file:empty.raw"}, 2, "parrot-cli: --capture: empty.raw holds no audio", ""},
        {{"counter", "--workdir=work", "--capture", "none"}, 0, "", "0"},
        {{"--workdir=work", "--", "train", "--x", "word.raw", "words"}, 0, "", "--x"},
        // A refused word is quoted on one line, its control characters escaped.
        {{"--workdir=work", "train", "a\nb\x1b[31mRED", "word.raw", "counter"},
         1,
         "parrot-cli: train: \"a\\nb\\x1b[31mRED\" cannot be trained: ",
         "0"},
        {{"recognize", "word.raw", "counter"}, 1, "parrot-cli: recognize: no words are trained yet", "0"},
        {{"forget", "maybe"}, 1, "parrot-cli: forget: there is no word \"maybe\" to forget\n", ""},
    };
    ASSERT_EQ(::mkfifo("fifo.raw", 0600), 0);
    WriteFileBytes("text.wav", "not audio");
    WriteFileBytes("empty.raw", "");
    for (const Case& c : cases) {
        std::string line;
        for (const std::string& argument : c.arguments) line += " " + argument;
        SCOPED_TRACE("parrot-cli" + line);
        const CliRun run = Run(c.arguments);
        EXPECT_EQ(run.status, c.status);
        EXPECT_TRUE(run.err.starts_with(c.errStart)) << run.err;
        EXPECT_EQ(FirstLine(run.out), c.firstOutLine);
        // One line on stderr at most, and for a usage error the hint after it.
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), c.status == 2 ? 2 : c.errStart.empty() ? 0 : 1);
        if (c.status == 2) {
            EXPECT_TRUE(run.err.ends_with("\nTry 'parrot-cli --help'.\n")) << run.err;
            EXPECT_FALSE(fs::exists("work") || fs::exists("data"));
        }
        fs::remove_all("work");
        fs::remove_all("data");
    }
}

TEST_F(CliTest, TrainListsTheWordAndSavesOnlyWhenAsked) {
    CliRun run = RunInWork({"--timings", "train", "yes", "word.raw", "words", "counter"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "yes\n1\n");
    EXPECT_TRUE(run.err.starts_with("train ")) << run.err;
    EXPECT_NE(run.err.find("\ncounter "), std::string::npos) << run.err;

    // Nothing was saved, but the recording is kept; now train again and save.
    run = RunInWork({"words", "counter", "train", "no", "word.raw", "save"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "1\n");
    EXPECT_EQ(ReadFileBytes("work/commands.txt"), "2\nno#1#");
}

// A commands.txt that cannot be read is never replaced by save.
TEST_F(CliTest, UnreadableVocabularyFileIsNotReplaced) {
    fs::create_directories("work/commands.txt");
    const CliRun run = RunInWork({"save", "counter"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "0\n");
    EXPECT_NE(run.err.find("save: the vocabulary was not saved: commands.txt is not a regular file"), std::string::npos)
        << run.err;
    EXPECT_TRUE(fs::is_directory("work/commands.txt"));
}

// recognize prints the result lines, or nothing and a line on stderr when no
// word was recognised, which is no failure; train refuses a recording
// without speech, which is one.
TEST_F(CliTest, RecognizeAndTrainSayWhenNothingWasHeard) {
    WriteFileBytes("decoder.txt",
                   "0000 0003 !SENT_START -1\n0003 0040 YES -41.2345678901234\n"
                   "0040 0050 NO -50\n0050 0051 !SENT_END -1\n");
    WriteFileBytes("silence.raw", std::string(22050, '\0'));
    environment.Set("PARROT_TEST_ENGINE_DECODER_OUT", (folder.path() / "decoder.txt").c_str());
    CliRun run = RunInWork({"train", "yes", "word.raw", "recognize", "word.raw", "save", "counter"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "NO score=-50\nYES score=-41.2345678901\n2\n");
    EXPECT_EQ(run.err, "");

    // A recording without speech never reaches the decoder, whose words
    // would be printed. (A decoder that names no word is the dialog's test.)
    run = RunInWork({"recognize", "silence.raw", "save", "counter"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "3\n");
    EXPECT_EQ(run.err, "parrot-cli: recognize: no word recognised in silence.raw\n");

    run = RunInWork({"train", "yes", "silence.raw", "counter", "words"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "3\nyes\n");
    EXPECT_EQ(run.err, "parrot-cli: train: no speech was heard, so the word was not trained\n");
}

// An engine tool that fails is reported under its action, and the actions
// after it still run.
TEST_F(CliTest, FailedEngineToolIsReported) {
    environment.Set("PARROT_TEST_ENGINE_FAIL", "InitHMM");
    CliRun run = RunInWork({"train", "yes", "word.raw", "words"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "yes\n");
    EXPECT_EQ(run.err, "parrot-cli: train: the speech engine's init_hmm failed (status 1)\n");

    environment.Set("PARROT_TEST_ENGINE_FAIL", "TraceProjection");
    run = RunInWork({"train", "yes", "word.raw", "recognize", "word.raw", "counter"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "3\n");
    const std::string decoderFailure =
        "parrot-cli: recognize: the speech engine's trace_projection failed (status 1)\n"
        "parrot-cli: recognize: the decoder wrote no output, so nothing was recognised\n";
    EXPECT_TRUE(run.err.ends_with(decoderFailure)) << run.err;
}

// The counter never wraps: at its largest value nothing more is recorded.
TEST_F(CliTest, CounterAtItsLargestValueRefusesToRecord) {
    fs::create_directory("work");
    WriteFileBytes("work/commands.txt", "2147483647\nyes#0#");
    const CliRun run = RunInWork({"train", "no", "word.raw", "recognize", "word.raw", "counter"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "2147483647\n");
    const std::string refusal =
        "the recording counter has reached 2147483647, the largest there is, so nothing was recorded; use a new "
        "work folder\n";
    EXPECT_EQ(run.err, "parrot-cli: train: " + refusal + "parrot-cli: recognize: " + refusal);
    EXPECT_FALSE(fs::exists("work/2147483647.raw"));
    EXPECT_FALSE(fs::exists("engine.log"));
}

}  // namespace
