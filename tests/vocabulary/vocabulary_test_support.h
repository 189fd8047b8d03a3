#pragma once
// Loading and saving "commands.txt" bytes through a temporary folder, and the
// Vocabulary as plain words and utterance lists for comparison.

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "support/temporary_folder.h"
#include "vocabulary/vocabulary_file.h"

using Words = std::map<std::wstring, std::vector<std::int32_t>>;

// The user words of `vocabulary` (the built-in entries are checked and left out).
inline Words UserWords(const Vocabulary& vocabulary) {
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

inline LoadedFile LoadBytes(const TemporaryFolder& folder, const std::string& bytes) {
    const std::string fileName = folder.Path("commands.txt");
    WriteFileBytes(fileName, bytes);
    LoadedFile loaded;
    const VocabularyFileState state = ReadVocabularyFile(fileName.c_str(), loaded.vocabulary, nullptr);
    loaded.counter = state.counter;
    loaded.unreadable = state.unreadable;
    return loaded;
}

inline std::string SaveToBytes(const TemporaryFolder& folder, const Vocabulary& vocabulary, std::int32_t counter) {
    const std::string fileName = folder.Path("saved.txt");
    EXPECT_EQ(WriteVocabularyFile(fileName.c_str(), vocabulary, counter), 0);
    return ReadFileBytes(fileName);
}
