// Steps 5 to 9 of a training run: the word-loop grammar, the lexicon, and the
// label, recording and feature lists. The grammar and the three lists walk
// the Vocabulary in its own order, so line k of the three lists belongs to
// the same recording.

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "text/text.h"
#include "trained_words.h"
#include "training_file.h"
#include "training_session.h"
#include "vocabulary/word_forms.h"

namespace {

// The entry's phones, each followed by one blank.
std::string Pronunciation(const WordEntry& entry) {
    std::string pronunciation;
    for (const std::wstring& phone : entry.phones) {
        pronunciation += ToNarrowText(phone);
        pronunciation += ' ';
    }
    return pronunciation;
}

// One line per recording of every trained word: its number and `ending`.
void WriteUtteranceList(const Vocabulary& vocabulary, const char* fileName, std::string_view ending) {
    TrainingFile file(fileName);
    for (const auto& [word, entry] : vocabulary) {
        if (TakesPartInTraining(word, *entry)) {
            for (std::int32_t utterance : entry->utterances) {
                file << utterance << ending;
            }
        }
    }
}

}  // namespace

int TrainingSession::WriteLoopGrammar() {
    TrainingFile file(fileNames.grammarFile);
    file << "$orlu_utterance = !SENT_START < ";
    bool first = true;
    for (const auto& [word, entry] : vocabulary) {
        if (TakesPartInTraining(word, *entry)) {
            file << (first ? "" : " | ") << GrammarWord(word);
            first = false;
        }
    }
    file << " > !SENT_END;";
    return 0;
}

int TrainingSession::WriteLexicon() {
    TrainingFile file(fileNames.lexiconFile);
    file << "!SENT_END sil\n!SENT_START sil\n";

    std::vector<std::pair<std::string, const WordEntry*>> sortedWords;
    for (const auto& [word, entry] : vocabulary) {
        if (TakesPartInTraining(word, *entry)) {
            sortedWords.emplace_back(ToNarrowText(word), entry.get());
        }
    }
    std::stable_sort(sortedWords.begin(), sortedWords.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& sorted : sortedWords) {
        const WordEntry& entry = *sorted.second;
        const std::string grammarWord = ToNarrowText(GrammarWord(entry.name));
        const std::string pronunciation = Pronunciation(entry);
        file << grammarWord << " " << pronunciation << "\n";
        file << grammarWord << " " << pronunciation << "sil\n";
    }
    return 0;
}

int TrainingSession::WriteLabelList() {
    TrainingFile file(fileNames.labelListFile);
    for (const auto& [word, entry] : vocabulary) {
        if (!TakesPartInTraining(word, *entry)) {
            continue;
        }
        const std::string pronunciation = Pronunciation(*entry);
        for (std::size_t take = 0; take < entry->utterances.size(); ++take) {
            file << "sil " << pronunciation << "sil\n";
        }
    }
    return 0;
}

int TrainingSession::WriteRawList() {
    WriteUtteranceList(vocabulary, fileNames.rawListFile, ".raw\n");
    return 0;
}

int TrainingSession::WriteMfcList() {
    WriteUtteranceList(vocabulary, fileNames.mfcListFile, ".mfc\n");
    return 0;
}
