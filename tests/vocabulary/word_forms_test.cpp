#include <gtest/gtest.h>

#include <string>

#include "text/text.h"
#include "vocabulary/word_forms.h"

TEST(GrammarWord, ReplacesBlanksAndUpperCasesLetters) {
    EXPECT_EQ(GrammarWord(L"turn left"), L"TURN_LEFT");
    EXPECT_EQ(GrammarWord(L"Yes 2 go!"), L"YES_2_GO!");
    EXPECT_EQ(GrammarWord(L"caf\u00E9 \u00FF"), L"CAF\u00C9_\u0178");
    EXPECT_EQ(GrammarWord(L"stra\u00DFe \u00F7"), L"STRA\u00DFE_\u00F7");  // no single upper case
    EXPECT_EQ(GrammarWord(L"\u0101\u0131\u013A\u0142\u0151\u017E\u017F"),
              L"\u0100I\u0139\u0141\u0150\u017D"
              L"S");
    EXPECT_EQ(GrammarWord(L"\u03BB\u03CC\u03B3\u03BF\u03C2 \u03AC\u03AD\u03CE"),
              L"\u039B\u038C\u0393\u039F\u03A3_\u0386\u0388\u038F");
    EXPECT_EQ(GrammarWord(L"\u043F\u0440\u0438\u0432\u0435\u0442 \u0451\u0436 \u0491\u04D9"),
              L"\u041F\u0420\u0418\u0412\u0415\u0422_\u0401\u0416_\u0490\u04D8");
    EXPECT_EQ(GrammarWord(L"\xDCFF\u4E2D"), L"\xDCFF\u4E2D");
}

// Ordinary words are trained; blank words, the names of the built-in models
// and the sentence marks are not, nor words holding a character that the
// files reserve or that has no UTF-8 form.
TEST(IsTrainableWord, RefusesWordsThatCannotBeTrainedOrStored) {
    for (const wchar_t* word :
         {L"yes", L"turn left", L"caf\u00E9", L"50%", L"Sp", L"SIL", L"it's", L" padded ", L"\xDCFFx"}) {
        EXPECT_TRUE(IsTrainableWord(word)) << ToNarrowText(word);
    }
    for (const std::wstring word : {L"", L"   ", L"\u00A0\u3000", L"sp", L"sil", L"!sent_start", L"x!Sent_End"}) {
        EXPECT_FALSE(IsTrainableWord(word)) << ToNarrowText(word);
    }
    const std::wstring reserved = std::wstring(L"#\t\n\r\x7F\u0085|()[]{}<>;=$") + L'\0' +
                                  static_cast<wchar_t>(0xD800) + static_cast<wchar_t>(0x110000);
    for (const wchar_t character : reserved) {
        EXPECT_FALSE(IsTrainableWord(std::wstring(L"a") + character + L"b")) << static_cast<int>(character);
    }
}
