// The parrot program's command line and its start without a display.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "ui/qt/display_check.h"

namespace {

struct ProgramRun {
    int status = -1;
    std::string output;  // stdout and stderr together
};

// Runs parrot with `arguments` under `environment` (a prefix for env(1)).
ProgramRun RunParrot(const std::string& environment, const std::string& arguments) {
    const char* binDir = std::getenv("PARROT_BIN_DIR");
    const std::string command =
        "env " + environment + " '" + std::string(binDir ? binDir : ".") + "/parrot' " + arguments + " 2>&1";
    ProgramRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) run.output += buffer;
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

const std::string kNoDisplay = "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM";

TEST(ParrotProgramTest, VersionNeedsNoDisplay) {
    const ProgramRun run = RunParrot(kNoDisplay, "--version");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "1.0.0.1\n");
}

TEST(ParrotProgramTest, WithoutDisplaySaysSoInOneLine) {
    const std::string expected = std::string("parrot: ") + kNoDisplayMessage + "\n";

    const ProgramRun unset = RunParrot(kNoDisplay, "");
    EXPECT_EQ(unset.status, 1);
    EXPECT_EQ(unset.output, expected);

    // A display that cannot be reached: Qt itself fails to start.
    const ProgramRun unreachable = RunParrot("-u WAYLAND_DISPLAY DISPLAY=:97 QT_QPA_PLATFORM=xcb", "");
    EXPECT_EQ(unreachable.status, 1);
    EXPECT_EQ(unreachable.output, expected);
}

TEST(ParrotProgramTest, BadCommandLineIsAUsageError) {
    for (const char* arguments : {"--bogus", "--workdir", "extra"}) {
        const ProgramRun run = RunParrot(kNoDisplay, arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_NE(run.output.find("usage: parrot"), std::string::npos) << arguments;
    }
}

TEST(DisplayCheckTest, NeedsTheDisplayThatThePlatformUses) {
    struct Case {
        std::map<std::string, std::string> variables;
        bool available;
    };
    const Case cases[] = {
        {{}, false},
        {{{"DISPLAY", ""}}, false},
        {{{"DISPLAY", ":0"}}, true},
        {{{"WAYLAND_DISPLAY", "wayland-0"}}, true},
        {{{"QT_QPA_PLATFORM", "offscreen"}}, true},
        {{{"QT_QPA_PLATFORM", "xcb"}}, false},
        {{{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", ":1"}}, true},
        {{{"QT_QPA_PLATFORM", "wayland"}, {"DISPLAY", ":1"}}, false},
        {{{"QT_QPA_PLATFORM", "wayland;xcb"}, {"DISPLAY", ":1"}}, true},
        {{{"QT_QPA_PLATFORM", "vnc:size=800x600"}}, true},
    };
    for (const Case& c : cases) {
        const bool available = DisplayLooksAvailable([&c](const char* name) -> const char* {
            const auto found = c.variables.find(name);
            return found == c.variables.end() ? nullptr : found->second.c_str();
        });
        EXPECT_EQ(available, c.available) << ::testing::PrintToString(c.variables);
    }
}

}  // namespace
