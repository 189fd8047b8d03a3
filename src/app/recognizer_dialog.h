#pragma once
// The logic of the main window "Embedded Speech Recognition Engine": owns the
// training and recognition sessions and the utterance counter, lists the
// user's words, and turns button presses into recording, training,
// recognition and saving.

#include <cstdint>
#include <string>
#include <vector>

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
    // False, with the failure in the outcome, when the vocabulary could not
    // be saved.
    bool OnSave();

    // Delete or "Forget word" on a listed word: asks, then forgets it. The
    // outcome says what was done or failed, as for a button press.
    void OnForgetWord(const std::wstring& word);
    // The recording numbers of the takes of `word`; none for an unknown word.
    std::vector<std::int32_t> TakesOf(const std::wstring& word) const;
    // "Play take": plays recording `take` back; the outcome says whether it
    // could.
    void OnPlayTake(std::int32_t take);

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
    // Ends the modal run; a recording still running is stopped unused. With
    // unsaved changes the user first chooses to save, discard or stay.
    void EndDialog(int result);
    std::wstring RecordingFileName() const;
    // `word`, or the known word with the same grammar form.
    std::wstring KnownWordLike(const std::wstring& word) const;
    // Takes `word` out of the vocabulary and the word list and retrains the
    // models without it; its recordings stay on disk and nothing is saved.
    // False when there is no such word.
    bool ForgetWord(const std::wstring& word);

    DialogWindow* window_ = nullptr;
    Recording recording_ = Recording::None;
    // A word was trained or forgotten since the last Save.
    bool unsavedChanges_ = false;
    CommandOutcome outcome_;
    // The training files on disk may not fit together (the last training run
    // was killed or failed, or the words changed since): the next recognition
    // retrains the whole vocabulary first.
    bool retrainBeforeRecognition_ = false;
};
