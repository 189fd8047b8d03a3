#include "ui/headless/cli_arguments.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "audio/capture_selection.h"

const char* const kCliUsage =
    "usage: parrot-cli [OPTION]... ACTION... [-- ACTION...]\n"
    "       parrot-cli --version | --help\n"
    "Runs the actions in order, as button presses in one run of Parrot:\n"
    "  words              print the word list, one word per line\n"
    "  counter            print the number of the next recording\n"
    "  save               save the vocabulary and the counter (\"Save \")\n"
    "  train WORD AUDIO   record AUDIO, then train WORD with it (\"Add/Train word\")\n"
    "  recognize AUDIO    record AUDIO, then print the result lines (\"Recognize word\");\n"
    "                     none when no word was recognised, which is said on stderr\n"
    "  forget WORD        take WORD out of the word list and train the models again\n"
    "                     without it; its recordings stay (\"Forget word\")\n"
    "AUDIO is a WAV, FLAC or Ogg file, or a .raw file of 11025 Hz 16-bit mono samples.\n"
    "Options, anywhere before \"--\" (after it every argument is an action or its operand):\n"
    "  --workdir=DIR      the folder of the vocabulary, recordings and models\n"
    "                     (default ${XDG_DATA_HOME:-$HOME/.local/share}/parrot)\n"
    "  --capture=SPEC     portaudio, portaudio:NAME, file:PATH or none\n"
    "                     (default $PARROT_CAPTURE, else portaudio)\n"
    "  --timings          print \"ACTION SECONDS\" on stderr after each action\n"
    "  -h, --help         print this help\n"
    "  --version          print the version\n"
    "Nothing is saved unless \"save\" is given. Exit status: 0 when every action\n"
    "succeeded, 1 when one failed, 2 for a usage error (then nothing is done).\n";

const char* const kCliTryHelp = "Try 'parrot-cli --help'.";

namespace {

// An action's name and its operands, in order: each is "WORD" or "AUDIO".
struct ActionSyntax {
    const char* name;
    CliActionKind kind;
    std::vector<std::string_view> operands;
};

const std::vector<ActionSyntax>& Actions() {
    static const std::vector<ActionSyntax> actions = {
        {"words", CliActionKind::Words, {}},
        {"counter", CliActionKind::Counter, {}},
        {"save", CliActionKind::Save, {}},
        {"train", CliActionKind::Train, {"WORD", "AUDIO"}},
        {"recognize", CliActionKind::Recognize, {"AUDIO"}},
        {"forget", CliActionKind::Forget, {"WORD"}},
    };
    return actions;
}

const std::vector<std::string> kOptions = {"--workdir", "--capture", "--timings", "--help", "--version"};

ParsedCommandLine UsageError(std::string error) {
    ParsedCommandLine parsed;
    parsed.outcome = ParsedCommandLine::Outcome::UsageError;
    parsed.error = std::move(error);
    return parsed;
}

ParsedCommandLine Finished(ParsedCommandLine::Outcome outcome) {
    ParsedCommandLine parsed;
    parsed.outcome = outcome;
    return parsed;
}

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

std::size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// "; did you mean 'NAME'?" for the one of `names` at most two edits from
// `typed`, the nearest first; empty when none is that near.
std::string Suggestion(std::string_view typed, const std::vector<std::string>& names) {
    const std::string* nearest = nullptr;
    std::size_t best = 3;
    for (const std::string& name : names) {
        if (const std::size_t distance = EditDistance(typed, name); distance < best) {
            best = distance;
            nearest = &name;
        }
    }
    return nearest != nullptr ? "; did you mean '" + *nearest + "'?" : "";
}

std::vector<std::string> ActionNames() {
    std::vector<std::string> names;
    for (const ActionSyntax& action : Actions()) names.emplace_back(action.name);
    return names;
}

// Checks one operand and stores it in `action`; the problem, or empty.
std::string TakeOperand(std::string_view operand, const std::string& value, CliAction& action) {
    if (operand == "WORD") {
        // The dialog drops the blanks around a word, so blanks alone are empty.
        if (value.find_first_not_of(" \t\n\r\v\f") == std::string::npos) {
            return "WORD is empty";
        }
        action.word = value;
        return {};
    }
    if (const std::string problem = CheckCaptureFile(value); !problem.empty()) {
        return problem;
    }
    action.audioPath = AbsolutePath(value);
    action.audioName = value;
    return {};
}

}  // namespace

const char* ActionName(CliActionKind kind) {
    for (const ActionSyntax& action : Actions()) {
        if (action.kind == kind) return action.name;
    }
    return "";
}

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    ParsedCommandLine parsed;
    CliOptions& options = parsed.options;

    // Options first, wherever they stand before "--"; the rest are actions.
    std::vector<std::string> words;
    bool optionsEnded = false;
    for (std::size_t next = 1; next < arguments.size(); ++next) {
        const std::string& argument = arguments[next];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            words.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "-h" || argument == "--help") {
            return Finished(ParsedCommandLine::Outcome::Help);
        }
        if (argument == "--version") {
            return Finished(ParsedCommandLine::Outcome::Version);
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        if (name == "--timings" && equals == std::string::npos) {
            options.timings = true;
        } else if (name == "--workdir" || name == "--capture") {
            if (equals == std::string::npos && next + 1 >= arguments.size()) {
                return UsageError(name + " needs a value");
            }
            const std::string value = equals != std::string::npos ? argument.substr(equals + 1) : arguments[++next];
            if (value.empty()) {
                return UsageError(name + " needs a value");
            }
            if (name == "--capture") {
                if (const std::string problem = CheckCaptureSpec(value); !problem.empty()) {
                    return UsageError("--capture: " + problem);
                }
            }
            (name == "--workdir" ? options.workFolder : options.captureSpec) = value;
        } else if (name == "--timings") {
            return UsageError("--timings takes no value");
        } else {
            return UsageError("unknown option '" + name + "'" + Suggestion(name, kOptions));
        }
    }
    if (words.empty()) {
        return UsageError("no action given");
    }

    for (std::size_t next = 0; next < words.size();) {
        const std::string& name = words[next++];
        const auto syntax = std::find_if(Actions().begin(), Actions().end(),
                                         [&](const ActionSyntax& action) { return name == action.name; });
        if (syntax == Actions().end()) {
            return UsageError("unknown action '" + name + "'" + Suggestion(name, ActionNames()));
        }
        if (words.size() - next < syntax->operands.size()) {
            std::string needed;
            for (const std::string_view operand : syntax->operands) {
                needed += (needed.empty() ? "" : " and ") + std::string(operand);
            }
            return UsageError(name + " needs " + needed);
        }
        CliAction action;
        action.kind = syntax->kind;
        for (const std::string_view operand : syntax->operands) {
            if (const std::string problem = TakeOperand(operand, words[next++], action); !problem.empty()) {
                return UsageError(name + ": " + problem);
            }
        }
        options.actions.push_back(std::move(action));
    }
    parsed.outcome = ParsedCommandLine::Outcome::Run;
    return parsed;
}
