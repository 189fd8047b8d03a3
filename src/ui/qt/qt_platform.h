#pragma once
// The application object's platform on Qt: message boxes and the main
// window are Qt widgets; the run's folder and capture device come from the
// command line.

#include <optional>
#include <string>

#include "app/app_platform.h"

class QtPlatform final : public AppPlatform {
public:
    QtPlatform(std::optional<std::string> workFolder, std::optional<std::string> captureSpec);

    // Linux needs no socket layer start-up.
    bool StartSocketLayer() override;
    void ShowMessageBox(const std::wstring& text) override;
    std::string PrepareRun() override;
    int RunMainDialog(RecognizerDialog& dialog) override;

private:
    std::optional<std::string> workFolder_;
    std::optional<std::string> captureSpec_;
};
