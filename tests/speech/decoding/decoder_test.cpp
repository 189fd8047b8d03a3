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

// The spoken words, and where the search ends: the last word found ends on
// the last frame, and only a path through the whole network is complete.
TEST(Decoder, FindsTheSpokenWords) {
    const std::vector<std::string> all{"AB", "BA", "A", "C"};
    speech::DecoderSettings noPenalty, narrow;
    noPenalty.wordInsertionPenalty = 0.0;
    narrow.stateBeam = 1.0;
    const struct {
        std::vector<std::string> vocabulary, spoken;
        std::uint32_t framesPerPhone;
        speech::DecoderSettings settings;
        const char* words;
        bool complete;
    } cases[] = {
        {all, {"sil", "a", "b", "sil"}, 10, {}, "!SENT_START AB !SENT_END", true},
        {all, {"sil", "b", "a", "sil"}, 10, {}, "!SENT_START BA !SENT_END", true},
        {all, {"sil", "a", "b", "sil", "b", "a", "sil"}, 12, {}, "!SENT_START AB BA !SENT_END", true},
        // A + C fits a long b better than AB, but not by the price of a
        // second word: one spoken word is not split, unless words are free.
        {all, {"sil", "a", "b", "b", "b", "sil"}, 10, {}, "!SENT_START AB !SENT_END", true},
        {{"AB", "A", "C"}, {"sil", "a", "b", "b", "b", "sil"}, 10, noPenalty, "!SENT_START A A C !SENT_END", true},
        // X's "c" leads while it lingers in its first state, a move costing
        // it 2.2 units against staying: a beam of one unit keeps only the
        // lingering token and drops "b", so X never ends.
        {{"X"}, {"sil", "b", "sil"}, 10, {}, "!SENT_START X !SENT_END", true},
        {{"X"}, {"sil", "b", "sil"}, 10, narrow, "!SENT_START", false},
        // Sixteen frames are the fewest that cross sil, AB and sil.
        {{"AB", "BA"}, {"sil", "a", "b"}, 5, {}, "!SENT_START AB", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        const auto paths = Decode(synthetic::LoopNetwork(c.vocabulary), c.spoken, c.framesPerPhone, c.settings);
        ASSERT_FALSE(paths.empty());
        EXPECT_EQ(Words(paths.front()), c.words);
        EXPECT_EQ(paths.front().complete, c.complete);
        EXPECT_EQ(paths.front().words.back().lastFrame, c.spoken.size() * c.framesPerPhone - 1);
    }
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
