#include "dictionary/pronunciation_dictionary.h"

#include <gtest/gtest.h>

#include "dictionary_folder.h"

namespace {

using namespace std::string_literals;

TEST(PronunciationDictionary, FindsOnlyExactCaseSensitiveWords) {
    DictionaryFolder folder;
    // Not grouped by first byte: the range of "B" runs over "APE" too. The
    // second "yes" loses to the first; "\xC3\xA9" is a byte above 127.
    folder.WriteRecords({{"BED", "b eh d"},
                         {"APE", "ey p"},
                         {"BOX", "b aa k s"},
                         {"yes", "first"},
                         {"yest", "y eh s t"},
                         {"yes", "second"},
                         {"\xC3\xA9t\xC3\xA9", "ey t ey"}});
    PronunciationDictionary dictionary;
    ASSERT_EQ(folder.Load(dictionary), 1);

    EXPECT_EQ(Found(dictionary, "BOX"), "b aa k s");
    EXPECT_EQ(Found(dictionary, "APE"), "ey p");
    EXPECT_EQ(Found(dictionary, "yes"), "first");
    EXPECT_EQ(Found(dictionary, "yest"), "y eh s t");
    EXPECT_EQ(Found(dictionary, "\xC3\xA9t\xC3\xA9"), "ey t ey");
    for (const char* missing : {"ye", "yesty", "Yes", "box", "", "zebra"}) {
        EXPECT_EQ(Found(dictionary, missing), "(none)") << missing;
    }
}

TEST(PronunciationDictionary, FailedLoadLeavesEveryRangeEmpty) {
    DictionaryFolder folder;
    folder.WriteRecords({{"yes", "y eh s"}, {"no", "n ow"}});
    const std::string index = folder.Path("english.idx");
    const std::string key = folder.Path("english.key");
    const std::string entry = folder.Path("english.dct");
    const std::string missing = folder.Path("missing");
    const std::string directory = folder.Path("");
    PronunciationDictionary dictionary;

    EXPECT_EQ(dictionary.Load(missing.c_str(), key.c_str(), entry.c_str()), 0);
    // The index is read, but without the key file no table is built.
    EXPECT_EQ(dictionary.Load(index.c_str(), missing.c_str(), entry.c_str()), 0);
    EXPECT_EQ(dictionary.recordCount, 2);
    EXPECT_EQ(Found(dictionary, "yes"), "(none)");
    EXPECT_EQ(dictionary.Load(index.c_str(), key.c_str(), missing.c_str()), 0);
    EXPECT_EQ(Found(dictionary, "yes"), "(none)");
    EXPECT_EQ(dictionary.Load(index.c_str(), directory.c_str(), entry.c_str()), 0);
    EXPECT_EQ(dictionary.loaded, 0);
    EXPECT_EQ(Found(dictionary, "no"), "(none)");
}

TEST(PronunciationDictionary, MalformedRecordsNeverMatchAndNeverReadOutside) {
    DictionaryFolder folder;
    // key:   "yes\0" at 0, "no\0" at 4, "end" without its zero byte at 7
    // entry: "y eh s\0" at 0, "n ow" without its zero byte at 7
    folder.WriteFile("english.key", "yes\0no\0end"s);
    folder.WriteFile("english.dct", "y eh s\0n ow"s);
    folder.WriteFile("english.idx", IndexRecordBytes(10, 0) +              // key just past the end
                                        IndexRecordBytes(0xFFFFFFFF, 0) +  // key far beyond
                                        IndexRecordBytes(0, 100) +         // entry beyond
                                        IndexRecordBytes(0, 0xFFFFFFFF) +  // entry far beyond
                                        IndexRecordBytes(0, 0) +           // the valid "yes"
                                        IndexRecordBytes(4, 7) +           // unterminated entry
                                        IndexRecordBytes(7, 0) +           // unterminated key
                                        "\0\0\0"s);                        // truncated record
    PronunciationDictionary dictionary;
    ASSERT_EQ(folder.Load(dictionary), 1);
    EXPECT_EQ(dictionary.recordCount, 7);
    // Records whose word lies outside the key file belong to no range.
    EXPECT_EQ(dictionary.firstIndex['y'], 2);
    EXPECT_EQ(Found(dictionary, "yes"), "y eh s");
    for (const char* word : {"no", "end", "en", "endless"}) {
        EXPECT_EQ(Found(dictionary, word), "(none)") << word;
    }
}

}  // namespace
