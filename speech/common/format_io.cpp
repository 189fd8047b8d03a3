#include "common/format_io.h"

#include <bit>

#include "common/tool_support.h"

namespace speech {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

}  // namespace

std::vector<std::string> SplitFields(std::string_view line) {
    std::vector<std::string> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        const std::size_t start = i;
        while (i < line.size() && !IsBlank(line[i])) ++i;
        if (i > start) fields.emplace_back(line.substr(start, i - start));
    }
    return fields;
}

bool TokenReader::Next(std::string_view& token, std::string& error) {
    while (position_ < text_.size()) {
        const char c = text_[position_];
        if (c == '\n') {
            ++line_;
        } else if (!IsBlank(c)) {
            break;
        }
        ++position_;
    }
    if (position_ == text_.size()) {
        error = Problem("unexpected end of file");
        return false;
    }
    const std::size_t start = position_;
    while (position_ < text_.size() && !IsBlank(text_[position_]) && text_[position_] != '\n') ++position_;
    token = text_.substr(start, position_ - start);
    return true;
}

std::string TokenReader::Problem(const std::string& message) const {
    return path_ + " line " + std::to_string(line_) + ": " + message;
}

bool TokenReader::Expect(std::string_view word, std::string& error) {
    std::string_view token;
    if (!Next(token, error)) return false;
    if (token != word) {
        error = Problem("expected \"" + std::string(word) + "\", found \"" + std::string(token) + "\"");
        return false;
    }
    return true;
}

bool TokenReader::ReadUnsigned(std::uint32_t& value, std::string& error) {
    std::string_view token;
    if (!Next(token, error)) return false;
    long long parsed = 0;
    if (!ParseInt(token, parsed) || parsed < 0 || parsed > 0xFFFFFFFFLL) {
        error = Problem("expected a count, found \"" + std::string(token) + "\"");
        return false;
    }
    value = static_cast<std::uint32_t>(parsed);
    return true;
}

bool TokenReader::ReadFloat(float& value, std::string& error) {
    std::string_view token;
    if (!Next(token, error)) return false;
    if (!ParseFloat(token, value)) {
        error = Problem("expected a number, found \"" + std::string(token) + "\"");
        return false;
    }
    return true;
}

bool TokenReader::ReadDouble(double& value, std::string& error) {
    std::string_view token;
    if (!Next(token, error)) return false;
    if (!ParseDouble(token, value)) {
        error = Problem("expected a number, found \"" + std::string(token) + "\"");
        return false;
    }
    return true;
}

bool TokenReader::ReadWord(std::string& word, std::string& error) {
    std::string_view token;
    if (!Next(token, error)) return false;
    word = token;
    return true;
}

bool TokenReader::AtEnd() {
    while (position_ < text_.size()) {
        const char c = text_[position_];
        if (!IsBlank(c) && c != '\n') return false;
        if (c == '\n') ++line_;
        ++position_;
    }
    return true;
}

bool ByteReader::ReadU32(std::uint32_t& value) {
    if (Remaining() < 4) return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(bytes_.data() + position_);
    value = std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
            std::uint32_t(bytes[3]) << 24;
    position_ += 4;
    return true;
}

bool ByteReader::ReadF32(float& value) {
    std::uint32_t bits = 0;
    if (!ReadU32(bits)) return false;
    value = std::bit_cast<float>(bits);
    return true;
}

bool ByteReader::ReadF32s(float* values, std::size_t count) {
    if (Remaining() / 4 < count) return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(bytes_.data() + position_);
    for (std::size_t i = 0; i < count; ++i, bytes += 4)
        values[i] = std::bit_cast<float>(std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 |
                                         std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[3]) << 24);
    position_ += 4 * count;
    return true;
}

bool ByteReader::ReadTag(std::string_view tag) {
    if (Remaining() < tag.size() || bytes_.substr(position_, tag.size()) != tag) return false;
    position_ += tag.size();
    return true;
}

bool ByteReader::ReadBytes(std::size_t count, std::string& bytes) {
    if (Remaining() < count) return false;
    bytes = bytes_.substr(position_, count);
    position_ += count;
    return true;
}

void AppendU32(std::string& bytes, std::uint32_t value) {
    const char encoded[4] = {char(value & 0xFF), char(value >> 8 & 0xFF), char(value >> 16 & 0xFF),
                             char(value >> 24 & 0xFF)};
    bytes.append(encoded, 4);
}

void AppendF32(std::string& bytes, float value) { AppendU32(bytes, std::bit_cast<std::uint32_t>(value)); }

void AppendF32s(std::string& bytes, const std::vector<float>& values) {
    if constexpr (std::endian::native == std::endian::little) {
        bytes.append(reinterpret_cast<const char*>(values.data()), 4 * values.size());
    } else {
        const std::size_t start = bytes.size();
        bytes.resize(start + 4 * values.size());
        char* out = &bytes[start];
        for (const float value : values) {
            const auto bits = std::bit_cast<std::uint32_t>(value);
            for (int shift = 0; shift < 32; shift += 8) *out++ = char(bits >> shift & 0xFF);
        }
    }
}

}  // namespace speech
