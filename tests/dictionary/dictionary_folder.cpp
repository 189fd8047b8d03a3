#include "dictionary_folder.h"

#include "dictionary/pronunciation_dictionary.h"

std::string IndexRecordBytes(std::uint32_t keyOffset, std::uint32_t entryOffset) {
    std::string bytes;
    for (const std::uint32_t value : {keyOffset, entryOffset}) {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes += static_cast<char>((value >> shift) & 0xFF);
        }
    }
    return bytes;
}

void WriteDictionaryRecords(const std::filesystem::path& folder, const DictionaryRecords& records) {
    std::string index;
    std::string key;
    std::string entry;
    for (const auto& [word, pronunciation] : records) {
        index += IndexRecordBytes(static_cast<std::uint32_t>(key.size()), static_cast<std::uint32_t>(entry.size()));
        key += word;
        key += '\0';
        entry += pronunciation;
        entry += '\0';
    }
    WriteFileBytes(folder / "english.idx", index);
    WriteFileBytes(folder / "english.key", key);
    WriteFileBytes(folder / "english.dct", entry);
}

int DictionaryFolder::Load(PronunciationDictionary& dictionary) const {
    return dictionary.Load(Path("english.idx").c_str(), Path("english.key").c_str(), Path("english.dct").c_str());
}

std::string Found(const PronunciationDictionary& dictionary, const char* word) {
    const char* pronunciation = dictionary.Lookup(word);
    return pronunciation == nullptr ? "(none)" : pronunciation;
}
