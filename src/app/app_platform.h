#pragma once
// What the application object needs of the platform besides the dialog's own
// window: the socket layer, a start-up message box and a modal run of the
// main dialog in a window of the platform's kind.

#include <string>

class RecognizerDialog;

class AppPlatform {
public:
    virtual ~AppPlatform() = default;

    // Starts the socket layer; false when it fails.
    virtual bool StartSocketLayer() = 0;
    // A message box with an OK button only, captioned with the program's name.
    virtual void ShowMessageBox(const std::wstring& text) = 0;
    // Makes everything the dialog needs before it is constructed: the work
    // folder, the dictionary files in it, the speech engine. Returns an empty
    // string, or the reason the program cannot go on.
    virtual std::string PrepareRun() = 0;
    // Creates the main window for `dialog`, makes it the main window and runs
    // it modally: the window calls dialog.AttachWindow(), then
    // dialog.OnInitDialog() before it is shown, and routes button presses to
    // dialog.OnCommand() and its close button to dialog.OnClose(). Returns
    // the dialog's result.
    virtual int RunMainDialog(RecognizerDialog& dialog) = 0;
};
