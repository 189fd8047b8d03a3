#include "app/recognizer_dialog.h"

#include <limits>

#include "app/button_captions.h"
#include "app/session_file_names.h"
#include "text/text.h"

RecognizerDialog::RecognizerDialog() {
    trainingSession.failures = &outcome_.failures;
    recognitionSession.failures = &outcome_.failures;
}

RecognizerDialog::~RecognizerDialog() {
    if (recording_ != Recording::None) {
        StopRecording(deviceHandle);
    }
}

void RecognizerDialog::AttachWindow(DialogWindow& window) { window_ = &window; }

bool RecognizerDialog::OnInitDialog() {
    window_->SetIcons();
    window_->RunSplashDialog();
    window_->CentreOnScreen();
    recordingFormat = kRecordingFormat;
    utteranceCounter = trainingSession.LoadVocabulary();
    for (const auto& [name, entry] : trainingSession.vocabulary) {
        if (!entry->isBuiltIn) {
            window_->AddListLine(IdWordList, entry->name);
        }
    }
    trainingSession.SetFileNames(kTrainingFileNames);
    recognitionSession.SetFileNames(kDecodingFileNames);
    recognitionSession.WriteDecParams();
    retrainBeforeRecognition_ = !trainingSession.TrainingCompleted();
    return true;  // the window may place the input focus itself
}

void RecognizerDialog::OnCommand(int commandId) {
    outcome_ = {};
    switch (commandId) {
        case IdOk:
        case IdCancel:
            EndDialog(commandId);
            break;
        case IdTrainButton:
            OnAddTrainWord();
            break;
        case IdRecognizeButton:
            OnRecognizeWord();
            break;
        case IdSaveButton:
            OnSave();
            break;
        default:
            break;
    }
}

void RecognizerDialog::OnClose() {
    outcome_ = {};
    EndDialog(IdOk);
}

bool RecognizerDialog::OnSave() {
    if (!trainingSession.unreadableVocabulary.empty()) {
        outcome_.failures.push_back("the vocabulary was not saved: commands.txt " +
                                    trainingSession.unreadableVocabulary +
                                    " at start-up, so saving would lose the words it holds");
        return false;
    }
    if (trainingSession.SaveVocabulary(utteranceCounter) != 0) {
        outcome_.failures.push_back("the vocabulary was not saved: commands.txt could not be written");
        return false;
    }
    outcome_.done = "the vocabulary was saved";
    unsavedChanges_ = false;
    return true;
}

void RecognizerDialog::EndDialog(int result) {
    if (unsavedChanges_) {
        const CloseChoice choice = window_->AskSaveBeforeClosing();
        if (choice == CloseChoice::Cancel || (choice == CloseChoice::Save && !OnSave())) {
            return;
        }
    }
    if (recording_ == Recording::Training) {
        StopCommandRecording(IdRecognizeButton);
        window_->SetButtonCaption(IdTrainButton, kTrainCaption);
    } else if (recording_ == Recording::Recognition) {
        StopCommandRecording(IdTrainButton);
        window_->SetButtonCaption(IdRecognizeButton, kRecognizeCaption);
    }
    window_->EndDialog(result);
}

std::wstring RecognizerDialog::RecordingFileName() const { return ToWideText(IntToText(utteranceCounter) + ".raw"); }

void RecognizerDialog::StartCommandRecording(Recording command, int ownButton, int otherButton) {
    // The counter never wraps: past its largest value the next numbers would
    // be negative, then reused, and recordings would be overwritten.
    if (utteranceCounter == std::numeric_limits<std::int32_t>::max()) {
        outcome_.failures.push_back("the recording counter has reached " + IntToText(utteranceCounter) +
                                    ", the largest there is, so nothing was recorded; use a new work folder");
        return;
    }
    StartRecording(RecordingFileName(), recordingFormat, &deviceHandle);
    if (const std::string problem = RecordingStartProblem(); !problem.empty()) {
        deviceHandle = nullptr;
        outcome_.failures.push_back("no microphone could be opened: " + problem);
        return;
    }
    window_->SetButtonCaption(ownButton, kStopRecordingCaption);
    window_->EnableButton(otherButton, false);
    window_->ShowRecordingIndicator(true);
    recording_ = command;
    outcome_.done = "recording " + IntToText(utteranceCounter) + " was started";
}

void RecognizerDialog::StopCommandRecording(int otherButton) {
    StopRecording(deviceHandle);
    deviceHandle = nullptr;
    recording_ = Recording::None;
    window_->ShowRecordingIndicator(false);
    window_->EnableButton(otherButton, true);
}
