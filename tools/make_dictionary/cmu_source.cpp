#include "make_dictionary/cmu_source.h"

#include <algorithm>
#include <iterator>

#include "text/text.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The fields of a line separated by blanks.
std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t position = 0;
    while (position < line.size()) {
        while (position < line.size() && IsBlank(line[position])) {
            ++position;
        }
        const std::size_t start = position;
        while (position < line.size() && !IsBlank(line[position])) {
            ++position;
        }
        if (position > start) {
            fields.push_back(line.substr(start, position - start));
        }
    }
    return fields;
}

// True for "word(2)" and the like: a further pronunciation of a word listed
// before it.
bool IsAlternate(std::string_view word) {
    if (word.size() < 3 || word.back() != ')') {
        return false;
    }
    const std::size_t open = word.rfind('(');
    if (open == std::string_view::npos || open == 0 || open + 2 > word.size() - 1) {
        return false;
    }
    const std::string_view number = word.substr(open + 1, word.size() - open - 2);
    return std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string LowerCasePhones(const std::vector<std::string_view>& fields) {
    std::string phones;
    for (std::size_t i = 1; i < fields.size(); ++i) {
        if (i > 1) {
            phones += ' ';
        }
        std::transform(fields[i].begin(), fields[i].end(), std::back_inserter(phones), AsciiLower);
    }
    return phones;
}

}  // namespace

bool ParseCmuDictionary(std::string_view text, std::vector<SourceWord>& words, std::string& error) {
    std::size_t lineNumber = 0;
    std::size_t position = 0;
    while (position < text.size()) {
        const std::size_t end = std::min(text.find('\n', position), text.size());
        const std::string_view line = text.substr(position, end - position);
        position = end + 1;
        ++lineNumber;
        if (line.starts_with(";;;")) {
            continue;
        }
        const std::vector<std::string_view> fields = SplitFields(line);
        if (fields.empty() || IsAlternate(fields[0])) {
            continue;
        }
        if (fields.size() < 2) {
            error = "line " + IntToText(static_cast<long long>(lineNumber)) + ": the word \"" + std::string(fields[0]) +
                    "\" has no phones";
            return false;
        }
        words.push_back(SourceWord{std::string(fields[0]), LowerCasePhones(fields)});
    }
    return true;
}
