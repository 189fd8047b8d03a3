#include "dictionary/transcription.h"

#include <gtest/gtest.h>

#include "dictionary_folder.h"
#include "text/text.h"

namespace {

using Units = std::vector<std::wstring>;

struct Example {
    std::wstring word;
    Units units;
};

class Transcription : public testing::Test {
protected:
    void SetUp() override {
        folder_.WriteRecords({{"cat", "k~ ae* t"},
                              {"its", "ih t-s"},
                              {"dash", "d - sh"},
                              {"new", "n uw"},
                              {"yes", " y  eh   s "},
                              {"caf\xC3\xA9", "k ae f ey"}});
        ASSERT_EQ(folder_.Load(dictionary_), 1);
    }

    void ExpectUnits(const std::vector<Example>& examples) const {
        for (const Example& example : examples) {
            Units phones;
            TranscribeWord(dictionary_, example.word, phones);
            EXPECT_EQ(phones, example.units) << ToNarrowText(example.word);
        }
    }

    DictionaryFolder folder_;
    PronunciationDictionary dictionary_;
};

// Found pieces give their pronunciation without marks; missing ones are
// spelled by character position; pieces are separated by one space unit.
TEST_F(Transcription, WordsBecomeUnitsPieceByPiece) {
    const Units newXyzzy{L"n", L"uw", L"space", L"xy", L"zz", L"y"};
    ExpectUnits({{L"cat", {L"k", L"ae", L"t"}},
                 {L"its", {L"ih", L"t.s"}},
                 {L"dash", {L"d", L".", L"sh"}},
                 {L"yes", {L"y", L"eh", L"s"}},
                 {L"caf\u00e9", {L"k", L"ae", L"f", L"ey"}},
                 {L"xyzzy", {L"xy", L"zz", L"y"}},
                 {L"a_b", {L"ab"}},
                 {L"ab_cd", {L"ab", L"c", L"d"}},
                 {L"Cat", {L"Ca", L"t"}},
                 {L"na\u00efve", {L"na", L"\u00efv", L"e"}},
                 // "sp" would name the short-pause model.
                 {L"spx", {L"s", L"p", L"x"}},
                 {L"aspx", {L"as", L"px"}},
                 {std::wstring(L"new\0x", 5), {L"ne", std::wstring(L"w\0", 2), L"x"}},
                 {L"", {}},
                 {L"   ", {}},
                 {L"new xyzzy", newXyzzy},
                 {L"  new   xyzzy ", newXyzzy}});

    Units phones;
    TranscribeWord(dictionary_, std::wstring(301, L'q'), phones);
    EXPECT_EQ(phones.size(), 151u);
}

TEST(TranscriptionWithoutDictionary, SpellsEveryPiece) {
    Units phones{L"sil"};
    TranscribeWord(PronunciationDictionary{}, L"cat new", phones);
    EXPECT_EQ(phones, (Units{L"sil", L"ca", L"t", L"space", L"ne", L"w"}));
}

}  // namespace
