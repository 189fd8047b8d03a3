#include "text.h"

namespace {

constexpr wchar_t kFirstByteEscape = 0xDC80;
constexpr wchar_t kLastByteEscape = 0xDCFF;

const char* ShortEscape(wchar_t c) {
    switch (c) {
        case L'\n':
            return "\\n";
        case L'\r':
            return "\\r";
        case L'\t':
            return "\\t";
        default:
            return nullptr;
    }
}

bool IsControl(wchar_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

std::wstring HexEscape(const char* prefix, unsigned value, int digits) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::wstring escape(prefix, prefix + 2);
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
        escape += static_cast<wchar_t>(kHex[(value >> shift) & 0xF]);
    }
    return escape;
}

}  // namespace

std::wstring EscapeControlCharacters(std::wstring_view text) {
    std::wstring escaped;
    escaped.reserve(text.size());
    for (const wchar_t c : text) {
        if (const char* escape = ShortEscape(c)) {
            escaped += ToWideText(escape);
        } else if (c >= kFirstByteEscape && c <= kLastByteEscape) {
            escaped += HexEscape("\\x", static_cast<unsigned>(c - 0xDC00), 2);
        } else if (IsControl(c)) {
            escaped += c < 0x80 ? HexEscape("\\x", static_cast<unsigned>(c), 2)
                                : HexEscape("\\u", static_cast<unsigned>(c), 4);
        } else {
            escaped += c;
        }
    }
    return escaped;
}

std::string EscapeControlCharacters(std::string_view text) {
    return ToNarrowText(EscapeControlCharacters(ToWideText(text)));
}
