#include "ui/headless/cli_arguments.h"

#include <filesystem>
#include <system_error>

#include "audio/capture_selection.h"

const char* const kCliUsage =
    "usage: parrot-cli [--workdir DIR] [--capture SPEC] [--timings] ACTION...\n"
    "       parrot-cli --version\n"
    "Runs the actions in order, as button presses in one run of Parrot:\n"
    "  words              print the word list, one word per line\n"
    "  counter            print the number of the next recording\n"
    "  save               save the vocabulary and the counter (\"Save \")\n"
    "  train WORD AUDIO   record AUDIO, then train WORD with it (\"Add/Train word\")\n"
    "  recognize AUDIO    record AUDIO, then print the result lines (\"Recognize word\")\n"
    "AUDIO is a WAV, FLAC or Ogg file, or a .raw file of 11025 Hz 16-bit mono samples.\n"
    "Options:\n"
    "  --workdir DIR      the folder of the vocabulary, recordings and models\n"
    "                     (default ${XDG_DATA_HOME:-$HOME/.local/share}/parrot)\n"
    "  --capture SPEC     portaudio, portaudio:NAME, file:PATH or none\n"
    "                     (default $PARROT_CAPTURE, else portaudio)\n"
    "  --timings          print \"ACTION SECONDS\" on stderr after each action\n"
    "Nothing is saved unless \"save\" is given. Exit status: 0 when every action\n"
    "succeeded, 1 when one failed, 2 for a usage error (then nothing is done).\n";

namespace {

ParsedCommandLine UsageError(std::string error) {
    ParsedCommandLine parsed;
    parsed.outcome = ParsedCommandLine::Outcome::UsageError;
    parsed.error = std::move(error);
    return parsed;
}

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

}  // namespace

const char* ActionName(CliActionKind kind) {
    switch (kind) {
        case CliActionKind::Words:
            return "words";
        case CliActionKind::Counter:
            return "counter";
        case CliActionKind::Save:
            return "save";
        case CliActionKind::Train:
            return "train";
        case CliActionKind::Recognize:
            return "recognize";
    }
    return "";
}

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    ParsedCommandLine parsed;
    CliOptions& options = parsed.options;
    std::size_t next = 1;

    if (arguments.size() == 2 && (arguments[1] == "--version" || arguments[1] == "--help")) {
        parsed.outcome =
            arguments[1] == "--version" ? ParsedCommandLine::Outcome::Version : ParsedCommandLine::Outcome::Help;
        return parsed;
    }
    while (next < arguments.size() && arguments[next].starts_with("--")) {
        const std::string& option = arguments[next++];
        if (option == "--timings") {
            options.timings = true;
        } else if (option == "--workdir" || option == "--capture") {
            if (next >= arguments.size()) {
                return UsageError(option + " needs a value");
            }
            (option == "--workdir" ? options.workFolder : options.captureSpec) = arguments[next++];
        } else {
            return UsageError("unknown option " + option);
        }
    }
    if (next >= arguments.size()) {
        return UsageError("no action given");
    }

    while (next < arguments.size()) {
        const std::string& name = arguments[next++];
        CliAction action;
        std::size_t operandCount = 0;
        if (name == "words") {
            action.kind = CliActionKind::Words;
        } else if (name == "counter") {
            action.kind = CliActionKind::Counter;
        } else if (name == "save") {
            action.kind = CliActionKind::Save;
        } else if (name == "train") {
            action.kind = CliActionKind::Train;
            operandCount = 2;
        } else if (name == "recognize") {
            action.kind = CliActionKind::Recognize;
            operandCount = 1;
        } else {
            return UsageError("unknown action \"" + name + "\"");
        }
        if (arguments.size() - next < operandCount) {
            return UsageError(name + (operandCount == 2 ? " needs WORD and AUDIO" : " needs AUDIO"));
        }
        if (action.kind == CliActionKind::Train) {
            action.word = arguments[next++];
        }
        if (operandCount > 0) {
            action.audioPath = AbsolutePath(arguments[next++]);
            if (const std::string problem = CheckCaptureFile(action.audioPath); !problem.empty()) {
                return UsageError(name + ": " + problem);
            }
        }
        options.actions.push_back(std::move(action));
    }
    parsed.outcome = ParsedCommandLine::Outcome::Run;
    return parsed;
}
