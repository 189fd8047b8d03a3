#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/text.h"

namespace {

std::vector<std::wstring> AllTokens(std::wstring_view text, std::wstring_view delimiters) {
    std::vector<std::wstring> tokens;
    std::size_t position = 0;
    for (std::wstring token = NextToken(text, delimiters, position); !token.empty();
         token = NextToken(text, delimiters, position)) {
        tokens.push_back(token);
    }
    EXPECT_EQ(position, text.size());
    return tokens;
}

}  // namespace

TEST(NextToken, SkipsAnyMixOfDelimiters) {
    using Tokens = std::vector<std::wstring>;
    EXPECT_EQ(AllTokens(L"go#8 9%10#", L"% #"), (Tokens{L"go", L"8", L"9", L"10"}));
    EXPECT_EQ(AllTokens(L"%# #go##8 #%", L"% #"), (Tokens{L"go", L"8"}));
    EXPECT_EQ(AllTokens(L" \tYES\t -12.5 \t", L" \t"), (Tokens{L"YES", L"-12.5"}));
    EXPECT_EQ(AllTokens(L"", L" "), Tokens{});
    EXPECT_EQ(AllTokens(L"   ", L" "), Tokens{});
    const std::wstring longWord(1000, L'x');
    EXPECT_EQ(AllTokens(L" " + longWord + L" y", L" "), (Tokens{longWord, L"y"}));
}

TEST(NextToken, ContinuesFromThePositionWithAnotherDelimiterSet) {
    const std::wstring line = L"##turn left#2 3%5#";
    std::size_t position = 0;
    EXPECT_EQ(NextToken(line, L"#", position), L"turn left");
    EXPECT_EQ(NextToken(line, L"% #", position), L"2");
    EXPECT_EQ(NextToken(line, L"% #", position), L"3");
}
