#include "vocabulary_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>

#include "text/program_name.h"
#include "text/text.h"
#include "vocabulary/file_replacement.h"
#include "vocabulary/recording_numbers.h"

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

// True when `line` starts, after white space, with an optional sign and a
// digit: a counter, as opposed to a word line or damage.
bool IsCounterLine(std::string_view line) {
    const std::size_t start = line.find_first_not_of(" \t\v\f\r");
    if (start == std::string_view::npos) {
        return false;
    }
    line.remove_prefix(start);
    if (line.front() == '-' || line.front() == '+') {
        line.remove_prefix(1);
    }
    return !line.empty() && line.front() >= '0' && line.front() <= '9';
}

// Opens an existing regular file for reading, or creates a missing one empty.
// Sets `state.unreadable` when a file stands there that cannot be read.
std::FILE* OpenVocabularyFile(const char* fileName, VocabularyFileState& state) {
    struct stat status {};
    if (stat(fileName, &status) != 0) {
        const int error = errno;
        if (error != ENOENT && error != ENOTDIR) {
            state.unreadable = std::string("could not be read (") + std::strerror(error) + ")";
            return nullptr;
        }
        // A dangling symbolic link would make the file appear at its target.
        return CreateFile(fileName);
    }
    if (!S_ISREG(status.st_mode)) {
        state.unreadable = "is not a regular file";
        return nullptr;
    }
    std::FILE* file = std::fopen(fileName, "r");
    if (file == nullptr) {
        state.unreadable = std::string("could not be read (") + std::strerror(errno) + ")";
    }
    return file;
}

// Reads every line; false when reading fails part way.
bool ReadLines(std::FILE* file, Vocabulary& vocabulary, const PronunciationDictionary* dictionary,
               std::optional<std::int32_t>& savedCounter) {
    LineReader reader(file);
    std::string line;
    if (reader.ReadLine(line)) {
        if (IsCounterLine(line)) {
            savedCounter = TextToInt(line);
        } else if (auto entry = ParseWordLine(line, dictionary); entry && line.find('#') != std::string::npos) {
            vocabulary[entry->name] = std::move(entry);
        }
    }
    while (reader.ReadLine(line)) {
        if (auto entry = ParseWordLine(line, dictionary)) {
            vocabulary[entry->name] = std::move(entry);
        }
    }
    return std::ferror(file) == 0;
}

// One past the highest utterance any word refers to or any recording in
// `folder` has; `floor` when that is higher.
std::int32_t FirstFreeUtterance(const Vocabulary& vocabulary, const std::string& folder, std::int64_t floor) {
    std::int64_t highest = floor - 1;
    for (const auto& [name, entry] : vocabulary) {
        for (const std::int32_t utterance : entry->utterances) {
            highest = std::max<std::int64_t>(highest, utterance);
        }
    }
    if (const std::optional<std::int32_t> recorded = HighestRecordingNumber(folder)) {
        highest = std::max<std::int64_t>(highest, *recorded);
    }
    return static_cast<std::int32_t>(std::min<std::int64_t>(highest + 1, std::numeric_limits<std::int32_t>::max()));
}

std::string FolderOf(const char* fileName) {
    const std::filesystem::path folder = std::filesystem::path(fileName).parent_path();
    return folder.empty() ? "." : folder.string();
}

}  // namespace

VocabularyFileState ReadVocabularyFile(const char* fileName, Vocabulary& vocabulary,
                                       const PronunciationDictionary* dictionary) {
    VocabularyFileState state;
    std::optional<std::int32_t> savedCounter;
    if (std::FILE* file = OpenVocabularyFile(fileName, state)) {
        if (!ReadLines(file, vocabulary, dictionary, savedCounter)) {
            state.unreadable = std::string("could not be read (") + std::strerror(errno) + ")";
            vocabulary.clear();
        }
        std::fclose(file);
    }
    if (!state.unreadable.empty()) {
        PrintMessage(std::string(fileName) + " " + state.unreadable +
                     "; no saved words are loaded and Save will not replace it");
    }
    // The built-in entries hold no recordings of their own.
    StoreBuiltInEntry(vocabulary, L"sp", dictionary);
    StoreBuiltInEntry(vocabulary, L"sil", dictionary);

    state.counter = FirstFreeUtterance(vocabulary, FolderOf(fileName), savedCounter.value_or(0));
    if (state.unreadable.empty() && state.counter != savedCounter.value_or(0)) {
        PrintMessage("new recordings start at " + IntToText(state.counter) + " so that none replaces one in use (" +
                     fileName + " gives " + (savedCounter ? IntToText(*savedCounter) : "no number") + ")");
    }
    return state;
}

std::string VocabularyLines(const Vocabulary& vocabulary) {
    std::string text;
    for (const auto& [name, entry] : vocabulary) {
        if (entry->isBuiltIn) {
            continue;
        }
        if (!text.empty()) {
            text += '\n';
        }
        text += ToNarrowText(entry->name);
        text += '#';
        for (const std::int32_t utterance : entry->utterances) {
            text += IntToText(utterance);
            text += '#';
        }
    }
    return text;
}

int WriteVocabularyFile(const char* fileName, const Vocabulary& vocabulary, std::int32_t counter) {
    std::string text = IntToText(counter);
    const std::string lines = VocabularyLines(vocabulary);
    if (!lines.empty()) {
        text += '\n' + lines;
    }
    return ReplaceFileContents(fileName, text);
}
