#pragma once
// The command line of parrot-cli:
//   parrot-cli [OPTION]... ACTION... [-- ACTION...]
//   parrot-cli --version | --help
// Options may stand anywhere before "--", as "--workdir DIR" or
// "--workdir=DIR". Everything is checked before anything runs, so a mistake
// touches nothing.

#include <optional>
#include <string>
#include <vector>

enum class CliActionKind { Words, Counter, Save, Train, Recognize, Forget };

struct CliAction {
    CliActionKind kind = CliActionKind::Words;
    std::string word;       // train, forget
    std::string audioPath;  // train, recognize: absolute
    std::string audioName;  // train, recognize: as given, for messages
};

struct CliOptions {
    std::optional<std::string> workFolder;
    std::optional<std::string> captureSpec;
    bool timings = false;
    std::vector<CliAction> actions;
};

struct ParsedCommandLine {
    enum class Outcome { Run, Version, Help, UsageError };
    Outcome outcome = Outcome::UsageError;
    CliOptions options;
    std::string error;  // for UsageError: what is wrong, in one line
};

// Parses argv (argv[0] is the program), checks that every WORD is non-empty,
// that every AUDIO file and the --capture device can be delivered. Relative
// AUDIO paths are made absolute against the current folder.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

extern const char* const kCliUsage;
// The line after a usage error.
extern const char* const kCliTryHelp;

// The name an action is reported under ("train", "recognize", ...).
const char* ActionName(CliActionKind kind);
