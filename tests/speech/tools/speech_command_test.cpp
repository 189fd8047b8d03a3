// The `speech` command that runs any entry point from a shell.

#include <sys/wait.h>

#include "speech/support/speech_test_support.h"

using namespace speech_test;

namespace {

int Speech(const std::string& arguments) {
    const char* bin = std::getenv("PARROT_BIN_DIR");
    const std::string command = std::string(bin != nullptr ? bin : ".") + "/speech " + arguments + " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(SpeechCommand, RunsToolsByNameAndRefusesUnknownOnes) {
    ScratchFolder folder;
    EXPECT_EQ(Speech("grammar_compiler -input '" + WorkedExample("loop_grammar.txt") + "' -output '" +
                     folder / "g.lat" + "'"),
              0);
    EXPECT_TRUE(Exists(folder / "g.lat"));
    EXPECT_EQ(Speech("grammar_compiler -input '" + folder / "none.txt" + "' -output x"), 1);
    EXPECT_EQ(Speech("no_such_tool"), 2);
    EXPECT_EQ(Speech(""), 2);
}
