#include "app/list_order.h"

#include <algorithm>
#include <cstdint>

namespace {

// Simple lower-case folding of the letters users type: ASCII, Latin-1,
// Latin Extended-A, Greek and Cyrillic. Other characters stand for themselves.
wchar_t FoldCase(wchar_t c) {
    const auto u = static_cast<std::uint32_t>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7)) {
        return static_cast<wchar_t>(u + 0x20);
    }
    if (u >= 0x100 && u <= 0x17F) {
        if (u == 0x130 || u == 0x131 || u == 0x138 || u == 0x149 || u == 0x17F) {
            return c;
        }
        if (u == 0x178) {
            return static_cast<wchar_t>(0xFF);
        }
        // Pairs start on even code points except in 0x139..0x148 and 0x179..0x17E.
        const bool oddPairs = (u >= 0x139 && u <= 0x148) || (u >= 0x179 && u <= 0x17E);
        const bool isUpper = oddPairs ? (u % 2 == 1) : (u % 2 == 0);
        return isUpper ? static_cast<wchar_t>(u + 1) : c;
    }
    if (u >= 0x391 && u <= 0x3A9 && u != 0x3A2) {
        return static_cast<wchar_t>(u + 0x20);
    }
    if (u >= 0x410 && u <= 0x42F) {
        return static_cast<wchar_t>(u + 0x20);
    }
    if (u >= 0x400 && u <= 0x40F) {
        return static_cast<wchar_t>(u + 0x50);
    }
    return c;
}

int CompareCodePoints(wchar_t a, wchar_t b) {
    const auto ua = static_cast<std::uint32_t>(a);
    const auto ub = static_cast<std::uint32_t>(b);
    return ua < ub ? -1 : (ua > ub ? 1 : 0);
}

}  // namespace

int CompareListLines(const std::wstring& a, const std::wstring& b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (const int order = CompareCodePoints(FoldCase(a[i]), FoldCase(b[i])); order != 0) {
            return order;
        }
    }
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    for (std::size_t i = 0; i < common; ++i) {
        if (const int order = CompareCodePoints(a[i], b[i]); order != 0) {
            return order;
        }
    }
    return 0;
}
