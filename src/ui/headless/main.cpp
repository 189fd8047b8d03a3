// parrot-cli: Parrot without a window, for scripts, tests and machines
// without a display.

#include <cstdio>
#include <string>
#include <vector>

#include "app/recognizer_app.h"
#include "app/version.h"
#include "text/program_name.h"
#include "text/text.h"
#include "ui/headless/cli_arguments.h"
#include "ui/headless/headless_platform.h"

int main(int argc, char** argv) {
    SetProgramName("parrot-cli");
    const ParsedCommandLine parsed = ParseCommandLine(std::vector<std::string>(argv, argv + argc));
    switch (parsed.outcome) {
        case ParsedCommandLine::Outcome::Version:
            std::printf("%s %s\n", ProgramName(), kParrotVersion);
            return 0;
        case ParsedCommandLine::Outcome::Help:
            std::fputs(kCliUsage, stdout);
            return 0;
        case ParsedCommandLine::Outcome::UsageError:
            PrintMessage(EscapeControlCharacters(parsed.error));
            std::fprintf(stderr, "%s\n", kCliTryHelp);
            return 2;
        case ParsedCommandLine::Outcome::Run:
            break;
    }
    HeadlessPlatform platform(parsed.options);
    RecognizerApp app(platform);
    app.InitInstance();
    return app.ExitCode() != 0 ? 1 : platform.ActionStatus();
}
