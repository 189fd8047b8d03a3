#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "make_dictionary/cmu_source.h"
#include "make_dictionary/dictionary_image.h"
#include "support/temporary_folder.h"

namespace {

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

// A word listed again and again is stored once, with its first
// pronunciation: enough listings that the sorts cannot keep them in order by
// chance. (The English dictionary's test checks the spellings of every word,
// sorted.)
TEST(DictionaryImage, WordListedManyTimesKeepsItsFirstPronunciation) {
    std::vector<SourceWord> words{{"yes", "y eh s"}};
    for (int i = 0; i < 40; ++i) {
        words.push_back({"a.", "ey"});
        words.push_back({"yes", "y ih s"});
    }
    DictionaryImage image;
    std::string error;
    ASSERT_TRUE(BuildDictionaryImage(words, image, error)) << error;
    EXPECT_EQ(image.key, std::string("A.\0YES\0Yes\0a.\0yes\0", 18));
    EXPECT_EQ(image.entry.find("y ih s"), std::string::npos);
}

// Its successful run makes the English dictionary of every build.
TEST(MakeDictionaryTool, MissingSourceFailsWithAClearMessage) {
    const TemporaryFolder folder;
    const std::string tool = "'" MAKE_DICTIONARY_PATH "' '";
    const std::string missing =
        tool + folder.Path("no.dict") + "' '" + folder.Path("out") + "' 2>'" + folder.Path("log") + "'";
    EXPECT_NE(std::system(missing.c_str()), 0);
    const std::string message = ReadFileBytes(folder.Path("log"));
    EXPECT_NE(message.find("pocketsphinx-en-us"), std::string::npos) << message;
    EXPECT_FALSE(std::filesystem::exists(folder.Path("out")));
}

}  // namespace
