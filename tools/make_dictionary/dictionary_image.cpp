#include "make_dictionary/dictionary_image.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <unordered_map>

namespace {

struct Spelling {
    std::string text;
    std::size_t word;  // index of its source word
};

bool IsAsciiUpper(char c) { return c >= 'A' && c <= 'Z'; }

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::vector<Spelling> SpellingsOf(const std::vector<SourceWord>& words) {
    std::vector<Spelling> spellings;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i].word;
        if (word.empty()) {
            continue;
        }
        spellings.push_back(Spelling{word, i});
        if (std::any_of(word.begin(), word.end(), IsAsciiUpper)) {
            continue;
        }
        std::string upper = word;
        std::transform(upper.begin(), upper.end(), upper.begin(), AsciiUpper);
        std::string capitalised = word;
        capitalised[0] = AsciiUpper(capitalised[0]);
        if (capitalised != word) {
            spellings.push_back(Spelling{std::move(capitalised), i});
        }
        if (upper != word && upper != spellings.back().text) {
            spellings.push_back(Spelling{std::move(upper), i});
        }
    }
    return spellings;
}

// Appends a zero-terminated string and returns its offset.
std::size_t AppendString(std::string& text, const std::string& value) {
    const std::size_t offset = text.size();
    text += value;
    text += '\0';
    return offset;
}

void AppendLittleEndian32(std::string& bytes, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        bytes += static_cast<char>((value >> shift) & 0xFF);
    }
}

}  // namespace

bool BuildDictionaryImage(std::vector<SourceWord> words, DictionaryImage& image, std::string& error) {
    std::stable_sort(words.begin(), words.end(),
                     [](const SourceWord& a, const SourceWord& b) { return a.word < b.word; });
    std::vector<Spelling> spellings = SpellingsOf(words);
    // Source words are in byte order already, so among equal spellings the
    // stable sort keeps the first word's first.
    std::stable_sort(spellings.begin(), spellings.end(),
                     [](const Spelling& a, const Spelling& b) { return a.text < b.text; });
    spellings.erase(std::unique(spellings.begin(), spellings.end(),
                                [](const Spelling& a, const Spelling& b) { return a.text == b.text; }),
                    spellings.end());

    image = DictionaryImage{};
    std::unordered_map<std::string, std::size_t> entryOffsets;
    for (const Spelling& spelling : spellings) {
        const std::string& phones = words[spelling.word].phones;
        auto [entry, isNew] = entryOffsets.try_emplace(phones, image.entry.size());
        if (isNew) {
            AppendString(image.entry, phones);
        }
        const std::size_t keyOffset = AppendString(image.key, spelling.text);
        constexpr std::size_t kLargestOffset = std::numeric_limits<std::uint32_t>::max();
        if (keyOffset > kLargestOffset || entry->second > kLargestOffset) {
            error = "the dictionary is too large for 32-bit file offsets";
            return false;
        }
        AppendLittleEndian32(image.index, static_cast<std::uint32_t>(keyOffset));
        AppendLittleEndian32(image.index, static_cast<std::uint32_t>(entry->second));
    }
    return true;
}
