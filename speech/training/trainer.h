#pragma once
// Embedded Baum-Welch training of the phone models on whole recordings, each
// with the composite HMM of its label line.

#include <string>
#include <vector>

#include "features/feature_file.h"
#include "models/hmm_chain.h"
#include "models/model_files.h"
#include "models/model_inventory.h"

namespace speech {

struct TrainingRecording {
    std::string featurePath;
    std::vector<std::string> labels;  // the label line's models, "sil y eh s sil"
    FeatureMatrix features;
    StateChain chain;
};

struct TrainerSettings {
    double beamWidth = 500.0;     // forward pruning, natural-log units below a frame's best
    double minOccupancy = 1e-10;  // states and transition rows with less keep their parameters
    long long minModelCount = 1;  // models in fewer recordings keep their parameters
    unsigned threads = 1;
};

struct TrainingReport {
    int iterations = 0;
    double logLikelihoodPerFrame = 0.0;
    std::vector<std::string> unaligned;  // feature files that no path of their labels fits
};

// Trains `states` and `transitions` in place from `recordings`, whose chains
// are built. Starts from a segmentation of each recording (silence outside
// its detected speech, the word's states evenly inside it), then runs
// Baum-Welch passes until the log-likelihood per frame gains less than a
// small threshold or a fixed number of passes is reached. Variances are
// floored by `varianceFloor`. Recordings that no path fits are left out and
// named in the report.
void TrainModels(const std::vector<TrainingRecording>& recordings, const ModelInventory& inventory,
                 const std::vector<float>& varianceFloor, const TrainerSettings& settings, StateSet& states,
                 TransitionSet& transitions, TrainingReport& report);

}  // namespace speech
