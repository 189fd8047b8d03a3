#include "word_entry.h"

#include "dictionary/transcription.h"

void WordEntry::Transcribe(const std::wstring& word) {
    if (dictionary != nullptr) {
        TranscribeWord(*dictionary, word, phones);
    }
}
