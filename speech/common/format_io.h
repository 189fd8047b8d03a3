#pragma once
// Readers and writers shared by the engine's file formats: field splitting
// and a token reader for the text layouts that reports the line of every
// problem, and bounds-checked little-endian binary reading and writing.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace speech {

// No feature vector of this engine comes near this many values; a larger
// dimension in a file is damage, not a reason to allocate.
constexpr std::uint32_t kMaxDimension = 4096;

// Splits a line into its fields, separated by runs of blanks (space, tab,
// carriage return): the fields of the line-based lists and of TokenReader.
std::vector<std::string> SplitFields(std::string_view line);

// Splits a text into blank-separated tokens, remembering line numbers.
class TokenReader {
public:
    TokenReader(std::string_view text, std::string path) : text_(text), path_(std::move(path)) {}

    // Each reader sets `error` ("PATH line N: ...") and returns false on failure.
    bool Expect(std::string_view word, std::string& error);
    bool ReadUnsigned(std::uint32_t& value, std::string& error);
    bool ReadFloat(float& value, std::string& error);
    bool ReadDouble(double& value, std::string& error);
    bool ReadWord(std::string& word, std::string& error);
    // True when only blanks are left.
    bool AtEnd();
    // Bytes not yet read: an upper bound on how many more tokens can follow,
    // used to refuse header counts that the file cannot hold.
    std::size_t Remaining() const { return text_.size() - position_; }
    std::string Problem(const std::string& message) const;

private:
    bool Next(std::string_view& token, std::string& error);

    std::string_view text_;
    std::string path_;
    std::size_t position_ = 0;
    int line_ = 1;
};

// Reads little-endian values from a byte buffer without running past its end.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}
    bool ReadU32(std::uint32_t& value);
    bool ReadF32(float& value);
    // `count` values at once; false, reading nothing, when fewer remain.
    bool ReadF32s(float* values, std::size_t count);
    bool ReadTag(std::string_view tag);
    bool ReadBytes(std::size_t count, std::string& bytes);
    std::size_t Remaining() const { return bytes_.size() - position_; }

private:
    std::string_view bytes_;
    std::size_t position_ = 0;
};

void AppendU32(std::string& bytes, std::uint32_t value);
void AppendF32(std::string& bytes, float value);
void AppendF32s(std::string& bytes, const std::vector<float>& values);

}  // namespace speech
