#pragma once
// Performs parrot-cli's actions in order on the main dialog, as presses of
// its buttons. Each action that fails says so in one line on stderr, and the
// actions after it still run.

#include <string>

#include "ui/headless/cli_arguments.h"

class RecognizerDialog;
class HeadlessWindow;

// Returns 0 when every action succeeded, 1 otherwise. `captureSpec` is the
// capture device of the run, selected again after each recorded AUDIO file.
int RunActions(RecognizerDialog& dialog, HeadlessWindow& window, const CliOptions& options,
               const std::string& captureSpec);
