// "Recognize word": the first press records the file of the next utterance,
// the second stops it, decodes it and refills the result list.

#include "app/button_captions.h"
#include "app/recognizer_dialog.h"
#include "audio/speech_detection.h"
#include "text/text.h"

namespace {

// Shown inside the empty result list after a recognition that accepted no word.
constexpr const wchar_t* kNoWordRecognisedText = L"No word recognised";

std::wstring ResultLine(const std::wstring& word, double score) {
    return word + L" score=" + ToWideText(DoubleToText(score, 12));
}

}  // namespace

void RecognizerDialog::OnRecognizeWord() {
    // While "Add/Train word" records, this button is disabled; a press that
    // arrives anyway changes nothing.
    if (recording_ == Recording::Training) {
        return;
    }
    const std::wstring caption = window_->GetControlText(IdRecognizeButton);
    if (caption == kRecognizeCaption) {
        StartCommandRecording(Recording::Recognition, IdRecognizeButton, IdTrainButton);
        if (recording_ == Recording::Recognition) {
            window_->ShowListPlaceholder(IdResultList, L"");
        }
        return;
    }

    StopCommandRecording(IdTrainButton);
    if (RecordingFailed()) {
        window_->SetButtonCaption(IdRecognizeButton, kRecognizeCaption);
        outcome_.failures.push_back("the recording failed, so nothing was recognised");
        return;
    }
    const bool retrain = retrainBeforeRecognition_;
    if (retrain) {
        window_->SetButtonCaption(IdRecognizeButton, kRetrainingCaption);
        trainingSession.RunTrainingChain();
        retrainBeforeRecognition_ = false;
    }
    for (int line = window_->CountListLines(IdResultList) - 1; line >= 0; --line) {
        window_->DeleteListLine(IdResultList, line);
    }
    // Nothing said, a cough or a click: no word is there to recognise, and
    // the decoder is not asked to find one.
    if (!RecordingHoldsSpeech(ToNarrowText(RecordingFileName()))) {
        window_->ShowListPlaceholder(IdResultList, kNoWordRecognisedText);
        outcome_.done = "recording " + IntToText(utteranceCounter) + " held no speech, so no word was recognised";
        ++utteranceCounter;
        window_->SetButtonCaption(IdRecognizeButton, kRecognizeCaption);
        return;
    }
    recognitionSession.utteranceNumber = utteranceCounter;
    recognitionSession.WriteRawDecList();
    recognitionSession.WriteMfcDecList();
    recognitionSession.WriteOutDecList();
    recognitionSession.WriteLatDecList();
    recognitionSession.RunDecExtractFeatures();
    recognitionSession.RunTraceProjection();
    recognitionSession.ReadDecoderOutput();

    for (const auto& [word, score] : recognitionSession.results) {
        window_->AddListLine(IdResultList, ResultLine(word, score));
    }
    // A decoder that failed has said so; only a decoding that ran and
    // accepted no word means that nothing was recognised.
    if (recognitionSession.results.empty() && !outcome_.Failed()) {
        window_->ShowListPlaceholder(IdResultList, kNoWordRecognisedText);
    }
    outcome_.done = "recording " + IntToText(utteranceCounter) + " was decoded" +
                    (retrain ? ", after the unfinished training was done again" : "");
    ++utteranceCounter;
    window_->SetButtonCaption(IdRecognizeButton, kRecognizeCaption);
}
