#pragma once
// The platform of parrot-cli: no socket layer to start, messages on stderr,
// and a "modal run" of the main dialog that performs the command line's
// actions as button presses on a headless window.

#include "app/app_platform.h"
#include "app/run_setup.h"
#include "ui/headless/cli_arguments.h"

class HeadlessPlatform : public AppPlatform {
public:
    explicit HeadlessPlatform(CliOptions options) : options_(std::move(options)) {}

    bool StartSocketLayer() override { return true; }
    void ShowMessageBox(const std::wstring& text) override;
    std::string PrepareRun() override;
    int RunMainDialog(RecognizerDialog& dialog) override;

    // 0 when every action succeeded, 1 when one failed.
    int ActionStatus() const { return actionStatus_; }

private:
    CliOptions options_;
    RunSettings settings_;
    int actionStatus_ = 0;
};
