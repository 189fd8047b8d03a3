#pragma once
// The logic of the main window "Embedded Speech Recognition Engine": owns the
// training and recognition sessions and the utterance counter, lists the
// user's words, and turns button presses into recording, training,
// recognition and saving.

#include <cstdint>
#include <string>

#include "app/command_outcome.h"
#include "app/dialog_window.h"
#include "audio/recording_format.h"
#include "audio/wave_recorder.h"
#include "recognition/recognition_session.h"
#include "training/training_session.h"

class RecognizerDialog {
public:
    RecognizerDialog();
    // Stops a recording that is still running; trains and decodes nothing.
    ~RecognizerDialog();

    RecognizerDialog(const RecognizerDialog&) = delete;
    RecognizerDialog& operator=(const RecognizerDialog&) = delete;

    // The window the logic works through; set before OnInitDialog.
    void AttachWindow(DialogWindow& window);

    // Runs once the window exists and before it is shown.
    bool OnInitDialog();

    // A button press or the title bar's OK (command id).
    void OnCommand(int commandId);
    // The window's close button: acts as OK.
    void OnClose();

    // The outcome of the last OnCommand or OnClose, for the window to show.
    const CommandOutcome& LastOutcome() const { return outcome_; }

    void OnAddTrainWord();
    void OnRecognizeWord();
    void OnSave();

    std::int32_t utteranceCounter = 0;
    TrainingSession trainingSession;
    RecognitionSession recognitionSession;
    RecordingFormat recordingFormat;
    DeviceHandle deviceHandle = nullptr;

private:
    // Which button's recording is running. The button captions carry the
    // state of each command; this only guards one command against the other.
    enum class Recording { None, Training, Recognition };

    // Starts recording the file of the counter's utterance; refused, with the
    // reason in the outcome, once the counter has reached its largest value.
    void StartCommandRecording(Recording command, int ownButton, int otherButton);
    void StopCommandRecording(int otherButton);
    // Ends the modal run; a recording still running is stopped unused.
    void EndDialog(int result);
    std::wstring RecordingFileName() const;

    DialogWindow* window_ = nullptr;
    Recording recording_ = Recording::None;
    CommandOutcome outcome_;
    // The training files on disk may not fit together (the last training run
    // was killed or failed, or the words changed since): the next recognition
    // retrains the whole vocabulary first.
    bool retrainBeforeRecognition_ = false;
};
