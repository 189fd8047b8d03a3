#pragma once
// The application object: starts the run, runs the main dialog as the
// program's only window and ends the program when that window closes.

#include "app/app_platform.h"

// String resource 103: shown when the socket layer cannot start.
inline constexpr const wchar_t* kSocketsFailedText = L"Windows CE sockets initialization failed.";

class RecognizerApp {
public:
    explicit RecognizerApp(AppPlatform& platform) : platform_(platform) {}

    // The start hook: starts the socket layer, prepares the run, then
    // constructs the main dialog, runs it modally and destroys it. Returns
    // false in every case: the program ends when it returns.
    bool InitInstance();

    // 0 when the main dialog ran; 1 when the socket layer or the preparation
    // of the run failed (its reason shown in a message box), so the program
    // can end with a failure status.
    int ExitCode() const { return exitCode_; }

private:
    AppPlatform& platform_;
    int exitCode_ = 0;
};
