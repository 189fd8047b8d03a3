// "Add/Train word": the first press records the file of the next utterance,
// the second stops it and trains the word typed in the edit box with it.

#include "app/button_captions.h"
#include "app/recognizer_dialog.h"
#include "text/text.h"
#include "vocabulary/word_forms.h"

namespace {

std::string RefusedWordMessage(const std::wstring& word) {
    if (word.find_first_not_of(L" \t\n\r\v\f") == std::wstring::npos) {
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
    const std::wstring word = window_->GetControlText(IdWordEdit);
    const std::wstring caption = window_->GetControlText(IdTrainButton);
    if (caption == kTrainCaption) {
        StartCommandRecording(Recording::Training, IdTrainButton, IdRecognizeButton);
        return;
    }

    StopCommandRecording(IdRecognizeButton);
    // A refused word or recording trains nothing and keeps the counter, so
    // the next recording reuses the number.
    if (!IsTrainableWord(word)) {
        window_->SetButtonCaption(IdTrainButton, kTrainCaption);
        outcome_.failures.push_back(RefusedWordMessage(word));
        return;
    }
    if (RecordingFailed()) {
        window_->SetButtonCaption(IdTrainButton, kTrainCaption);
        outcome_.failures.push_back("the recording failed, so the word was not trained");
        return;
    }
    const bool added = trainingSession.TrainWord(word, utteranceCounter) == 0;
    retrainBeforeRecognition_ = false;
    if (added) {
        window_->AddListLine(IdWordList, word);
    }
    outcome_.done = "\"" + ToNarrowText(word) + "\" was " + (added ? "added and " : "") + "trained with recording " +
                    IntToText(utteranceCounter);
    ++utteranceCounter;
    window_->SetButtonCaption(IdTrainButton, kTrainCaption);
}
