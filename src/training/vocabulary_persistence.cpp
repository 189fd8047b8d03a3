#include "training_session.h"

#include <cerrno>

#include "vocabulary/vocabulary_file.h"

namespace {

const char* const kVocabularyFile = "commands.txt";

}  // namespace

std::int32_t TrainingSession::LoadVocabulary() {
    VocabularyFileState state = ReadVocabularyFile(kVocabularyFile, vocabulary, &dictionary);
    unreadableVocabulary = std::move(state.unreadable);
    return state.counter;
}

int TrainingSession::SaveVocabulary(std::int32_t utteranceCounter) {
    if (!unreadableVocabulary.empty()) {
        return EPERM;
    }
    return WriteVocabularyFile(kVocabularyFile, vocabulary, utteranceCounter);
}
