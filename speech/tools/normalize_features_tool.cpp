// NormalizeFeatures ("normalize_features -input LIST -output LIST [-mode
// binary|ascii]"): mean and variance normalisation of every feature file of
// the input list, each on its own, into the file on the same line of the
// output list.

#include <cstdio>

#include "common/tool_support.h"
#include "features/feature_file.h"
#include "features/feature_normalization.h"
#include "speech_api.h"

namespace speech {
namespace {

constexpr char kTool[] = "normalize_features";

int Run(int argc, char** argv) {
    ToolOptions options({}, {"-input", "-output", "-mode"});
    std::string error;
    if (!options.Parse(argc, argv, error)) {
        ReportError(kTool, error + " (usage: normalize_features -input LIST -output LIST [-mode binary|ascii])");
        return 1;
    }
    if (!options.Has("-input") || !options.Has("-output")) {
        ReportError(kTool, "both -input LIST and -output LIST are required");
        return 1;
    }
    bool binary = true;
    if (!ParseFileMode("-mode", options.Value("-mode").value_or("binary"), binary, error)) {
        ReportError(kTool, error);
        return 1;
    }
    std::vector<std::string> inputs, outputs;
    if (!ReadListFile(*options.Value("-input"), inputs, error) ||
        !ReadListFile(*options.Value("-output"), outputs, error)) {
        ReportError(kTool, error);
        return 1;
    }
    if (inputs.size() != outputs.size()) {
        ReportError(kTool, "the input list names " + std::to_string(inputs.size()) + " files, the output list " +
                               std::to_string(outputs.size()));
        return 1;
    }
    int status = 0;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        FeatureMatrix features;
        if (!ReadFeatureFile(inputs[i], binary, features, error)) {
            ReportError(kTool, error);
            if (outputs[i] != inputs[i]) std::remove(outputs[i].c_str());
            status = 1;
            continue;
        }
        NormalizeMeanAndVariance(features);
        if (!WriteFeatureFile(outputs[i], binary, features, error)) {
            ReportError(kTool, error);
            status = 1;
        }
    }
    return status;
}

}  // namespace
}  // namespace speech

SPEECH_EXPORT int NormalizeFeatures(int argc, char** argv) {
    return speech::GuardedRun(speech::kTool, speech::Run, argc, argv);
}
