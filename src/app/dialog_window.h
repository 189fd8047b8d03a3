#pragma once
// What the dialog logic needs of a window system. The Qt window and the
// headless window used by parrot-cli both implement it.

#include <string>

// Control and command ids of the main window.
enum ControlId : int {
    IdOk = 1,
    IdCancel = 2,
    IdWordEdit = 1001,
    IdTrainButton = 1002,
    IdRecognizeButton = 1003,
    IdSaveButton = 1007,
    IdWordList = 1008,
    IdResultList = 1009,
};

// The answers to the question asked when the window closes with unsaved changes.
enum class CloseChoice { Save, Discard, Cancel };

class DialogWindow {
public:
    virtual ~DialogWindow() = default;

    // Text of the edit box or the caption of a button.
    virtual std::wstring GetControlText(int controlId) = 0;
    virtual void SetButtonCaption(int controlId, const std::wstring& caption) = 0;
    // Adds a line in sorted position (see CompareListLines).
    virtual void AddListLine(int listId, const std::wstring& line) = 0;
    virtual int CountListLines(int listId) = 0;
    virtual void DeleteListLine(int listId, int index) = 0;
    // Sets the window's large and small icon to the program icon.
    virtual void SetIcons() = 0;
    virtual void CentreOnScreen() = 0;
    // Runs the splash box modally and returns its result (IdOk or IdCancel).
    virtual int RunSplashDialog() = 0;
    // Ends the modal run of the window with `result`.
    virtual void EndDialog(int result) = 0;
    virtual void EnableButton(int controlId, bool enabled) = 0;

    // Shows, while a recording runs, the input level and the seconds
    // recorded; hidden otherwise.
    virtual void ShowRecordingIndicator(bool shown) = 0;
    // Greyed text drawn inside the list, not as a line of it, while the list
    // has no lines; an empty text removes it, and so does a line added.
    virtual void ShowListPlaceholder(int listId, const std::wstring& text) = 0;
    // Selects `line` in the list and scrolls it into view.
    virtual void ShowListLine(int listId, const std::wstring& line) = 0;
    // A short note beside the controls, in place of the previous one; an
    // empty text clears it.
    virtual void ShowNote(const std::wstring& text) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool Confirm(const std::wstring& question) = 0;
    // "Save the vocabulary before closing?" with Save, Discard and Cancel.
    virtual CloseChoice AskSaveBeforeClosing() = 0;
};
