// InitHMM ("init_hmm"): flat-start models from the frames of a feature list.

#include <algorithm>

#include "common/parallel_for.h"
#include "common/tool_support.h"
#include "features/feature_statistics.h"
#include "speech_api.h"
#include "training/flat_start.h"

namespace speech {
namespace {

const char* const kTool = "init_hmm";

struct Settings {
    std::string featureList;
    std::string modelLengths;
    std::string transitions;
    std::string states;
    std::string varianceFloor;
    bool binaryFeatures = true;
    double floorScale = 0.0;
};

bool ReadSettings(int argc, char** argv, Settings& settings, std::string& error) {
    ToolOptions options({}, {"-input", "-models", "-trans", "-mode", "-state", "-vfloor_file", "-var_floor"});
    if (!options.Parse(argc, argv, error)) return false;
    for (const char* name : {"-input", "-models", "-trans", "-mode", "-state", "-vfloor_file", "-var_floor"}) {
        if (!options.Has(name)) {
            error = std::string("missing option ") + name;
            return false;
        }
    }
    settings.featureList = *options.Value("-input");
    settings.modelLengths = *options.Value("-models");
    settings.transitions = *options.Value("-trans");
    settings.states = *options.Value("-state");
    settings.varianceFloor = *options.Value("-vfloor_file");
    if (!ParseFileMode("-mode", *options.Value("-mode"), settings.binaryFeatures, error)) return false;
    const std::string scale = *options.Value("-var_floor");
    if (!ParseDouble(scale, settings.floorScale) || settings.floorScale < 0.0) {
        error = "-var_floor needs a number from 0 up, not \"" + scale + "\"";
        return false;
    }
    return true;
}

// Adds every readable feature file of the list; reports the others. The
// files are read on every core, kFilesPerBlock at a time, and added in the
// order of the list, so the sums do not depend on the number of cores.
bool Accumulate(const Settings& settings, const std::vector<std::string>& files, FeatureStatistics& statistics) {
    constexpr std::size_t kFilesPerBlock = 64;
    std::vector<FeatureMatrix> features(std::min(files.size(), kFilesPerBlock));
    std::vector<std::string> errors(features.size());
    std::vector<char> read(features.size());
    bool allRead = true;
    for (std::size_t first = 0; first < files.size(); first += kFilesPerBlock) {
        const std::size_t count = std::min(kFilesPerBlock, files.size() - first);
        ParallelFor(count, WorkerThreads(), [&](std::size_t i, unsigned) {
            read[i] = ReadFeatureFile(files[first + i], settings.binaryFeatures, features[i], errors[i]);
        });
        for (std::size_t i = 0; i < count; ++i) {
            if (!read[i]) {
                ReportError(kTool, errors[i] + " (skipped)");
                allRead = false;
            } else if (!statistics.Add(features[i])) {
                ReportError(kTool, files[first + i] + ": " + std::to_string(features[i].dimension) +
                                       " values per frame, not " + std::to_string(statistics.Dimension()) +
                                       " like the files before it (skipped)");
                allRead = false;
            }
        }
    }
    return allRead;
}

int Run(int argc, char** argv) {
    Settings settings;
    std::string error;
    std::vector<ModelLength> models;
    std::vector<std::string> files;
    if (!ReadSettings(argc, argv, settings, error) || !ReadModelLengths(settings.modelLengths, models, error) ||
        !ReadListFile(settings.featureList, files, error)) {
        ReportError(kTool, error);
        return 1;
    }
    FeatureStatistics statistics;
    const bool allRead = Accumulate(settings, files, statistics);
    if (statistics.FrameCount() == 0) {
        ReportError(kTool, "no frames in the feature files of " + settings.featureList + ", nothing written");
        return 1;
    }
    const std::vector<double> mean = statistics.Mean();
    const std::vector<double> variance = statistics.Variance();
    std::vector<float> stateMean(mean.begin(), mean.end());
    std::vector<float> stateVariance(variance.size());
    std::vector<float> floor(variance.size());
    for (std::size_t d = 0; d < variance.size(); ++d) {
        stateVariance[d] = static_cast<float>(variance[d]);
        if (!(variance[d] > kConstantVariance)) {
            ReportError(kTool, "value " + std::to_string(d + 1) + " of the frames in " + settings.featureList +
                                   " never varies, so no model can be initialised; nothing written");
            return 1;
        }
        floor[d] = static_cast<float>(settings.floorScale * variance[d]);
    }
    StateSet states;
    TransitionSet transitions;
    BuildFlatStart(models, stateMean, stateVariance, states, transitions);
    if (!WriteStates(settings.states, false, states, error) ||
        !WriteTransitions(settings.transitions, transitions, error) ||
        !WriteVarianceFloor(settings.varianceFloor, floor, error)) {
        ReportError(kTool, error);
        return 1;
    }
    return allRead ? 0 : 1;
}

}  // namespace
}  // namespace speech

SPEECH_EXPORT int InitHMM(int argc, char** argv) { return speech::GuardedRun(speech::kTool, speech::Run, argc, argv); }
