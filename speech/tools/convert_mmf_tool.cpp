// ConvertMmf ("convert_mmf"): states between text and binary, losslessly.

#include "common/tool_support.h"
#include "models/model_files.h"
#include "speech_api.h"

namespace speech {
namespace {

const char* const kTool = "convert_mmf";

bool ParseMode(const ToolOptions& options, const std::string& name, bool& binary, std::string& error) {
    const auto mode = options.Value(name);
    if (!mode) {
        error = "missing option " + name;
        return false;
    }
    return ParseFileMode(name, *mode, binary, error);
}

int Run(int argc, char** argv) {
    ToolOptions options({}, {"-input_mode", "-output_mode"}, true);
    std::string error;
    bool binaryInput = false;
    bool binaryOutput = true;
    if (!options.Parse(argc, argv, error) || !ParseMode(options, "-input_mode", binaryInput, error) ||
        !ParseMode(options, "-output_mode", binaryOutput, error)) {
        ReportError(kTool, error);
        return 1;
    }
    if (options.Positional().size() != 2) {
        ReportError(kTool, "expected an input and an output file, got " + std::to_string(options.Positional().size()) +
                               " file names");
        return 1;
    }
    StateSet states;
    if (!ReadStates(options.Positional()[0], binaryInput, states, error) ||
        !WriteStates(options.Positional()[1], binaryOutput, states, error)) {
        ReportError(kTool, error);
        return 1;
    }
    return 0;
}

}  // namespace
}  // namespace speech

SPEECH_EXPORT int ConvertMmf(int argc, char** argv) {
    return speech::GuardedRun(speech::kTool, speech::Run, argc, argv);
}
