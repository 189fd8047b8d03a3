#pragma once
// Turns a typed word into the units that the training files use as phone
// models: each space-separated piece is looked up in the dictionary, or
// spelled in two-letter units when the dictionary lacks it, with the unit
// "space" between pieces.

#include <string>
#include <vector>

class PronunciationDictionary;

// Appends the units of `word` to `phones`.
void TranscribeWord(const PronunciationDictionary& dictionary, const std::wstring& word,
                    std::vector<std::wstring>& phones);
