// parrot: the speech recogniser's window program.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "app/recognizer_app.h"
#include "app/version.h"
#include "text/program_name.h"
#include "ui/qt/display_check.h"
#include "ui/qt/program_options.h"
#include "ui/qt/qt_platform.h"
#include "ui/qt/qt_startup_guard.h"

int main(int argc, char** argv) {
    SetProgramName("parrot");
    const ProgramOptions options = ParseProgramOptions(argc, argv);
    switch (options.action) {
        case ProgramOptions::Action::PrintVersion:
            std::printf("%s\n", kParrotVersion);
            return 0;
        case ProgramOptions::Action::PrintHelp:
            std::fputs(kProgramUsage, stdout);
            return 0;
        case ProgramOptions::Action::Fail:
            PrintMessage(options.error);
            std::fputs(kProgramUsage, stderr);
            return 2;
        case ProgramOptions::Action::Run:
            break;
    }

    if (!DisplayLooksAvailable([](const char* name) { return std::getenv(name); })) {
        PrintMessage(kNoDisplayMessage);
        return 1;
    }

    // Qt reads only the program name: the command line is the program's own.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    std::optional<QApplication> application;
    {
        const QtStartupGuard guard;
        application.emplace(qtArgc, qtArgv);
    }
    // The program ends when the main window's modal run ends, not when the
    // splash box, the first window, closes.
    QApplication::setQuitOnLastWindowClosed(false);

    QtPlatform platform(options.workFolder, options.captureSpec);
    RecognizerApp recognizerApp(platform);
    recognizerApp.InitInstance();
    return recognizerApp.ExitCode();
}
