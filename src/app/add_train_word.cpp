// "Add/Train word": the first press records the file of the next utterance,
// the second stops it and trains the word typed in the edit box with it. The
// word is taken without the blanks around it, and a word the recogniser
// cannot tell from a known one (the same grammar form: "YES" and "yes") is
// trained as another take of the known word.

#include "app/button_captions.h"
#include "app/recognizer_dialog.h"
#include "audio/speech_detection.h"
#include "text/text.h"
#include "vocabulary/word_forms.h"

namespace {

constexpr const wchar_t* kBlanks = L" \t\n\r\v\f";

std::wstring WithoutSurroundingBlanks(const std::wstring& text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    return first == std::wstring::npos ? std::wstring()
                                       : text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::string RefusedWordMessage(const std::wstring& word) {
    if (word.empty()) {
        return "type the word to train in the New Word box: nothing was trained";
    }
    return "\"" + ToNarrowText(EscapeControlCharacters(word)) +
           "\" cannot be trained: a word may not be sp, sil or hold !SENT_START, !SENT_END, \"#\", control "
           "characters or any of | ( ) [ ] { } < > ; = $";
}

}  // namespace

void RecognizerDialog::OnAddTrainWord() {
    // While "Recognize word" records, this button is disabled; a press that
    // arrives anyway changes nothing.
    if (recording_ == Recording::Recognition) {
        return;
    }
    const std::wstring typed = WithoutSurroundingBlanks(window_->GetControlText(IdWordEdit));
    const std::wstring caption = window_->GetControlText(IdTrainButton);
    if (caption == kTrainCaption) {
        StartCommandRecording(Recording::Training, IdTrainButton, IdRecognizeButton);
        return;
    }

    StopCommandRecording(IdRecognizeButton);
    // A refused word or recording trains nothing and keeps the counter, so
    // the next recording reuses the number.
    if (!IsTrainableWord(typed)) {
        window_->SetButtonCaption(IdTrainButton, kTrainCaption);
        outcome_.failures.push_back(RefusedWordMessage(typed));
        return;
    }
    if (RecordingFailed()) {
        window_->SetButtonCaption(IdTrainButton, kTrainCaption);
        outcome_.failures.push_back("the recording failed, so the word was not trained");
        return;
    }
    // Nothing said, or a press too short for a word: training on it would
    // spoil the word's models.
    if (!RecordingHoldsSpeech(ToNarrowText(RecordingFileName()))) {
        window_->SetButtonCaption(IdTrainButton, kTrainCaption);
        outcome_.failures.push_back("no speech was heard, so the word was not trained");
        return;
    }
    const std::wstring word = KnownWordLike(typed);
    const bool added = trainingSession.TrainWord(word, utteranceCounter) == 0;
    retrainBeforeRecognition_ = false;
    if (added) {
        window_->AddListLine(IdWordList, word);
    }
    outcome_.done = "\"" + ToNarrowText(word) + "\" was " + (added ? "added and " : "") + "trained with recording " +
                    IntToText(utteranceCounter);
    unsavedChanges_ = true;
    ++utteranceCounter;
    window_->SetButtonCaption(IdTrainButton, kTrainCaption);
    window_->ShowListLine(IdWordList, word);
    if (word != typed) {
        window_->ShowNote(L"Trained as another take of " + word + L".");
    }
}

std::wstring RecognizerDialog::KnownWordLike(const std::wstring& word) const {
    if (trainingSession.vocabulary.contains(word)) {
        return word;
    }
    const std::wstring grammarWord = GrammarWord(word);
    for (const auto& [name, entry] : trainingSession.vocabulary) {
        if (!entry->isBuiltIn && GrammarWord(name) == grammarWord) {
            return name;
        }
    }
    return word;
}
