// The decoder on synthetic features: the spoken words, the word insertion
// penalty, the state beam, the partial path, and the output layout. (The
// words' frames are the recogniser's test, their scores the end-to-end
// test's.)

#include <gtest/gtest.h>

#include <random>

#include "decoding/confidence.h"
#include "decoding/decoder.h"
#include "decoding/decoder_output.h"
#include "speech/support/synthetic_models.h"

namespace {

// "c" sounds like "b" but lingers: a self-loop of 0.9 fits a long b better
// than b's own 0.5, by a few log-likelihood units.
const speech::Lexicon kLexicon{{"!SENT_START", {{"sil"}}},
                               {"!SENT_END", {{"sil"}}},
                               {"AB", {{"a", "b"}, {"a", "b", "sil"}}},
                               {"BA", {{"b", "a"}, {"b", "a", "sil"}}},
                               {"A", {{"a"}}},
                               {"C", {{"c"}}},
                               {"X", {{"c"}, {"b"}}}};

speech::ModelInventory Inventory() {
    speech::ModelInventory inventory = synthetic::Inventory(kLexicon);
    inventory.modelByPhone["c"] = std::uint32_t(inventory.models.size());
    inventory.models.push_back({"c", 4, {9, 10, 11, 12}});
    return inventory;
}

speech::TransitionSet Transitions() {
    speech::TransitionSet transitions = synthetic::Transitions();
    speech::TransitionSet::Matrix lingering = transitions.matrices.back();
    for (int i = 1; i <= 4; ++i) {
        lingering.probabilities[i * 6 + i] = 0.9;
        lingering.probabilities[i * 6 + i + 1] = 0.1;
    }
    transitions.matrices.push_back(lingering);
    return transitions;
}

std::vector<speech::Hypothesis> Decode(const speech::WordNetwork& network, const std::vector<std::string>& spoken,
                                       std::uint32_t framesPerPhone, const speech::DecoderSettings& settings = {},
                                       const speech::ModelInventory& inventory = Inventory()) {
    speech::Decoder decoder;
    std::string error;
    EXPECT_TRUE(decoder.Build(network, inventory, Transitions(), error)) << error;
    std::mt19937 random(11);
    const auto features = synthetic::Frames(spoken, framesPerPhone, random);
    return decoder.Decode(features, speech::StateScorer(synthetic::SeparatedStates()), settings);
}

std::string Words(const speech::Hypothesis& path) {
    std::string words;
    for (const auto& word : path.words) words += (words.empty() ? "" : " ") + word.word;
    return words;
}

TEST(Decoder, FindsTheSpokenWords) {
    const struct {
        std::vector<std::string> spoken;
        std::uint32_t framesPerPhone;
        const char* words;
    } cases[] = {
        {{"sil", "a", "b", "sil"}, 10, "!SENT_START AB !SENT_END"},
        {{"sil", "b", "a", "sil"}, 10, "!SENT_START BA !SENT_END"},
        {{"sil", "a", "b", "sil", "b", "a", "sil"}, 12, "!SENT_START AB BA !SENT_END"},
        // A + C fits a long b better than AB, but not by the price of a
        // second word: one spoken word is not split.
        {{"sil", "a", "b", "b", "b", "sil"}, 10, "!SENT_START AB !SENT_END"},
    };
    for (const auto& c : cases) {
        const auto paths = Decode(synthetic::LoopNetwork({"AB", "BA", "A", "C"}), c.spoken, c.framesPerPhone);
        ASSERT_FALSE(paths.empty());
        EXPECT_TRUE(paths.front().complete);
        EXPECT_EQ(Words(paths.front()), c.words) << c.spoken.size() << " phones";
    }
    speech::DecoderSettings free;
    free.wordInsertionPenalty = 0.0;
    EXPECT_GT(Decode(synthetic::LoopNetwork({"AB", "A", "C"}), {"sil", "a", "b", "b", "b", "sil"}, 10, free)
                  .front()
                  .words.size(),
              3u);
}

// The search steps once through the beginning that a word's pronunciations
// share; the word still decodes as the best of its pronunciations searched
// one at a time, to the same score and frames.
TEST(Decoder, PronunciationsSharingTheirBeginningDecodeAsTheBestOfThemAlone) {
    using Pronunciation = std::vector<std::string>;
    const struct {
        std::vector<Pronunciation> pronunciations;
        std::vector<std::string> spoken;
    } cases[] = {
        {{{"a", "b"}, {"a", "b", "a"}}, {"sil", "a", "b", "a", "sil"}},
        {{{"a", "b", "a"}, {"a", "b"}}, {"sil", "a", "b", "sil"}},
        // c has b's states but lingers: "a c" wins on a long b, "a b" on a
        // short one, and neither may take the other's positions.
        {{{"a", "b"}, {"a", "c"}}, {"sil", "a", "b", "b", "b", "sil"}},
        {{{"a", "c", "sil"}, {"a", "b", "sil"}}, {"sil", "a", "b", "sil"}},
        {{{"b", "a"}, {"a", "b"}, {"a"}}, {"sil", "a", "b", "sil"}},
    };
    const auto network = synthetic::LoopNetwork({"W"});
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        auto inventory = Inventory();
        std::vector<speech::Hypothesis> alone;
        for (const auto& pronunciation : c.pronunciations) {
            inventory.lexicon["W"] = {pronunciation};
            const auto paths = Decode(network, c.spoken, 10, {}, inventory);
            ASSERT_FALSE(paths.empty());
            if (alone.empty() || paths.front().score > alone.front().score) alone = paths;
        }
        inventory.lexicon["W"] = c.pronunciations;
        const auto together = Decode(network, c.spoken, 10, {}, inventory);
        ASSERT_FALSE(together.empty());
        const auto& best = together.front();
        EXPECT_EQ(best.score, alone.front().score);
        ASSERT_EQ(best.words.size(), alone.front().words.size());
        for (std::size_t w = 0; w < best.words.size(); ++w) {
            EXPECT_EQ(best.words[w].firstFrame, alone.front().words[w].firstFrame);
            EXPECT_EQ(best.words[w].score, alone.front().words[w].score);
        }
    }
}

