#include "word_forms.h"

#include <type_traits>

namespace {

char32_t CodePoint(wchar_t c) {
    // wchar_t may be signed: go through its unsigned bit pattern.
    return static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(c));
}

// In blocks where upper and lower case letters alternate, the lower case
// letter is the odd (or even) one of each pair.
bool IsLowerOfPair(char32_t c, char32_t first, char32_t last, bool lowerIsOdd) {
    return c >= first && c <= last && (c % 2 == 1) == lowerIsOdd;
}

// Upper case of the letters of Latin-1, Latin Extended-A, Greek and
// Cyrillic that have a single upper-case partner; other characters stay.
char32_t UpperCase(char32_t c) {
    if ((c >= U'a' && c <= U'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 0x20;
    if (c == 0xB5) return 0x39C;  // micro sign
    if (c == 0xFF) return 0x178;  // y with diaeresis
    if (c == 0x131) return U'I';  // dotless i
    if (c == 0x17F) return U'S';  // long s
    if (IsLowerOfPair(c, 0x100, 0x137, true) || IsLowerOfPair(c, 0x139, 0x148, false) ||
        IsLowerOfPair(c, 0x14A, 0x177, true) || IsLowerOfPair(c, 0x179, 0x17E, false)) {
        return c - 1;
    }
    if (c == 0x3C2) return 0x3A3;  // final sigma
    if ((c >= 0x3B1 && c <= 0x3CB) || (c >= 0x430 && c <= 0x44F)) return c - 0x20;
    if (c == 0x3AC) return 0x386;
    if (c >= 0x3AD && c <= 0x3AF) return c - 0x25;
    if (c == 0x3CC) return 0x38C;
    if (c == 0x3CD || c == 0x3CE) return c - 0x3F;
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;
    if (c == 0x4CF) return 0x4C0;
    if (IsLowerOfPair(c, 0x460, 0x481, true) || IsLowerOfPair(c, 0x48A, 0x4BF, true) ||
        IsLowerOfPair(c, 0x4C1, 0x4CE, false) || IsLowerOfPair(c, 0x4D0, 0x52F, true)) {
        return c - 1;
    }
    return c;
}

bool IsWhiteSpace(char32_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

bool IsReservedInGrammar(char32_t c) {
    return std::u32string_view(U"|()[]{}<>;=$").find(c) != std::u32string_view::npos;
}

// True for a character that cannot be written as UTF-8 and would come back
// from a saved file as U+FFFD: a surrogate that does not stand for an
// invalid byte read from a file, or a value beyond U+10FFFF.
bool HasNoUtf8Form(char32_t c) {
    const bool isByteEscape = c >= 0xDC80 && c <= 0xDCFF;
    return (c >= 0xD800 && c <= 0xDFFF && !isByteEscape) || c > 0x10FFFF;
}

}  // namespace

std::wstring GrammarWord(const std::wstring& name) {
    std::wstring word;
    word.reserve(name.size());
    for (const wchar_t c : name) {
        word += c == L' ' ? L'_' : static_cast<wchar_t>(UpperCase(CodePoint(c)));
    }
    return word;
}

bool IsTrainableWord(const std::wstring& word) {
    bool onlyWhiteSpace = true;
    for (const wchar_t w : word) {
        const char32_t c = CodePoint(w);
        if (c == U'#' || IsControl(c) || IsReservedInGrammar(c) || HasNoUtf8Form(c)) {
            return false;
        }
        onlyWhiteSpace = onlyWhiteSpace && IsWhiteSpace(c);
    }
    if (onlyWhiteSpace || word == L"sp" || word == L"sil") {
        return false;
    }
    const std::wstring grammarWord = GrammarWord(word);
    return grammarWord.find(L"!SENT_START") == std::wstring::npos &&
           grammarWord.find(L"!SENT_END") == std::wstring::npos;
}
