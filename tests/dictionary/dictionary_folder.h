#pragma once
// A temporary folder of dictionary files written by a test, removed when the
// test ends.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dictionary/pronunciation_dictionary.h"
#include "support/temporary_folder.h"

// The 8 bytes of one index record, little-endian.
std::string IndexRecordBytes(std::uint32_t keyOffset, std::uint32_t entryOffset);

using DictionaryRecords = std::vector<std::pair<std::string, std::string>>;

// Writes "english.idx", "english.key" and "english.dct" into `folder` with one
// record per (word, pronunciation), in the order given.
void WriteDictionaryRecords(const std::filesystem::path& folder, const DictionaryRecords& records);

class DictionaryFolder : public TemporaryFolder {
public:
    void WriteFile(std::string_view name, std::string_view bytes) const { WriteFileBytes(Path(name), bytes); }
    void WriteRecords(const DictionaryRecords& records) const { WriteDictionaryRecords(path(), records); }

    // Loads the three files of the folder into `dictionary`.
    int Load(PronunciationDictionary& dictionary) const;
};

// The pronunciation found for `word`, or "(none)".
std::string Found(const PronunciationDictionary& dictionary, const char* word);
