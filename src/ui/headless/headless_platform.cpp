#include "ui/headless/headless_platform.h"

#include <cstdio>

#include "app/recognizer_dialog.h"
#include "text/program_name.h"
#include "text/text.h"
#include "ui/headless/cli_actions.h"
#include "ui/headless/headless_window.h"

void HeadlessPlatform::ShowMessageBox(const std::wstring& text) {
    PrintMessage(EscapeControlCharacters(ToNarrowText(text)));
}

std::string HeadlessPlatform::PrepareRun() {
    // Resolved before the work folder is entered, so relative paths mean
    // what they meant where the program was started.
    settings_ = ResolveRunSettings(options_.workFolder, options_.captureSpec);
    return PrepareWorkFolder(settings_);
}

int HeadlessPlatform::RunMainDialog(RecognizerDialog& dialog) {
    HeadlessWindow window;
    dialog.AttachWindow(window);
    dialog.OnInitDialog();
    actionStatus_ = RunActions(dialog, window, options_, settings_.captureSpec);
    dialog.OnCommand(IdOk);
    return window.Result().value_or(IdOk);
}
