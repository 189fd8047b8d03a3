#include "training_session.h"

#include "vocabulary/vocabulary_file.h"

namespace {

const char* const kVocabularyFile = "commands.txt";

}  // namespace

std::int32_t TrainingSession::LoadVocabulary() { return ReadVocabularyFile(kVocabularyFile, vocabulary, &dictionary); }

int TrainingSession::SaveVocabulary(std::int32_t utteranceCounter) {
    return WriteVocabularyFile(kVocabularyFile, vocabulary, utteranceCounter);
}
