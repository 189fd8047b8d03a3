#include <gtest/gtest.h>

#include <string>

#include "vocabulary_test_support.h"

namespace {

class VocabularyFileRobustness : public ::testing::Test {
protected:
    // Loads `bytes` and saves the result again.
    std::string LoadAndSave(const std::string& bytes) {
        const LoadedFile loaded = LoadBytes(folder, bytes);
        return SaveToBytes(folder, loaded.vocabulary, loaded.counter);
    }

    TemporaryFolder folder;
};

// Accented words, NUL and invalid bytes, and long lines survive byte for byte.
TEST_F(VocabularyFileRobustness, WordsSurviveByteForByte) {
    using namespace std::string_literals;
    const std::string bytes =
        "12\ncaf\xC3\xA9#1#\nna\xC3\xAFve fa\xC3\xA7"
        "ade#2#\n"
        "nul\0inside#3#\n\xD0\xB4\xD0\xB0#4#\n\xFF\xFEx\xC3#5#"s;
    const LoadedFile loaded = LoadBytes(folder, bytes);
    EXPECT_EQ(loaded.vocabulary.count(L"caf\u00E9"), 1u);
    EXPECT_EQ(loaded.vocabulary.count(std::wstring(L"nul\0inside", 10)), 1u);
    EXPECT_EQ(loaded.vocabulary.count(L"\u0434\u0430"), 1u);
    EXPECT_EQ(LoadAndSave(bytes), bytes);

    std::string line = "many";
    std::vector<std::int32_t> utterances;
    for (std::int32_t n = 100000; line.size() < 10000; ++n) {
        line += "#" + std::to_string(n);
        utterances.push_back(n);
    }
    const std::string longBytes = "200000\n" + std::string(10000, 'a') + "#1#\n" + line + "#";
    EXPECT_EQ(UserWords(LoadBytes(folder, longBytes).vocabulary),
              (Words{{std::wstring(10000, L'a'), {1}}, {L"many", utterances}}));
    EXPECT_EQ(LoadAndSave(longBytes), longBytes);
}

}  // namespace
