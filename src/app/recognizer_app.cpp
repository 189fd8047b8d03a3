#include "app/recognizer_app.h"

#include "app/recognizer_dialog.h"
#include "text/text.h"

bool RecognizerApp::InitInstance() {
    // Nothing is read or written before the socket layer has started: the
    // work folder and the dictionary are only touched by PrepareRun.
    if (!platform_.StartSocketLayer()) {
        platform_.ShowMessageBox(kSocketsFailedText);
        exitCode_ = 1;
        return false;
    }
    if (const std::string problem = platform_.PrepareRun(); !problem.empty()) {
        platform_.ShowMessageBox(ToWideText(problem));
        exitCode_ = 1;
        return false;
    }
    {
        RecognizerDialog dialog;
        platform_.RunMainDialog(dialog);
    }
    return false;
}
