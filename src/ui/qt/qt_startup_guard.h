#pragma once
// Guards the start of Qt's application object: when no window-system
// platform can start, Qt would abort with a long report; instead the
// program prints the one-line no-display message and ends with status 1.
// Qt's other start-up messages are held back and printed once Qt is up.

class QtStartupGuard {
public:
    QtStartupGuard();
    ~QtStartupGuard();

    QtStartupGuard(const QtStartupGuard&) = delete;
    QtStartupGuard& operator=(const QtStartupGuard&) = delete;
};
