#include <gtest/gtest.h>

#include <string>

#include "text/text.h"

// Characters of every length, and invalid bytes as escapes that come back
// unchanged.
TEST(Utf8Codec, DecodesAndEncodesEveryCharacterAndInvalidByte) {
    struct Case {
        std::string bytes;
        std::wstring wide;
    };
    const Case cases[] = {
        {"caf\xC3\xA9 \xD0\xB4\xE2\x82\xAC\xF0\x9F\x98\x80", L"caf\u00E9 \u0434\u20AC\U0001F600"},
        {"\xFF", L"\xDCFF"},
        {"a\x80z", L"a\xDC80z"},  // lone continuation byte
        {"\xC3", L"\xDCC3"},      // sequence cut off by the end
        {"\xE2\x82"
         "A",
         L"\xDCE2\xDC82"
         L"A"},                                             // sequence cut off by ASCII
        {"\xC0\xAF", L"\xDCC0\xDCAF"},                      // overlong form of "/"
        {"\xED\xA0\x80", L"\xDCED\xDCA0\xDC80"},            // encoded surrogate
        {"\xED\xB2\x80", L"\xDCED\xDCB2\xDC80"},            // encoded byte escape
        {"\xF4\x90\x80\x80", L"\xDCF4\xDC90\xDC80\xDC80"},  // beyond U+10FFFF
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToWideText(c.bytes), c.wide) << c.bytes;
        EXPECT_EQ(ToNarrowText(c.wide), c.bytes) << c.bytes;
    }
}

TEST(Utf8Codec, CharactersWithoutUtf8FormBecomeTheReplacementCharacter) {
    for (const wchar_t character :
         {wchar_t(0xD800), wchar_t(0xDC7F), wchar_t(0xDD00), wchar_t(0x110000), wchar_t(-1)}) {
        EXPECT_EQ(ToNarrowText(std::wstring{L'a', character, L'b'}),
                  "a\xEF\xBF\xBD"
                  "b");
    }
}

TEST(ControlEscapes, QuotedTextCannotSplitALineOrSteerTheTerminal) {
    struct Case {
        std::string text;
        std::string escaped;
    };
    const Case cases[] = {
        {"tab\there\r\x7f", "tab\\there\\r\\x7f"},
        {"caf\xC3\xA9 \xC2\x9B"
         "1m",
         "caf\xC3\xA9 \\u009b1m"},            // C1 CSI as a character
        {"bad \x9B byte", "bad \\x9b byte"},  // and as an invalid byte
        {std::string("nul\0", 4), "nul\\x00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EscapeControlCharacters(c.text), c.escaped) << c.escaped;
        EXPECT_EQ(EscapeControlCharacters(ToWideText(c.text)), ToWideText(c.escaped)) << c.escaped;
    }
}
