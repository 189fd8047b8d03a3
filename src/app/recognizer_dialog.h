#pragma once
// The logic of the main window "Embedded Speech Recognition Engine": owns the
// training and recognition sessions and the utterance counter, lists the
// user's words, and turns button presses into recording, training,
// recognition and saving.

#include <cstdint>

#include "app/dialog_window.h"
#include "audio/recording_format.h"
#include "audio/wave_recorder.h"
#include "recognition/recognition_session.h"
#include "training/training_session.h"

class RecognizerDialog {
public:
    RecognizerDialog();
    ~RecognizerDialog();

    // The window the logic works through; set before OnInitDialog.
    void AttachWindow(DialogWindow& window);

    // Runs once the window exists and before it is shown.
    bool OnInitDialog();

    // A button press or the title bar's OK (command id).
    void OnCommand(int commandId);
    // The window's close button: acts as OK.
    void OnClose();

    void OnAddTrainWord();
    void OnRecognizeWord();
    void OnSave();

    std::int32_t utteranceCounter = 0;
    TrainingSession trainingSession;
    RecognitionSession recognitionSession;
    RecordingFormat recordingFormat;
    DeviceHandle deviceHandle = nullptr;

private:
    DialogWindow* window_ = nullptr;
};
