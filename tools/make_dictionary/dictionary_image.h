#pragma once
// Lays out the three dictionary files in memory: "english.idx" (8-byte
// little-endian records: key offset, entry offset), "english.key"
// (zero-terminated words) and "english.dct" (zero-terminated pronunciations).

#include <string>
#include <vector>

#include "make_dictionary/cmu_source.h"

struct DictionaryImage {
    std::string index;
    std::string key;
    std::string entry;
};

// One record per spelling, sorted by the bytes of the spelling. A word
// without upper-case letters is also stored Capitalised and in UPPER CASE,
// all three spellings sharing one stored pronunciation; identical
// pronunciations are stored once. Where two words give the same spelling, the
// word first in byte order keeps it (for the same word listed twice, the
// first listed). Returns false, with `error` set, when the files would be too
// large for 32-bit offsets.
bool BuildDictionaryImage(std::vector<SourceWord> words, DictionaryImage& image, std::string& error);
