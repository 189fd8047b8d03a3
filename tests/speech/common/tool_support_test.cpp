#include "common/tool_support.h"

#include <sys/stat.h>

#include <cmath>
#include <cstring>
#include <random>

#include "speech/support/speech_test_support.h"

using namespace speech;
using namespace speech_test;

namespace {

bool ParseArguments(ToolOptions& options, std::vector<std::string> arguments, std::string& error) {
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    return options.Parse(static_cast<int>(argv.size()), argv.data(), error);
}

}  // namespace

TEST(ToolOptions, AcceptsSwitchesValuesAndPositionalArguments) {
    ToolOptions options({"-delta"}, {"-input"}, true);
    std::string error;
    ASSERT_TRUE(ParseArguments(options, {"tool", "-delta", "-input", "-x.txt", "in", "out"}, error)) << error;
    EXPECT_TRUE(options.Has("-delta"));
    EXPECT_EQ(options.Value("-input"), "-x.txt");  // a value may look like an option
    EXPECT_FALSE(options.Value("-output"));
    EXPECT_EQ(options.Positional(), (std::vector<std::string>{"in", "out"}));
}

// Unknown options and missing values are the tools' refusal tests.
TEST(ToolOptions, RefusesStrayArgumentsAndRepeatedOptions) {
    std::string error;
    ToolOptions strict({"-delta"}, {"-input"});
    EXPECT_FALSE(ParseArguments(strict, {"tool", "stray"}, error));
    EXPECT_NE(error.find("stray"), std::string::npos);
    EXPECT_FALSE(ParseArguments(strict, {"tool", "-input", "a", "-input", "b"}, error));
    EXPECT_NE(error.find("twice"), std::string::npos);
}

TEST(Numbers, ParseWholeTextOnly) {
    double value = 0.0;
    EXPECT_TRUE(ParseDouble("11025.0", value));
    EXPECT_EQ(value, 11025.0);
    EXPECT_TRUE(ParseDouble(" +0.97 ", value));
    EXPECT_EQ(value, 0.97);
    EXPECT_TRUE(ParseDouble("1.0e-10", value));
    EXPECT_EQ(value, 1.0e-10);
    for (const char* bad : {"", "0,97", "1.5x", "nan", "inf", "1e999", "--1", "+-1"})
        EXPECT_FALSE(ParseDouble(bad, value)) << bad;
    long long integer = 0;
    EXPECT_TRUE(ParseInt("-12", integer));
    EXPECT_EQ(integer, -12);
    EXPECT_FALSE(ParseInt("12.0", integer));
    EXPECT_FALSE(ParseInt("99999999999999999999", integer));
    EXPECT_EQ(FormatDouble(0.5), "0.5");
}

TEST(Numbers, FloatTextReadsBackExactly) {
    std::mt19937 random(7);
    std::uniform_int_distribution<std::uint32_t> bits;
    for (int i = 0; i < 20000; ++i) {
        std::uint32_t pattern = bits(random);
        float value = 0.0f;
        std::memcpy(&value, &pattern, sizeof value);
        if (!std::isfinite(value)) continue;
        float back = 1.0f;
        ASSERT_TRUE(ParseFloat(FormatFloat(value), back)) << FormatFloat(value);
        ASSERT_EQ(std::memcmp(&back, &value, sizeof value), 0) << FormatFloat(value);
    }
}

TEST(ListFiles, ReadNamesAsTheApplicationWritesThem) {
    ScratchFolder folder;
    WriteText(folder / "list.txt", "0.raw\r\n\n  2.raw  \n1.raw");
    std::vector<std::string> entries;
    std::string error;
    ASSERT_TRUE(ReadListFile(folder / "list.txt", entries, error)) << error;
    EXPECT_EQ(entries, (std::vector<std::string>{"0.raw", "2.raw", "1.raw"}));
}

// The application's own parameters, empty values and all, are read by the
// engine tool tests.
TEST(ParameterFiles, RefuseLinesWithoutKeyAndValueAndRepeatedKeys) {
    std::map<std::string, std::string> parameters;
    std::string error;
    ScratchFolder folder;
    WriteText(folder / "bad.txt", "a = 1\nno equals sign\n");
    EXPECT_FALSE(ReadParameterFile(folder / "bad.txt", parameters, error));
    EXPECT_NE(error.find("line 2"), std::string::npos);
    WriteText(folder / "twice.txt", "a = 1\na = 2\n");
    EXPECT_FALSE(ReadParameterFile(folder / "twice.txt", parameters, error));
}

TEST(AtomicWrite, ReplacesWholeFilesAndLeavesNothingBehindOnFailure) {
    ScratchFolder folder;
    std::string error;
    WriteText(folder / "out.txt", "old");
    ASSERT_TRUE(WriteFileAtomically(folder / "out.txt", "new contents", error)) << error;
    EXPECT_EQ(ReadText(folder / "out.txt"), "new contents");
    EXPECT_EQ(folder.Files(), std::vector<std::string>{"out.txt"});
    EXPECT_FALSE(WriteFileAtomically(folder / "no/such/folder/out.txt", "x", error));
    EXPECT_NE(error.find("out.txt"), std::string::npos);
    // A folder standing where the file should go cannot be replaced.
    std::filesystem::create_directory(folder / "taken");
    EXPECT_FALSE(WriteFileAtomically(folder / "taken", "x", error));
    EXPECT_EQ(folder.Files(), (std::vector<std::string>{"out.txt", "taken"}));
}

// Devices, pipes and folders named where an engine input belongs are refused
// at once (a FIFO with no writer would block a plain open for ever), and so
// is a file larger than the engine's limit, before any of it is read.
TEST(EngineInputs, OnlyRegularFilesOfBoundedSizeAreRead) {
    ScratchFolder folder;
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    WriteText(folder / "huge", "");
    std::filesystem::resize_file(folder / "huge", kMaxInputBytes + 1);  // sparse: no disk is used
    const std::pair<std::string, std::string> cases[] = {{folder / "fifo", "not a regular file"},
                                                         {"/dev/zero", "not a regular file"},
                                                         {folder.path().string(), "not a regular file"},
                                                         {folder / "huge", "larger than the 1024 MiB"}};
    for (const auto& [path, reason] : cases) {
        std::string contents, error;
        EXPECT_FALSE(ReadWholeFile(path, contents, error)) << path;
        EXPECT_NE(error.find(path + " is " + reason), std::string::npos) << error;
    }
}
