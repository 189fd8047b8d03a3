#include "text.h"

#include <type_traits>

namespace {

// Wide characters that stand for a byte that was not valid UTF-8.
constexpr char32_t kFirstByteEscape = 0xDC80;
constexpr char32_t kLastByteEscape = 0xDCFF;
constexpr char32_t kByteEscapeBase = 0xDC00;
constexpr char32_t kReplacementCharacter = 0xFFFD;

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Length of the valid UTF-8 sequence at the start of `bytes` and its code
// point, or 0 when the first byte does not start one (overlong forms,
// surrogates, values above U+10FFFF and cut-off sequences are invalid).
std::size_t DecodeUtf8(std::string_view bytes, char32_t& codePoint) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (bytes.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
        codePoint = (codePoint << 6) | (byte(i) & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || IsSurrogate(codePoint)) {
        return 0;
    }
    return length;
}

}  // namespace

std::string ToNarrowText(std::wstring_view wide) {
    std::string narrow;
    narrow.reserve(wide.size());
    for (const wchar_t w : wide) {
        // wchar_t may be signed: go through its unsigned bit pattern.
        const auto c = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(w));
        if (c >= kFirstByteEscape && c <= kLastByteEscape) {
            narrow += static_cast<char>(c - kByteEscapeBase);
        } else if (IsSurrogate(c) || c > 0x10FFFF) {
            AppendUtf8(narrow, kReplacementCharacter);
        } else {
            AppendUtf8(narrow, c);
        }
    }
    return narrow;
}

std::wstring ToWideText(std::string_view narrow) {
    std::wstring wide;
    wide.reserve(narrow.size());
    while (!narrow.empty()) {
        char32_t codePoint = 0;
        std::size_t length = DecodeUtf8(narrow, codePoint);
        if (length == 0) {
            codePoint = kByteEscapeBase + static_cast<unsigned char>(narrow.front());
            length = 1;
        }
        wide += static_cast<wchar_t>(codePoint);
        narrow.remove_prefix(length);
    }
    return wide;
}
