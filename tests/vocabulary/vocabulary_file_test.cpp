// Loading and saving "commands.txt" bytes through a temporary folder; the
// Vocabulary is compared as plain words and utterance lists.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "support/temporary_folder.h"
#include "vocabulary/vocabulary_file.h"

namespace {

using Words = std::map<std::wstring, std::vector<std::int32_t>>;

// The user words of `vocabulary` (the built-in entries are checked and left out).
Words UserWords(const Vocabulary& vocabulary) {
    Words words;
    for (const auto& [name, entry] : vocabulary) {
        EXPECT_EQ(entry->name, name);
        if (name == L"sp" || name == L"sil") {
            EXPECT_TRUE(entry->isBuiltIn) << "built-in entry missing its flag";
            EXPECT_TRUE(entry->utterances.empty());
        } else {
            EXPECT_FALSE(entry->isBuiltIn);
            words[name] = entry->utterances;
        }
    }
    EXPECT_EQ(vocabulary.count(L"sp"), 1u);
    EXPECT_EQ(vocabulary.count(L"sil"), 1u);
    return words;
}

struct LoadedFile {
    std::int32_t counter = 0;
    std::string unreadable;
    Vocabulary vocabulary;
};

LoadedFile LoadBytes(const TemporaryFolder& folder, const std::string& bytes) {
    const std::string fileName = folder.Path("commands.txt");
    WriteFileBytes(fileName, bytes);
    LoadedFile loaded;
    const VocabularyFileState state = ReadVocabularyFile(fileName.c_str(), loaded.vocabulary, nullptr);
    loaded.counter = state.counter;
    loaded.unreadable = state.unreadable;
    return loaded;
}

std::string SaveToBytes(const TemporaryFolder& folder, const Vocabulary& vocabulary, std::int32_t counter) {
    const std::string fileName = folder.Path("saved.txt");
    EXPECT_EQ(WriteVocabularyFile(fileName.c_str(), vocabulary, counter), 0);
    return ReadFileBytes(fileName);
}

class VocabularyFile : public ::testing::Test {
protected:
    TemporaryFolder folder;
};

// Saving in word order without the built-in entries is parrot-cli's test of
// the saved bytes; the dictionary of loaded words is the demonstration's,
// each of whose runs loads the words the one before saved.
TEST_F(VocabularyFile, FollowsTheLineRules) {
    struct Case {
        const char* what;
        std::string bytes;
        std::int32_t counter;
        Words words;
    };
    const Case cases[] = {
        {"hand-made separators", "3\ngo#8 9%10#", 11, {{L"go", {8, 9, 10}}}},
        {"carriage returns", "7\r\nhello#0#1#\r\nstop#4#\r\n", 7, {{L"hello", {0, 1}}, {L"stop", {4}}}},
        {"word on the first line", "hello#1#\nstop#4#", 5, {{L"hello", {1}}, {L"stop", {4}}}},
        {"damaged first line", "x\nw#2#", 3, {{L"w", {2}}}},
        {"blank and # lines", "5\n\nyes#1#\n#\n###\n\r\nno#2#\n", 5, {{L"yes", {1}}, {L"no", {2}}}},
        {"word without #", "1\nyes", 1, {{L"yes", {}}}},
        {"later line wins", "1\nw#1#2#\nx#3#\nw#4#", 5, {{L"w", {4}}, {L"x", {3}}}},
        {"letter case", "1\nStop#1#\nstop#2#", 3, {{L"Stop", {1}}, {L"stop", {2}}}},
        {"built-in names", "1\nsp#3#\nsil#4#\nok#5#", 6, {{L"ok", {5}}}},
        {"# inside a name", "1\na#b#1#", 2, {{L"a", {0, 1}}}},
        {"negative numbers", "-5\nw#-2#", -1, {{L"w", {-2}}}},
        {"fields that are not numbers", "0\nw#x#+7#\t6#", 8, {{L"w", {0, 7, 6}}}},
        {"repeated utterances", "9\nw#3#3#", 9, {{L"w", {3, 3}}}},
        {"only the counter", "12", 12, {}},
        {"empty file", "", 0, {}},
    };
    for (const Case& c : cases) {
        const LoadedFile loaded = LoadBytes(folder, c.bytes);
        EXPECT_EQ(loaded.counter, c.counter) << c.what;
        EXPECT_EQ(UserWords(loaded.vocabulary), c.words) << c.what;
    }
}

// Accented words, NUL and invalid bytes, long lines and bare words survive
// loading and saving byte for byte.
TEST_F(VocabularyFile, WordsSurviveByteForByte) {
    using namespace std::string_literals;
    const std::string bytes =
        "12\ncaf\xC3\xA9#1#\nna\xC3\xAFve fa\xC3\xA7"
        "ade#2#\n"
        "nul\0inside#3#\n\xD0\xB4\xD0\xB0#4#\n\xFF\xFEx\xC3#5#"s;
    std::string line = "many";
    std::vector<std::int32_t> utterances;
    for (std::int32_t n = 100000; line.size() < 10000; ++n) {
        line += "#" + std::to_string(n);
        utterances.push_back(n);
    }
    const std::string longBytes = "200000\n" + std::string(10000, 'a') + "#1#\n" + line + "#";
    // Also a word without takes, repeated and negative numbers, and no word.
    for (const std::string& file : {bytes, longBytes, std::string("9\nw#-2#5#5#\nyes#"), std::string("12")}) {
        const LoadedFile loaded = LoadBytes(folder, file);
        EXPECT_EQ(SaveToBytes(folder, loaded.vocabulary, loaded.counter), file);
    }
    const LoadedFile loaded = LoadBytes(folder, bytes);
    EXPECT_EQ(loaded.vocabulary.count(L"caf\u00E9"), 1u);
    EXPECT_EQ(loaded.vocabulary.count(std::wstring(L"nul\0inside", 10)), 1u);
    EXPECT_EQ(loaded.vocabulary.count(L"\u0434\u0430"), 1u);
    EXPECT_EQ(UserWords(LoadBytes(folder, longBytes).vocabulary),
              (Words{{std::wstring(10000, L'a'), {1}}, {L"many", utterances}}));
}

TEST_F(VocabularyFile, MissingFileIsCreatedEmptyAndOneThatCannotBeLeavesTheBuiltIns) {
    const std::string fileName = folder.Path("commands.txt");
    // A regular file stands where the folder should be, which defeats root too.
    WriteFileBytes(folder.Path("not-a-folder"), "x");
    for (const std::string& name : {fileName, folder.Path("not-a-folder/commands.txt")}) {
        Vocabulary vocabulary;
        const VocabularyFileState state = ReadVocabularyFile(name.c_str(), vocabulary, nullptr);
        EXPECT_EQ(state.counter, 0);
        EXPECT_EQ(state.unreadable, "");
        EXPECT_EQ(UserWords(vocabulary), Words{});
    }
    EXPECT_EQ(ReadFileBytes(fileName), "");
    EXPECT_TRUE(std::filesystem::exists(fileName));
}

// A new recording must never replace one in use, whatever the first line
// says; and a file that stands there but cannot be read is marked so that
// Save leaves it alone. A FIFO must not hang the load.
TEST_F(VocabularyFile, CounterStartsPastEveryRecordingAndUnreadableFilesAreMarked) {
    for (const char* name : {"3.raw", "12.raw", "012.raw", "x.raw", "99.mfc", "40.raw.tmp"}) {
        WriteFileBytes(folder.Path(name), "");
    }
    LoadedFile loaded = LoadBytes(folder, "2\nw#1#");
    EXPECT_EQ(loaded.counter, 13);
    EXPECT_EQ(loaded.unreadable, "");

    const std::string fileName = folder.Path("commands.txt");
    std::filesystem::remove(fileName);
    ASSERT_EQ(::mkfifo(fileName.c_str(), 0600), 0);
    Vocabulary vocabulary;
    const VocabularyFileState fifo = ReadVocabularyFile(fileName.c_str(), vocabulary, nullptr);
    EXPECT_EQ(fifo.unreadable, "is not a regular file");
    EXPECT_EQ(fifo.counter, 13);
    EXPECT_EQ(UserWords(vocabulary), Words{});
}

}  // namespace
