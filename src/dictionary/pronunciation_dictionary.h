#pragma once
// The read-only English pronunciation dictionary: three files loaded whole,
// "english.idx" (8-byte records: key offset, entry offset, little-endian),
// "english.key" (zero-terminated words) and "english.dct" (zero-terminated
// pronunciations). Lookups scan the records of one first-byte range.

#include <cstdint>
#include <vector>

struct IndexRecord {
    std::uint32_t keyOffset;
    std::uint32_t entryOffset;
};

class PronunciationDictionary {
public:
    // Loads the three files; returns `loaded` (1 on success, 0 otherwise).
    int Load(const char* indexFile, const char* keyFile, const char* entryFile);

    // The pronunciation of `word` (exact, case-sensitive), pointing into
    // `entryText`, or nullptr when the dictionary does not hold the word.
    const char* Lookup(const char* word) const;

    std::int32_t firstIndex[256] = {};
    std::int32_t endIndex[256] = {};
    std::int32_t recordCount = 0;
    std::vector<char> keyText;
    std::vector<char> entryText;
    std::vector<IndexRecord> indexRecords;
    std::int32_t loaded = 0;
};
