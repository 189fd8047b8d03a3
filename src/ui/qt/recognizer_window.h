#pragma once
// The main window "Embedded Speech Recognition Engine" (dialog 102), laid out
// in dialog units of Arial 8 pt. It holds no logic of its own: every button,
// Escape (Cancel), the close button and what is done to a word in "Available
// Words" are handed to the dialog logic, and the logic drives the window
// through DialogWindow. Enter presses "Add/Train word", the one default
// button: it trains the word just typed, and no single key ends the dialog
// and loses unsaved words. The recording indicator and notes take the free
// space beside "Save ".

#include <QDialog>
#include <cstdint>
#include <functional>
#include <vector>

#include "app/command_outcome.h"
#include "app/dialog_window.h"

class QCloseEvent;
class QLabel;
class QMenu;
class ListBox;
class RecordingIndicator;

// Where the window sends what the user does.
struct WindowCommands {
    std::function<void(int commandId)> command;                                  // a button press
    std::function<void()> close;                                                 // the window's close button
    std::function<void(const std::wstring& word)> forgetWord;                    // Delete, or "Forget word"
    std::function<std::vector<std::int32_t>(const std::wstring& word)> takesOf;  // the word's recordings
    std::function<void(std::int32_t take)> playTake;                             // "Play take"
};

class RecognizerWindow : public QDialog, public DialogWindow {
public:
    explicit RecognizerWindow(WindowCommands commands, QWidget* parent = nullptr);

    // The control with `controlId`, or nullptr.
    QWidget* Control(int controlId) const;

    std::wstring GetControlText(int controlId) override;
    void SetButtonCaption(int controlId, const std::wstring& caption) override;
    void AddListLine(int listId, const std::wstring& line) override;
    int CountListLines(int listId) override;
    void DeleteListLine(int listId, int index) override;
    void SetIcons() override;
    void CentreOnScreen() override;
    int RunSplashDialog() override;
    void EndDialog(int result) override;
    void EnableButton(int controlId, bool enabled) override;
    void ShowRecordingIndicator(bool shown) override;
    void ShowListPlaceholder(int listId, const std::wstring& text) override;
    void ShowListLine(int listId, const std::wstring& line) override;
    void ShowNote(const std::wstring& text) override;
    bool Confirm(const std::wstring& question) override;
    CloseChoice AskSaveBeforeClosing() override;

    // The context menu of a word in "Available Words": how many takes it
    // has, one entry to play each, and "Forget word".
    QMenu* WordMenu(const std::wstring& word);

    // A message box with the failures of a command and what it did all the
    // same; nothing when the command did not fail.
    void ShowOutcome(const CommandOutcome& outcome);

    // Anything that accepts or rejects the dialog acts as OK or Cancel.
    void accept() override;
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Delete on a word in "Available Words" forgets it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ListBox* List(int listId) const;
    // The word of the current line of "Available Words"; empty when none.
    std::wstring CurrentWord() const;

    WindowCommands commands_;
    RecordingIndicator* indicator_;
    QLabel* note_;
    bool ending_ = false;
};
