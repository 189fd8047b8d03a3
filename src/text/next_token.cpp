#include "text.h"

#include <algorithm>

std::wstring NextToken(std::wstring_view text, std::wstring_view delimiters, std::size_t& position) {
    if (position > text.size()) {
        position = text.size();
    }
    const std::size_t start = text.find_first_not_of(delimiters, position);
    if (start == std::wstring_view::npos) {
        position = text.size();
        return {};
    }
    const std::size_t end = std::min(text.find_first_of(delimiters, start), text.size());
    position = end;
    return std::wstring(text.substr(start, end - start));
}
