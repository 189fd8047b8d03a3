#include "ui/qt/qt_platform.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <cstdio>
#include <utility>

#include "app/recognizer_dialog.h"
#include "app/run_setup.h"
#include "text/program_name.h"
#include "text/text.h"
#include "ui/qt/recognizer_window.h"

QtPlatform::QtPlatform(std::optional<std::string> workFolder, std::optional<std::string> captureSpec)
    : workFolder_(std::move(workFolder)), captureSpec_(std::move(captureSpec)) {}

bool QtPlatform::StartSocketLayer() { return true; }

void QtPlatform::ShowMessageBox(const std::wstring& text) {
    QMessageBox message(QMessageBox::NoIcon, QCoreApplication::applicationName(), QString::fromStdWString(text),
                        QMessageBox::Ok);
    message.exec();
}

std::string QtPlatform::PrepareRun() {
    std::string problem = PrepareWorkFolder(ResolveRunSettings(workFolder_, captureSpec_));
    if (!problem.empty()) {
        PrintMessage(EscapeControlCharacters(problem));
    }
    return problem;
}

int QtPlatform::RunMainDialog(RecognizerDialog& dialog) {
    RecognizerWindow window({[&dialog, &window](int commandId) {
                                 dialog.OnCommand(commandId);
                                 window.ShowOutcome(dialog.LastOutcome());
                             },
                             [&dialog, &window] {
                                 dialog.OnClose();
                                 window.ShowOutcome(dialog.LastOutcome());
                             },
                             [&dialog, &window](const std::wstring& word) {
                                 dialog.OnForgetWord(word);
                                 window.ShowOutcome(dialog.LastOutcome());
                             },
                             [&dialog](const std::wstring& word) { return dialog.TakesOf(word); },
                             [&dialog, &window](std::int32_t take) {
                                 dialog.OnPlayTake(take);
                                 window.ShowOutcome(dialog.LastOutcome());
                             }});
    dialog.AttachWindow(window);
    dialog.OnInitDialog();
    return window.exec();
}
