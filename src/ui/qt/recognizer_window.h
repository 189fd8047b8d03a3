#pragma once
// The main window "Embedded Speech Recognition Engine" (dialog 102), laid out
// in dialog units of Arial 8 pt. It holds no logic of its own: every button,
// Enter, Escape and the close button are handed to the dialog logic as
// commands, and the logic drives the window through DialogWindow.

#include <QDialog>
#include <functional>

#include "app/command_outcome.h"
#include "app/dialog_window.h"

class QCloseEvent;
class QListWidget;

// Where the window sends what the user does.
struct WindowCommands {
    std::function<void(int commandId)> command;  // a button press
    std::function<void()> close;                 // the window's close button
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

    // A message box with the failures of a command and what it did all the
    // same; nothing when the command did not fail.
    void ShowOutcome(const CommandOutcome& outcome);

    // Enter and Escape as the dialog's OK and Cancel commands.
    void accept() override;
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QListWidget* List(int listId) const;

    WindowCommands commands_;
    bool ending_ = false;
};
