#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "../dictionary/dictionary_folder.h"
#include "make_dictionary/cmu_source.h"
#include "make_dictionary/dictionary_image.h"
#include "make_dictionary/dictionary_output.h"

namespace {

using Words = std::vector<std::string>;

Words StoredWords(const PronunciationDictionary& dictionary) {
    Words words;
    for (const IndexRecord& record : dictionary.indexRecords) {
        words.emplace_back(dictionary.keyText.data() + record.keyOffset);
    }
    return words;
}

void BuildAndLoad(std::vector<SourceWord> words, const DictionaryFolder& folder, PronunciationDictionary& dictionary) {
    DictionaryImage image;
    std::string error;
    ASSERT_TRUE(BuildDictionaryImage(std::move(words), image, error)) << error;
    ASSERT_TRUE(WriteDictionaryImage(image, folder.Path(""), error)) << error;
    ASSERT_EQ(folder.Load(dictionary), 1);
}

TEST(CmuSource, KeepsFirstPronunciationsInLowerCase) {
    std::vector<SourceWord> words;
    std::string error;
    ASSERT_TRUE(
        ParseCmuDictionary(";;; comment\nhello HH AH L OW\nhello(2) HH EH L OW\r\n\n"
                           "a.'s  EY\tZ\r\n(paren) P ER EH N\nyes Y EH S",
                           words, error));
    ASSERT_EQ(words.size(), 4u);
    EXPECT_EQ(words[0].word + "=" + words[0].phones, "hello=hh ah l ow");
    EXPECT_EQ(words[1].word + "=" + words[1].phones, "a.'s=ey z");
    EXPECT_EQ(words[2].word, "(paren)");
    EXPECT_EQ(words[3].word + "=" + words[3].phones, "yes=y eh s");

    EXPECT_FALSE(ParseCmuDictionary("hello HH AH L OW\nbroken\n", words, error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
}

TEST(DictionaryImage, StoresSortedSpellingsSharingPronunciations) {
    DictionaryFolder folder;
    PronunciationDictionary dictionary;
    // A word listed twice keeps its first pronunciation.
    BuildAndLoad({{"yes", "y eh s"}, {"'bout", "b aw t"}, {"a.", "ey"}, {"zoo", "z uw"}, {"yes", "y ih s"}}, folder,
                 dictionary);
    EXPECT_EQ(StoredWords(dictionary), (Words{"'BOUT", "'bout", "A.", "YES", "Yes", "ZOO", "Zoo", "a.", "yes", "zoo"}));
    EXPECT_EQ(dictionary.Lookup("YES"), dictionary.Lookup("yes"));
    EXPECT_EQ(dictionary.Lookup("Yes"), dictionary.Lookup("yes"));
    EXPECT_EQ(Found(dictionary, "'BOUT"), "b aw t");
    EXPECT_EQ(dictionary.entryText.size(), std::string("b aw t ey y eh s z uw").size() + 1);
}

// Its successful run makes the English dictionary of every build.
TEST(MakeDictionaryTool, MissingSourceFailsWithAClearMessage) {
    DictionaryFolder folder;
    const std::string tool = "'" MAKE_DICTIONARY_PATH "' '";
    const std::string missing =
        tool + folder.Path("no.dict") + "' '" + folder.Path("out") + "' 2>'" + folder.Path("log") + "'";
    EXPECT_NE(std::system(missing.c_str()), 0);
    const std::string message = ReadFileBytes(folder.Path("log"));
    EXPECT_NE(message.find("pocketsphinx-en-us"), std::string::npos) << message;
    EXPECT_FALSE(std::filesystem::exists(folder.Path("out")));
}

}  // namespace
