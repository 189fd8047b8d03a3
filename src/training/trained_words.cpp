#include "trained_words.h"

#include <cstdio>

#include "text/program_name.h"
#include "text/text.h"
#include "vocabulary/word_forms.h"

namespace {

// The word as 8-bit text with control characters escaped, so that the
// message stays on one line.
std::string PrintableWord(const std::wstring& word) {
    static const char hexDigits[] = "0123456789abcdef";
    std::string printable;
    for (unsigned char byte : ToNarrowText(word)) {
        if (byte == '\t') {
            printable += "\\t";
        } else if (byte == '\n') {
            printable += "\\n";
        } else if (byte == '\r') {
            printable += "\\r";
        } else if (byte < 0x20 || byte == 0x7f) {
            printable += "\\x";
            printable += hexDigits[byte >> 4];
            printable += hexDigits[byte & 0xf];
        } else {
            printable += static_cast<char>(byte);
        }
    }
    return printable;
}

}  // namespace

bool TakesPartInTraining(const std::wstring& word, const WordEntry& entry) {
    return !entry.isBuiltIn && IsTrainableWord(word);
}

void ReportUntrainableWords(const Vocabulary& vocabulary) {
    for (const auto& [word, entry] : vocabulary) {
        if (!entry->isBuiltIn && !IsTrainableWord(word)) {
            PrintMessage("the word \"" + PrintableWord(word) +
                         "\" cannot be trained (it is blank or holds a character "
                         "the training files reserve); it stays in the vocabulary "
                         "but is left out of training");
        }
    }
}
