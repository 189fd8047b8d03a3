// The decoding parameters, and "decoder.out" read into scored words.

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/session_file_names.h"
#include "recognition/recognition_session.h"
#include "support/temporary_folder.h"

namespace {

class DecodingRun : public ::testing::Test {
protected:
    EnteredFolder folder;  // the current folder while the test runs

    void SetUp() override {
        session.SetFileNames(kDecodingFileNames);
        session.failures = &failures;
    }

    // Reads `content` as the decoder's output.
    std::map<std::wstring, double> Read(const std::string& content) {
        WriteFileBytes("decoder.out", content);
        session.ReadDecoderOutput();
        EXPECT_EQ(failures, std::vector<std::string>{});
        return session.results;
    }

    RecognitionSession session;
    std::vector<std::string> failures;
};

using Results = std::map<std::wstring, double>;

// What the parameters say is checked by decoding with the real engine.
TEST_F(DecodingRun, ParametersReplaceALongerFile) {
    WriteFileBytes("params_dec.txt", std::string(2000, '@'));
    session.WriteDecParams();
    EXPECT_EQ(ReadFileBytes("params_dec.txt").find('@'), std::string::npos);
}

// Separators of any mix, blank lines and carriage returns; the sentence marks
// are no words, and the later line of a word wins; a line of ten characters
// or fewer is the empty word; a missing or malformed score is 0.
TEST_F(DecodingRun, ReadsWordsAndScores) {
    const std::pair<std::string, Results> cases[] = {
        {"0000 0012 HELLO -12.5 x\n", {{L"HELLO", -12.5}}},
        {"  0000 0012 \t A \t-1e2\t\r\n0012 0020 B  +3.25\r\n", {{L"A", -100.0}, {L"B", 3.25}}},
        {"0000 0001 !SENT_START -3.0\n0001 0002 W -1\n0002 0003 W -2\n0003 0004 !SENT_END -3.0\n", {{L"W", -2.0}}},
        {"0000 0001 X!SENT_ENDY -3.0\n", {}},
        {"\n   \t\n0000 0001\nshort\n0000 0002 NOSCORE\n0000 0003 BAD x1\n",
         {{L"", 0.0}, {L"NOSCORE", 0.0}, {L"BAD", 0.0}}},
        {"", {}},
        {"0000 0001 " + std::string(300, 'W') + " -7.5", {{std::wstring(300, L'W'), -7.5}}},
    };
    for (const auto& [content, results] : cases) {
        EXPECT_EQ(Read(content), results) << content;
    }
}

}  // namespace
