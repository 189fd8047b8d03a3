// GrammarCompiller ("grammar_compiler"): grammar text to word network.

#include "common/tool_support.h"
#include "grammar/grammar_compiler.h"
#include "speech_api.h"

namespace speech {
namespace {

const char* const kTool = "grammar_compiler";

int Run(int argc, char** argv) {
    ToolOptions options({}, {"-input", "-output"});
    std::string error;
    if (!options.Parse(argc, argv, error)) {
        ReportError(kTool, error);
        return 1;
    }
    const auto input = options.Value("-input");
    const auto output = options.Value("-output");
    if (!input || !output) {
        ReportError(kTool, std::string("missing option ") + (input ? "-output" : "-input"));
        return 1;
    }
    std::string grammar;
    if (!ReadWholeFile(*input, grammar, error)) {
        ReportError(kTool, error);
        return 1;
    }
    WordNetwork network;
    if (!CompileGrammar(grammar, network, error)) {
        ReportError(kTool, *input + " " + error);
        return 1;
    }
    if (!WriteWordNetwork(*output, network, error)) {
        ReportError(kTool, error);
        return 1;
    }
    return 0;
}

}  // namespace
}  // namespace speech

SPEECH_EXPORT int GrammarCompiller(int argc, char** argv) {
    return speech::GuardedRun(speech::kTool, speech::Run, argc, argv);
}
