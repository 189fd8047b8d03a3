// The decoder on synthetic features: the right word, its frames and score,
// and the output layout.

#include <gtest/gtest.h>

#include <random>

#include "decoding/decoder.h"
#include "decoding/decoder_output.h"
#include "speech/support/synthetic_models.h"

namespace {

const speech::Lexicon kLexicon{{"!SENT_START", {{"sil"}}},
                               {"!SENT_END", {{"sil"}}},
                               {"AB", {{"a", "b"}, {"a", "b", "sil"}}},
                               {"BA", {{"b", "a"}, {"b", "a", "sil"}}}};

// !SENT_START < AB | BA > !SENT_END, as the grammar compiler builds it:
// null nodes around the loop of word alternatives.
speech::WordNetwork LoopNetwork(const std::vector<std::string>& words) {
    speech::WordNetwork network;
    auto node = [&](const std::string& word) {
        network.nodes.push_back({word});
        return std::uint32_t(network.nodes.size() - 1);
    };
    const auto start = node(""), first = node("!SENT_START"), loopIn = node(""), loopOut = node("");
    const auto last = node("!SENT_END"), end = node("");
    network.arcs = {{start, first}, {first, loopIn}, {loopOut, loopIn}, {loopOut, last}, {last, end}};
    for (const auto& word : words) {
        const auto n = node(word);
        network.arcs.push_back({loopIn, n});
        network.arcs.push_back({n, loopOut});
    }
    network.start = start;
    network.end = end;
    return network;
}

speech::StateSet KnownStates() {
    speech::StateSet states = synthetic::FlatStates();
    for (std::uint32_t s = 5; s <= 12; ++s)
        states.states[s].front().mean.assign(synthetic::kDimension, s <= 8 ? 6.0f : -6.0f);
    return states;
}

std::vector<speech::DecodedWord> Decode(const std::vector<std::string>& spoken, std::uint32_t framesPerPhone) {
    const auto inventory = synthetic::Inventory(kLexicon);
    const auto transitions = synthetic::Transitions();
    speech::Decoder decoder;
    std::string error;
    EXPECT_TRUE(decoder.Build(LoopNetwork({"AB", "BA"}), inventory, transitions, error)) << error;
    std::mt19937 random(11);
    const auto features = synthetic::Frames(spoken, framesPerPhone, random);
    const speech::StateScorer scorer(KnownStates());
    return decoder.Decode(features, scorer, speech::DecoderSettings{});
}

std::vector<std::string> Words(const std::vector<speech::DecodedWord>& path) {
    std::vector<std::string> words;
    for (const auto& word : path) words.push_back(word.word);
    return words;
}

TEST(Decoder, ChoosesTheSpokenWordBetweenSentenceMarks) {
    EXPECT_EQ(Words(Decode({"sil", "a", "b", "sil"}, 10)),
              (std::vector<std::string>{"!SENT_START", "AB", "!SENT_END"}));
    EXPECT_EQ(Words(Decode({"sil", "b", "a", "sil"}, 10)),
              (std::vector<std::string>{"!SENT_START", "BA", "!SENT_END"}));
}

TEST(Decoder, FindsTwoWordsWhenTwoAreSpoken) {
    EXPECT_EQ(Words(Decode({"sil", "a", "b", "sil", "b", "a", "sil"}, 12)),
              (std::vector<std::string>{"!SENT_START", "AB", "BA", "!SENT_END"}));
}

TEST(Decoder, WordsCoverTheFramesInOrderAndScoreAverageLikelihoods) {
    const auto path = Decode({"sil", "a", "b", "sil"}, 10);
    ASSERT_EQ(path.size(), 3u);
    EXPECT_EQ(path.front().firstFrame, 0u);
    EXPECT_EQ(path.back().lastFrame, 39u);
    for (std::size_t i = 1; i < path.size(); ++i) EXPECT_EQ(path[i].firstFrame, path[i - 1].lastFrame + 1);
    // AB's frames lie at its means: per frame about -(3/2)(log 2 pi + 1).
    EXPECT_LT(path[1].score, -3.0);
    EXPECT_GT(path[1].score, -6.0);
    EXPECT_GE(path[1].firstFrame, 8u);
    EXPECT_LE(path[1].firstFrame, 12u);
}

TEST(Decoder, NoPathWhenTheRecordingIsShorterThanAnyWord) { EXPECT_TRUE(Decode({"a"}, 3).empty()); }

TEST(Decoder, NamesAWordMissingFromTheLexicon) {
    speech::Decoder decoder;
    std::string error;
    EXPECT_FALSE(
        decoder.Build(LoopNetwork({"AB", "CD"}), synthetic::Inventory(kLexicon), synthetic::Transitions(), error));
    EXPECT_NE(error.find("CD"), std::string::npos) << error;
}

TEST(Decoder, NamesAPhoneWithoutAModel) {
    auto lexicon = kLexicon;
    lexicon["AB"].push_back({"a", "zz"});
    speech::Decoder decoder;
    std::string error;
    EXPECT_FALSE(decoder.Build(LoopNetwork({"AB"}), synthetic::Inventory(lexicon), synthetic::Transitions(), error));
    EXPECT_NE(error.find("zz"), std::string::npos) << error;
}

TEST(DecoderOutput, TenCharacterPrefixThenWordAndScore) {
    const std::vector<speech::DecodedWord> words{
        {"!SENT_START", 0, 7, -3.25}, {"TURN_LEFT", 8, 12345, -41.5}, {"!SENT_END", 12346, 20000, 0.0}};
    EXPECT_EQ(speech::FormatDecoderOutput(words),
              "0000 0007 !SENT_START -3.25\n0008 9999 TURN_LEFT -41.5\n9999 9999 !SENT_END 0\n");
}

}  // namespace
