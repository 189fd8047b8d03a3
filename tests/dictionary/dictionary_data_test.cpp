// Checks the English dictionary that the build makes from the CMU
// pronouncing dictionary.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "dictionary/pronunciation_dictionary.h"
#include "dictionary_folder.h"

namespace {

TEST(EnglishDictionary, HoldsEveryCaseOfItsWordsInSortedRecords) {
    const char* folder = std::getenv("PARROT_DATA_DIR");
    ASSERT_NE(folder, nullptr);
    const std::filesystem::path data(folder);
    PronunciationDictionary dictionary;
    ASSERT_EQ(
        dictionary.Load((data / "english.idx").c_str(), (data / "english.key").c_str(), (data / "english.dct").c_str()),
        1);

    for (const char* word : {"yes", "Yes", "YES"}) {
        EXPECT_EQ(Found(dictionary, word), "y eh s") << word;
    }
    EXPECT_EQ(Found(dictionary, "hello"), "hh ah l ow");
    for (const char* word : {"yEs", "hello(2)", "xyzzy"}) {
        EXPECT_EQ(Found(dictionary, word), "(none)") << word;
    }

    // Strictly ascending words keep every first-byte range short and unique.
    ASSERT_GT(dictionary.indexRecords.size(), 300000u);
    ASSERT_EQ(dictionary.keyText.back(), '\0');
    ASSERT_EQ(dictionary.entryText.back(), '\0');
    const char* previous = "";
    for (const IndexRecord& record : dictionary.indexRecords) {
        ASSERT_LT(record.keyOffset, dictionary.keyText.size());
        ASSERT_LT(record.entryOffset, dictionary.entryText.size());
        const char* word = dictionary.keyText.data() + record.keyOffset;
        ASSERT_LT(std::strcmp(previous, word), 0) << previous << " / " << word;
        previous = word;
    }
}

}  // namespace
