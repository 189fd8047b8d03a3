#pragma once
// The command line of the window program:
//   parrot [--workdir DIR] [--capture SPEC]
//   parrot --version | --help

#include <optional>
#include <string>

struct ProgramOptions {
    enum class Action { Run, PrintVersion, PrintHelp, Fail };

    Action action = Action::Run;
    std::optional<std::string> workFolder;
    std::optional<std::string> captureSpec;
    std::string error;  // what was wrong with the command line, for Fail
};

ProgramOptions ParseProgramOptions(int argc, const char* const* argv);

inline constexpr const char* kProgramUsage =
    "usage: parrot [--workdir DIR] [--capture SPEC]\n"
    "       parrot --version\n"
    "Opens the speech recogniser's window; parrot-cli runs it without one.\n";
