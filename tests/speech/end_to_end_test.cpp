// The whole system through parrot-cli and the real engine: two words trained
// from four and two recordings, then held-out recordings of them recognised, and
// a word never trained and room noise rejected; the terms of each decoded
// recording's confidence printed for refitting it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

#include "decoding/confidence.h"
#include "decoding/word_templates.h"
#include "speech/support/feature_test_signals.h"
#include "speech/support/speech_test_support.h"

namespace {

namespace fs = std::filesystem;

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

TEST(EndToEnd, TrainedWordsAreRecognisedAndEverythingElseRejected) {
    const fs::path cli = fs::path(std::getenv("PARROT_BIN_DIR")) / "parrot-cli";
    const fs::path data = std::getenv("PARROT_DEMO_DIR");
    ASSERT_TRUE(fs::exists(cli)) << cli;
    const TemporaryFolder work;
    // A second and a half of faint noise, as a room sounds with nobody speaking.
    speech_test::WriteRecording(work.Path("room.raw"), speech_test::Noise(16000, 60.0, 7));

    // "one" is trained four times (its two recordings twice), "five" twice.
    const std::vector<std::string> trainings{"one_0", "one_1", "five_0", "five_1", "one_0", "one_1"};
    std::string command = "unset PARROT_SPEECH_LIBRARY; SPEECH_CONFIDENCE_TERMS=1 " + Quoted(cli.string()) +
                          " --workdir " + Quoted(work.Path("work"));
    for (const auto& take : trainings)
        command += " train " + take.substr(0, take.find('_')) + " " + Quoted((data / (take + ".raw")).string());
    // "counter" prints a number after each recognition's result lines; an
    // empty string expects no result line.
    const std::vector<std::pair<fs::path, std::string>> recordings{{data / "one_4.raw", "ONE"},
                                                                   {data / "five_4.raw", "FIVE"},
                                                                   {data / "zero_4.raw", ""},
                                                                   {work.Path("room.raw"), ""}};
    for (const auto& [recording, expected] : recordings)
        command += " recognize " + Quoted(recording.string()) + " counter";
    fs::create_directories(work.Path("work"));
    const int status =
        std::system((command + " >" + Quoted(work.Path("out.txt")) + " 2>" + Quoted(work.Path("stderr.txt"))).c_str());
    const std::string output = ReadFileBytes(work.Path("out.txt"));
    ASSERT_EQ(status, 0) << output;
    // The trainer kept every recording as a template, the first three of each
    // word also with their two speed-perturbed copies and their noisier one,
    // in that order; the noisier copy's speech is where its take's is.
    speech::TemplateSet templates;
    std::string error;
    ASSERT_TRUE(speech::ReadTemplates((work.path() / "work" / "train_states.bin.templates").string(), templates, error))
        << error;
    ASSERT_EQ(templates.templates.size(), (3u * 4 + 1) + 2 * 4);
    std::map<std::string, std::vector<std::uint32_t>> lengthsOf;
    for (const auto& entry : templates.templates) lengthsOf[entry.key].push_back(entry.frames.frameCount);
    for (const auto& [key, lengths] : lengthsOf)
        for (std::size_t take = 0; take + 4 <= lengths.size() && take < 3 * 4; take += 4)
            EXPECT_EQ(lengths[take + 3], lengths[take]) << key << ", take " << take / 4;

    std::istringstream lines(output);
    std::vector<std::map<std::string, double>> recognitions(1);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos) {
            recognitions.emplace_back();
            continue;
        }
        const auto separator = line.find(" score=");
        ASSERT_NE(separator, std::string::npos) << line;
        recognitions.back()[line.substr(0, separator)] = std::stod(line.substr(separator + 7));
    }
    recognitions.pop_back();
    ASSERT_EQ(recognitions.size(), recordings.size()) << output;
    for (std::size_t i = 0; i < recordings.size(); ++i) {
        const std::string& expected = recordings[i].second;
        if (expected.empty()) {
            EXPECT_TRUE(recognitions[i].empty()) << recordings[i].first << "\n" << output;
            continue;
        }
        ASSERT_EQ(recognitions[i].size(), 1u) << output;
        EXPECT_EQ(recognitions[i].begin()->first, expected) << output;
        EXPECT_GE(recognitions[i].begin()->second, speech::kAcceptanceThreshold) << output;
        EXPECT_LE(recognitions[i].begin()->second, 1.0) << output;
    }

    // Every recording that reached the decoder, the rejected word too (the
    // room noise never does), names the word it was given and every term.
    std::istringstream errors(ReadFileBytes(work.Path("stderr.txt")));
    std::vector<std::istringstream> terms;
    for (std::string line; std::getline(errors, line);)
        if (line.rfind("confidence-terms ", 0) == 0) terms.emplace_back(line.substr(17));
    ASSERT_EQ(terms.size(), 3u);
    for (auto& line : terms) {
        std::string word, term;
        line >> word;
        EXPECT_TRUE(word == "ONE" || word == "FIVE") << word;
        std::size_t count = 0;
        while (line >> term) count += term.find('=') != std::string::npos;
        EXPECT_EQ(count, speech::kConfidenceTerms);
    }
}

}  // namespace
