#include "vocabulary_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "text/text.h"
#include "vocabulary/file_replacement.h"

namespace {

// The name is the first run of characters without "#"; the rest of the line
// is split at runs of these separators into utterance numbers.
constexpr std::wstring_view kNameDelimiters = L"#";
constexpr std::wstring_view kFieldDelimiters = L"% #";

// The entry a word line describes, or nullptr when it holds no name.
std::unique_ptr<WordEntry> ParseWordLine(const std::string& line, const PronunciationDictionary* dictionary) {
    const std::wstring text = ToWideText(line);
    std::size_t position = 0;
    std::wstring name = NextToken(text, kNameDelimiters, position);
    if (name.empty()) {
        return nullptr;
    }
    auto entry = std::make_unique<WordEntry>();
    entry->dictionary = dictionary;
    entry->name = std::move(name);
    for (std::wstring field = NextToken(text, kFieldDelimiters, position); !field.empty();
         field = NextToken(text, kFieldDelimiters, position)) {
        entry->utterances.push_back(TextToInt(ToNarrowText(field)));
    }
    return entry;
}

void StoreBuiltInEntry(Vocabulary& vocabulary, const wchar_t* name, const PronunciationDictionary* dictionary) {
    auto entry = std::make_unique<WordEntry>();
    entry->name = name;
    entry->isBuiltIn = true;
    entry->dictionary = dictionary;
    vocabulary[entry->name] = std::move(entry);
}

// Opened for reading and writing so that a missing file is created empty;
// a file that cannot be written (read-only storage) is still read.
std::FILE* OpenVocabularyFile(const char* fileName) {
    std::FILE* file = std::fopen(fileName, "a+");
    return file != nullptr ? file : std::fopen(fileName, "r");
}

}  // namespace

std::int32_t ReadVocabularyFile(const char* fileName, Vocabulary& vocabulary,
                                const PronunciationDictionary* dictionary) {
    std::int32_t counter = 0;
    if (std::FILE* file = OpenVocabularyFile(fileName)) {
        LineReader reader(file);
        std::string line;
        if (reader.ReadLine(line)) {
            counter = TextToInt(line);
        }
        while (reader.ReadLine(line)) {
            if (auto entry = ParseWordLine(line, dictionary)) {
                vocabulary[entry->name] = std::move(entry);
            }
        }
        std::fclose(file);
    } else {
        std::fprintf(stderr, "parrot: cannot open or create %s (%s); no saved words are loaded\n", fileName,
                     std::strerror(errno));
    }
    StoreBuiltInEntry(vocabulary, L"sp", dictionary);
    StoreBuiltInEntry(vocabulary, L"sil", dictionary);
    return counter;
}

int WriteVocabularyFile(const char* fileName, const Vocabulary& vocabulary, std::int32_t counter) {
    std::string text = IntToText(counter);
    for (const auto& [name, entry] : vocabulary) {
        if (entry->isBuiltIn) {
            continue;
        }
        text += '\n';
        text += ToNarrowText(entry->name);
        text += '#';
        for (const std::int32_t utterance : entry->utterances) {
            text += IntToText(utterance);
            text += '#';
        }
    }
    return ReplaceFileContents(fileName, text);
}
