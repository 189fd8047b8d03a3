#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/list_order.h"

namespace {

std::vector<std::wstring> Sorted(std::vector<std::wstring> lines) {
    std::sort(lines.begin(), lines.end(), [](const auto& a, const auto& b) { return CompareListLines(a, b) < 0; });
    return lines;
}

// The words of the Qt run test show the order of ASCII words: case ignored,
// then ties broken by code point. Here: letters beyond ASCII, a line before
// a longer one that it begins, and the tie the Qt run's insertion order hides.
TEST(ListOrder, FoldsLettersBeyondAsciiAndPutsShorterLinesFirst) {
    EXPECT_EQ(Sorted({L"\u00e9t\u00e9", L"\u00c9T\u00c9 b", L"\u00c9t\u00e9 a"}),
              (std::vector<std::wstring>{L"\u00e9t\u00e9", L"\u00c9t\u00e9 a", L"\u00c9T\u00c9 b"}));
    for (const wchar_t* pair : {L"\u0141\u0142", L"\u03a9\u03c9", L"\u0414\u0434", L"\u0401\u0451"}) {
        const std::wstring upper(1, pair[0]);
        const std::wstring lower(1, pair[1]);
        EXPECT_GT(CompareListLines(upper + L"b", lower + L"a"), 0);
    }
    // The multiplication sign is not a capital of the division sign.
    EXPECT_LT(CompareListLines(L"\u00d7b", L"\u00f7a"), 0);

    EXPECT_LT(CompareListLines(L"go", L"Going"), 0);
    EXPECT_LT(CompareListLines(L"Stop", L"stop"), 0);
}

}  // namespace
