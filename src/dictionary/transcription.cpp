#include "dictionary/transcription.h"

#include <string_view>

#include "dictionary/pronunciation_dictionary.h"
#include "text/text.h"

namespace {

constexpr std::wstring_view kPieceDelimiters = L" ";

// The pronunciation of `piece` in the dictionary, or nullptr. A piece holding
// a NUL character cannot be a stored word and is never looked up.
const char* LookupPiece(const PronunciationDictionary& dictionary, const std::wstring& piece) {
    const std::string narrow = ToNarrowText(piece);
    if (narrow.find('\0') != std::string::npos) {
        return nullptr;
    }
    return dictionary.Lookup(narrow.c_str());
}

// Dictionary pronunciations carry marks inside their phone names: "*" and
// "~" are dropped and "-" becomes ".". Runs of spaces need no rewriting, as
// the split below skips them.
void AppendPronunciation(const char* pronunciation, std::vector<std::wstring>& phones) {
    std::wstring rewritten;
    for (const wchar_t c : ToWideText(pronunciation)) {
        if (c == L'*' || c == L'~') {
            continue;
        }
        rewritten += c == L'-' ? L'.' : c;
    }
    std::size_t position = 0;
    for (std::wstring phone = NextToken(rewritten, kPieceDelimiters, position); !phone.empty();
         phone = NextToken(rewritten, kPieceDelimiters, position)) {
        phones.push_back(std::move(phone));
    }
}

// A spelled unit "sp" would name the built-in short-pause model, so it is
// emitted as its two letters.
void AppendSpelledUnit(std::wstring unit, std::vector<std::wstring>& phones) {
    if (unit == L"sp") {
        phones.emplace_back(L"s");
        phones.emplace_back(L"p");
        return;
    }
    phones.push_back(std::move(unit));
}

// Spells a piece in units of two character positions; an underscore adds
// nothing but still takes its position, so it shifts the pairing.
void AppendSpelling(const std::wstring& piece, std::vector<std::wstring>& phones) {
    std::wstring unit;
    for (std::size_t i = 0; i < piece.size(); ++i) {
        if (piece[i] == L'_') {
            continue;
        }
        unit += piece[i];
        if (i % 2 == 1) {
            AppendSpelledUnit(std::move(unit), phones);
            unit.clear();
        }
    }
    if (!unit.empty()) {
        AppendSpelledUnit(std::move(unit), phones);
    }
}

}  // namespace

void TranscribeWord(const PronunciationDictionary& dictionary, const std::wstring& word,
                    std::vector<std::wstring>& phones) {
    std::size_t position = 0;
    std::wstring piece = NextToken(word, kPieceDelimiters, position);
    while (!piece.empty()) {
        if (const char* pronunciation = LookupPiece(dictionary, piece)) {
            AppendPronunciation(pronunciation, phones);
        } else {
            AppendSpelling(piece, phones);
        }
        piece = NextToken(word, kPieceDelimiters, position);
        if (!piece.empty()) {
            phones.emplace_back(L"space");
        }
    }
}
