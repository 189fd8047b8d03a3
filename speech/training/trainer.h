#pragma once
// Embedded Baum-Welch training of the phone models on whole recordings, each
// with the composite HMM of its label line.

#include <string>
#include <vector>

#include "features/feature_file.h"
#include "features/speech_span.h"
#include "models/hmm_chain.h"
#include "models/model_files.h"
#include "models/model_inventory.h"

namespace speech {

struct TrainingRecording {
    std::string featurePath;
    std::vector<std::string> labels;  // the label line's models, "sil y eh s sil"
    FeatureMatrix features;           // prepared by PrepareRecordingFeatures
    FrameSpan speech;                 // where PrepareRecordingFeatures found the speech
    StateChain chain;
};

struct TrainerSettings {
    double beamWidth = 0.0;       // forward pruning, natural-log units below a frame's best
    double minOccupancy = 0.0;    // states and transition rows with no more keep their parameters
    long long minModelCount = 0;  // models in fewer recordings keep their parameters
    unsigned threads = 1;
};

struct TrainingReport {
    std::vector<double> logLikelihoodPerFrame;  // after each Baum-Welch pass
    std::vector<std::string> unaligned;         // feature files that no path of their labels fits
};

// Trains `states` and `transitions` in place from `recordings`, whose chains
// are built. Starts from a segmentation of each recording (silence outside
// its speech, the word's states evenly inside it), then runs two Baum-Welch
// passes, splits the heaviest Gaussian of every speech state seen on enough
// frames in two, and runs two more. Variances are floored by
// `varianceFloor`. Recordings that no path fits are left out and named in
// the report.
void TrainModels(const std::vector<TrainingRecording>& recordings, const ModelInventory& inventory,
                 const std::vector<float>& varianceFloor, const TrainerSettings& settings, StateSet& states,
                 TransitionSet& transitions, TrainingReport& report);

}  // namespace speech
