#pragma once
// Reads the CMU pronouncing dictionary in its plain-text form: one word per
// line followed by its phones ("hello HH AH L OW"), alternate pronunciations
// marked by a numbered suffix ("hello(2) HH EH L OW"), comments after ";;;".

#include <string>
#include <string_view>
#include <vector>

struct SourceWord {
    std::string word;
    // Phones in lower case, separated by single spaces: "hh ah l ow".
    std::string phones;
};

// Appends the first pronunciation of every word of `text` to `words`, in file
// order. Returns false, with `error` naming the line, on a word without
// phones.
bool ParseCmuDictionary(std::string_view text, std::vector<SourceWord>& words, std::string& error);
