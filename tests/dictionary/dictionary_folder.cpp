#include "dictionary_folder.h"

#include <gtest/gtest.h>

#include <fstream>

#include "dictionary/pronunciation_dictionary.h"

std::string IndexRecordBytes(std::uint32_t keyOffset, std::uint32_t entryOffset)
{
    std::string bytes;
    for (const std::uint32_t value : {keyOffset, entryOffset}) {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes += static_cast<char>((value >> shift) & 0xFF);
        }
    }
    return bytes;
}

void DictionaryFolder::WriteFile(std::string_view name, std::string_view bytes) const
{
    std::ofstream file(Path(name), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(file.good()) << "cannot write " << Path(name);
}

void DictionaryFolder::WriteRecords(
    const std::vector<std::pair<std::string, std::string>>& records) const
{
    std::string index;
    std::string key;
    std::string entry;
    for (const auto& [word, pronunciation] : records) {
        index += IndexRecordBytes(static_cast<std::uint32_t>(key.size()),
                                  static_cast<std::uint32_t>(entry.size()));
        key += word;
        key += '\0';
        entry += pronunciation;
        entry += '\0';
    }
    WriteFile("english.idx", index);
    WriteFile("english.key", key);
    WriteFile("english.dct", entry);
}

int DictionaryFolder::Load(PronunciationDictionary& dictionary) const
{
    return dictionary.Load(Path("english.idx").c_str(), Path("english.key").c_str(),
                           Path("english.dct").c_str());
}

std::string Found(const PronunciationDictionary& dictionary, const char* word)
{
    const char* pronunciation = dictionary.Lookup(word);
    return pronunciation == nullptr ? "(none)" : pronunciation;
}
