// "commands.txt": any bytes load, and what is saved from them loads back to
// the same words and counter.

#include <cstdlib>

#include "fuzz_support.h"
#include "vocabulary/vocabulary_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    EnterScratchFolder();
    WriteInput("commands.txt", data, size);
    Vocabulary loaded;
    const VocabularyFileState first = ReadVocabularyFile("commands.txt", loaded, nullptr);
    if (WriteVocabularyFile("saved.txt", loaded, first.counter) != 0) {
        std::abort();
    }
    Vocabulary reloaded;
    const VocabularyFileState second = ReadVocabularyFile("saved.txt", reloaded, nullptr);
    if (second.counter != first.counter || VocabularyLines(reloaded) != VocabularyLines(loaded)) {
        std::abort();
    }
    return 0;
}
