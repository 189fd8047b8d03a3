#include "common/tool_support.h"

#include <cmath>
#include <cstring>
#include <random>

#include "speech/support/speech_test_support.h"

using namespace speech;
using namespace speech_test;

// Numbers are read whole: a trailing unit, a comma, a value out of range or
// one that is not a number is refused rather than read in part.
TEST(Numbers, ParseWholeTextOnly) {
    double value = 0.0;
    for (const char* bad : {"", "0,97", "1.5x", "nan", "inf", "1e999", "--1", "+-1"})
        EXPECT_FALSE(ParseDouble(bad, value)) << bad;
    long long integer = 0;
    EXPECT_TRUE(ParseInt("-12", integer));
    EXPECT_EQ(integer, -12);
    EXPECT_FALSE(ParseInt("12.0", integer));
    EXPECT_FALSE(ParseInt("99999999999999999999", integer));
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
    // Pieces go out many to a system call: more of them than one call takes,
    // empty ones among them, each in its place.
    std::vector<std::string> texts;
    for (int i = 0; i < 3000; ++i) texts.push_back(i % 7 == 0 ? "" : std::to_string(i) + ",");
    const std::vector<std::string_view> pieces(texts.begin(), texts.end());
    std::string whole;
    for (const auto& text : texts) whole += text;
    ASSERT_TRUE(WriteFileAtomically(folder / "out.txt", pieces, error)) << error;
    EXPECT_EQ(ReadText(folder / "out.txt"), whole);
}

// Folders named where an engine input belongs are refused, and so is a file
// larger than the engine's limit, before any of it is read. (Pipes and
// devices are the tools' refusals.)
TEST(EngineInputs, OnlyRegularFilesOfBoundedSizeAreRead) {
    ScratchFolder folder;
    WriteText(folder / "huge", "");
    std::filesystem::resize_file(folder / "huge", kMaxInputBytes + 1);  // sparse: no disk is used
    const std::pair<std::string, std::string> cases[] = {{folder.path().string(), "not a regular file"},
                                                         {folder / "huge", "larger than the 1024 MiB"}};
    for (const auto& [path, reason] : cases) {
        std::string contents, error;
        EXPECT_FALSE(ReadWholeFile(path, contents, error)) << path;
        EXPECT_NE(error.find(path + " is " + reason), std::string::npos) << error;
    }
}