TEST(Decoder, TheStateBeamDropsTokensFarBehindTheWordsBest) {
    // X's "c" leads while it lingers in its first state, a move costing it
    // 2.2 units against staying: a beam of one unit keeps only the lingering
    // token and drops "b", so X never ends and no path reaches the end.
    const auto network = synthetic::LoopNetwork({"X"});
    const auto wide = Decode(network, {"sil", "b", "sil"}, 10);
    ASSERT_FALSE(wide.empty());
    EXPECT_TRUE(wide.front().complete);
    speech::DecoderSettings settings;
    settings.stateBeam = 1.0;
    const auto narrow = Decode(network, {"sil", "b", "sil"}, 10, settings);
    ASSERT_FALSE(narrow.empty());
    EXPECT_FALSE(narrow.front().complete);
}

TEST(Decoder, RecordingCutInAWordGivesTheBestPartialPath) {
    // Sixteen frames are the fewest that cross sil, AB and sil.
    const auto paths = Decode(synthetic::LoopNetwork({"AB", "BA"}), {"sil", "a", "b"}, 5);
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_FALSE(paths.front().complete);
    EXPECT_EQ(Words(paths.front()), "!SENT_START AB");
    EXPECT_EQ(paths.front().words.back().lastFrame, 14u);
}

// A word missing from the lexicon is named by the decoder tool's test.
TEST(Decoder, BuildNamesAPhoneWithoutAModel) {
    auto inventory = Inventory();
    inventory.lexicon["AB"].push_back({"a", "zz"});
    speech::Decoder decoder;
    std::string error;
    EXPECT_FALSE(decoder.Build(synthetic::LoopNetwork({"AB"}), inventory, Transitions(), error));
    EXPECT_NE(error.find("zz"), std::string::npos) << error;
}

TEST(DecoderOutput, NamesTheWordOnlyAboveTheAcceptanceThreshold) {
    const speech::Hypothesis sentence{
        {{"!SENT_START", 0, 7, -3.25}, {"TURN_LEFT", 8, 12345, -41.5}, {"!SENT_END", 12346, 20000, 0.0}}, -900, true};
    const speech::Hypothesis partial{{{"!SENT_START", 0, 7, -3.25}, {"TURN_LEFT", 8, 20, -41.5}}, -900, false};
    const struct {
        speech::Recognition recognition;
        const char* expected;
    } cases[] = {
        {{sentence, 0.934, {}},
         "0000 0007 !SENT_START 0.93 -3.25\n0008 9999 TURN_LEFT 0.93 -41.5\n9999 9999 !SENT_END 0.93 0\n"},
        {{sentence, 0.02, {}}, "0000 0007 !SENT_START 0.02 -3.25\n9999 9999 !SENT_END 0.02 0\n"},
        {{partial, 0.0, {}}, ""},
    };
    ASSERT_LT(0.02, speech::kAcceptanceThreshold);
    for (const auto& c : cases) EXPECT_EQ(speech::FormatDecoderOutput(c.recognition), c.expected);
}

}  // namespace
