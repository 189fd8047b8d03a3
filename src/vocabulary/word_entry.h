#pragma once
// One vocabulary word: its text, the numbers of its recordings and (during a
// training run) its phones.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class PronunciationDictionary;

struct WordEntry {
    std::wstring name;
    bool isBuiltIn = false;
    std::vector<std::wstring> phones;
    std::vector<std::int32_t> utterances;
    const PronunciationDictionary* dictionary = nullptr;

    // Appends the units of `word` to `phones`, using `dictionary`.
    void Transcribe(const std::wstring& word);
};

// Words keyed by their exact, case-sensitive text. Iteration order is the
// map's (code point order); every walk of one training run uses it.
using Vocabulary = std::map<std::wstring, std::unique_ptr<WordEntry>>;
