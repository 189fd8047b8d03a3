#include "ui/qt/program_options.h"

#include <string_view>
#include <utility>

ProgramOptions ParseProgramOptions(int argc, const char* const* argv) {
    ProgramOptions options;
    const auto fail = [&options](std::string error) {
        options.action = ProgramOptions::Action::Fail;
        options.error = std::move(error);
        return options;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--version") {
            options.action = ProgramOptions::Action::PrintVersion;
            return options;
        }
        if (argument == "--help") {
            options.action = ProgramOptions::Action::PrintHelp;
            return options;
        }
        std::optional<std::string>* value = nullptr;
        if (argument == "--workdir") {
            value = &options.workFolder;
        } else if (argument == "--capture") {
            value = &options.captureSpec;
        } else {
            return fail("unknown argument '" + std::string(argument) + "'");
        }
        if (i + 1 >= argc) return fail(std::string(argument) + " needs a value");
        *value = argv[++i];
    }
    return options;
}
