#include "ui/headless/cli_actions.h"

#include <charconv>
#include <chrono>
#include <cstdio>

#include "app/recognizer_dialog.h"
#include "audio/capture_selection.h"
#include "text/program_name.h"
#include "text/text.h"
#include "ui/headless/headless_window.h"

namespace {

void PrintLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

void PrintFailure(const std::string& context, const std::string& problem) {
    PrintMessage(context + EscapeControlCharacters(problem));
}

void PrintTiming(const char* action, double seconds) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, seconds, std::chars_format::fixed, 6).ptr;
    std::fprintf(stderr, "%s %.*s\n", action, static_cast<int>(end - text), text);
}

// Reports what failed in the dialog's last command; false when it failed.
bool Reported(const RecognizerDialog& dialog, const std::string& context) {
    for (const std::string& failure : dialog.LastOutcome().failures) {
        PrintFailure(context, failure);
    }
    return !dialog.LastOutcome().Failed();
}

// Presses `button` and reports what failed in the press; false when it failed.
bool Press(RecognizerDialog& dialog, int button, const std::string& context) {
    dialog.OnCommand(button);
    return Reported(dialog, context);
}

// Records `audioPath` through one of the recording buttons: the first press,
// the whole file delivered as if spoken, `beforeStop`, the second press.
// False, with the reason on stderr, when the file device cannot be selected
// or a press failed.
template <typename BeforeStop>
bool RecordThrough(RecognizerDialog& dialog, int button, const std::string& audioPath, const std::string& context,
                   const std::string& captureSpec, BeforeStop beforeStop) {
    if (const std::string problem = SelectCaptureDevice("file:" + audioPath); !problem.empty()) {
        PrintFailure(context, problem);
        return false;
    }
    bool succeeded = Press(dialog, button, context);
    if (succeeded) {
        WaitForEndOfInput();
        beforeStop();
        succeeded = Press(dialog, button, context);
    }
    SelectCaptureDevice(captureSpec);
    return succeeded;
}

bool RunAction(RecognizerDialog& dialog, HeadlessWindow& window, const CliAction& action,
               const std::string& captureSpec) {
    const std::string context = std::string(ActionName(action.kind)) + ": ";
    switch (action.kind) {
        case CliActionKind::Words:
            for (const std::wstring& word : window.ListLines(IdWordList)) {
                PrintLine(ToNarrowText(word));
            }
            return true;
        case CliActionKind::Counter:
            PrintLine(IntToText(dialog.utteranceCounter));
            return true;
        case CliActionKind::Save:
            return Press(dialog, IdSaveButton, context);
        case CliActionKind::Train:
            return RecordThrough(dialog, IdTrainButton, action.audioPath, context, captureSpec,
                                 [&] { window.SetEditText(ToWideText(action.word)); });
        case CliActionKind::Recognize: {
            // The decoder would only fail without models; nothing is recorded.
            if (window.ListLines(IdWordList).empty()) {
                PrintFailure(context, "no words are trained yet; train one first");
                return false;
            }
            if (!RecordThrough(dialog, IdRecognizeButton, action.audioPath, context, captureSpec, [] {})) {
                return false;
            }
            const std::vector<std::wstring>& lines = window.ListLines(IdResultList);
            // Not a failure: the recording was decoded and held no word the
            // recogniser accepts.
            if (lines.empty()) {
                PrintFailure(context, "no word recognised in " + action.audioName);
            }
            for (const std::wstring& line : lines) {
                PrintLine(ToNarrowText(line));
            }
            return true;
        }
        case CliActionKind::Forget:
            dialog.OnForgetWord(ToWideText(action.word));
            return Reported(dialog, context);
    }
    return false;
}

}  // namespace

int RunActions(RecognizerDialog& dialog, HeadlessWindow& window, const CliOptions& options,
               const std::string& captureSpec) {
    int status = 0;
    for (const CliAction& action : options.actions) {
        const auto start = std::chrono::steady_clock::now();
        if (!RunAction(dialog, window, action, captureSpec)) {
            status = 1;
        }
        std::fflush(stdout);
        if (options.timings) {
            const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
            PrintTiming(ActionName(action.kind), elapsed.count());
        }
    }
    return status;
}
