#include "dictionary/pronunciation_dictionary.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "dictionary/whole_file.h"

namespace {

constexpr std::size_t kIndexRecordSize = 8;

std::uint32_t LittleEndian32(const char* bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

// Decodes the index file's records; false when they do not fit in memory or
// in the signed 32-bit record count.
bool DecodeIndex(const std::vector<char>& bytes, std::vector<IndexRecord>& records) {
    const std::size_t count = bytes.size() / kIndexRecordSize;
    if (count > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        return false;
    }
    try {
        records.resize(count);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const char* record = bytes.data() + i * kIndexRecordSize;
        records[i] = IndexRecord{LittleEndian32(record), LittleEndian32(record + 4)};
    }
    return true;
}

// True when the zero-terminated `word` of `length` bytes, terminator included,
// stands at `offset` in `keyText`.
bool KeyMatches(const std::vector<char>& keyText, std::uint32_t offset, const char* word, std::size_t length) {
    if (offset >= keyText.size() || keyText.size() - offset < length + 1) {
        return false;
    }
    return std::memcmp(keyText.data() + offset, word, length + 1) == 0;
}

// The zero-terminated string at `offset` in `entryText`, or nullptr when the
// offset lies outside the text or no zero byte ends the string inside it.
const char* TerminatedStringAt(const std::vector<char>& entryText, std::uint32_t offset) {
    if (offset >= entryText.size()) {
        return nullptr;
    }
    const char* start = entryText.data() + offset;
    if (std::memchr(start, '\0', entryText.size() - offset) == nullptr) {
        return nullptr;
    }
    return start;
}

}  // namespace

int PronunciationDictionary::Load(const char* indexFile, const char* keyFile, const char* entryFile) {
    std::fill(std::begin(firstIndex), std::end(firstIndex), 0);
    std::fill(std::begin(endIndex), std::end(endIndex), 0);
    recordCount = 0;
    keyText = {};
    entryText = {};
    indexRecords = {};
    loaded = 0;

    std::vector<char> indexBytes;
    if (!ReadWholeFile(indexFile, indexBytes) || !DecodeIndex(indexBytes, indexRecords)) {
        return 0;
    }
    recordCount = static_cast<std::int32_t>(indexRecords.size());
    indexBytes = {};
    if (!ReadWholeFile(keyFile, keyText) || !ReadWholeFile(entryFile, entryText)) {
        return 0;
    }

    // The tables are built only once all three files are in memory. A record
    // whose key offset lies outside the key text begins no word and belongs
    // to no range.
    for (std::int32_t i = 0; i < recordCount; ++i) {
        const std::uint32_t offset = indexRecords[i].keyOffset;
        if (offset < keyText.size()) {
            endIndex[static_cast<unsigned char>(keyText[offset])] = i + 1;
        }
    }
    for (std::int32_t i = recordCount - 1; i >= 0; --i) {
        const std::uint32_t offset = indexRecords[i].keyOffset;
        if (offset < keyText.size()) {
            firstIndex[static_cast<unsigned char>(keyText[offset])] = i;
        }
    }
    loaded = 1;
    return 1;
}

const char* PronunciationDictionary::Lookup(const char* word) const {
    if (word == nullptr || word[0] == '\0') {
        return nullptr;
    }
    const std::size_t length = std::strlen(word);
    const unsigned char firstByte = static_cast<unsigned char>(word[0]);
    const auto begin = static_cast<std::size_t>(std::max(firstIndex[firstByte], 0));
    const auto end = std::min(static_cast<std::size_t>(std::max(endIndex[firstByte], 0)), indexRecords.size());
    // A record whose word or pronunciation is not a zero-terminated string
    // inside its file does not match; a later record of the same word may.
    for (std::size_t i = begin; i < end; ++i) {
        const IndexRecord& record = indexRecords[i];
        if (!KeyMatches(keyText, record.keyOffset, word, length)) {
            continue;
        }
        if (const char* pronunciation = TerminatedStringAt(entryText, record.entryOffset)) {
            return pronunciation;
        }
    }
    return nullptr;
}
