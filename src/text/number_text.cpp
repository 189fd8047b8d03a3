#include "text.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <system_error>

namespace {

bool IsWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Skips leading white space and an optional sign; true when the sign is "-".
bool SkipBlanksAndSign(std::string_view& text) {
    while (!text.empty() && IsWhiteSpace(text.front())) {
        text.remove_prefix(1);
    }
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        text.remove_prefix(1);
    }
    return negative;
}

// For a plain decimal number ("digits[.digits][e[sign]digits]") too large
// or too small for a double: true when it is too large. The decimal power
// of its first non-zero digit decides, since such numbers lie far beyond
// 1e300 or far below 1e-300.
bool IsTooLarge(std::string_view number) {
    long long power = 0;
    bool afterPoint = false;
    bool seenNonZero = false;
    std::size_t i = 0;
    for (; i < number.size() && (IsDigit(number[i]) || number[i] == '.'); ++i) {
        if (number[i] == '.') {
            afterPoint = true;
        } else if (!seenNonZero) {
            if (afterPoint) {
                --power;
            }
            seenNonZero = number[i] != '0';
        } else if (!afterPoint) {
            ++power;
        }
    }
    if (i < number.size()) {
        power += TextToInt(number.substr(i + 1));  // the digits after "e"
    }
    return power > 0;
}

}  // namespace

std::string IntToText(long long value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::int32_t TextToInt(std::string_view text) {
    const bool negative = SkipBlanksAndSign(text);
    // One past the largest magnitude the result can hold.
    const long long limit =
        negative ? 1LL + std::numeric_limits<std::int32_t>::max() : std::numeric_limits<std::int32_t>::max();
    long long magnitude = 0;
    for (std::size_t i = 0; i < text.size() && IsDigit(text[i]); ++i) {
        magnitude = std::min(limit, magnitude * 10 + (text[i] - '0'));
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

double TextToDouble(std::string_view text) {
    const bool negative = SkipBlanksAndSign(text);
    if (text.empty() || !(IsDigit(text.front()) || text.front() == '.')) {
        return 0.0;
    }
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        const std::string_view number(text.data(), static_cast<std::size_t>(result.ptr - text.data()));
        value = IsTooLarge(number) ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (result.ec != std::errc()) {
        return 0.0;
    }
    return negative ? -value : value;
}

std::string DoubleToText(double value, int significantDigits) {
    // As "%.*g" prints: a negative precision means the default of 6. A
    // double has at most 767 significant decimal digits, so more never
    // changes the text.
    const int precision = significantDigits < 0 ? 6 : std::min(significantDigits, 800);
    std::string text(static_cast<std::size_t>(precision) + 32, '\0');
    const auto result =
        std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::general, precision);
    text.resize(static_cast<std::size_t>(result.ptr - text.data()));
    return text;
}
