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

// --version and usage errors need no display; without one (none set, or
// one Qt cannot reach) the program says so in one line.
TEST(ParrotProgramTest, AnswersWithoutADisplay) {
    struct Case {
        std::string environment;
        const char* arguments;
        int status;
        std::string output;  // the whole output, or its start for a usage error
    };
    const std::string noDisplay = std::string("parrot: ") + kNoDisplayMessage + "\n";
    const Case cases[] = {
        {kNoDisplay, "--version", 0, "1.0.0.1\n"},
        {kNoDisplay, "", 1, noDisplay},
        {"-u WAYLAND_DISPLAY DISPLAY=:97 QT_QPA_PLATFORM=xcb", "", 1, noDisplay},
        {kNoDisplay, "--bogus", 2, "usage: parrot"},
        {kNoDisplay, "--workdir", 2, "usage: parrot"},
        {kNoDisplay, "extra", 2, "usage: parrot"},
    };
    for (const Case& c : cases) {
        const ProgramRun run = RunParrot(c.environment, c.arguments);
        EXPECT_EQ(run.status, c.status) << c.environment << " " << c.arguments;
        if (c.status == 2) {
            EXPECT_NE(run.output.find(c.output), std::string::npos) << run.output;
        } else {
            EXPECT_EQ(run.output, c.output) << c.environment << " " << c.arguments;
        }
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
