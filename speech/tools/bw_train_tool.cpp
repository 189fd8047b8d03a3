// BWTrain ("bw_train -p FILE"): embedded Baum-Welch training of the phone
// models on every recording of the feature list, each with its line of the
// label list.

#include <algorithm>
#include <map>
#include <optional>
#include <span>

#include "common/file_stamp.h"
#include "common/format_io.h"
#include "common/parallel_for.h"
#include "common/parameter_keys.h"
#include "common/tool_support.h"
#include "decoding/word_templates.h"
#include "features/feature_normalization.h"
#include "features/feature_statistics.h"
#include "features/louder_noise.h"
#include "features/speed_perturbation.h"
#include "models/model_inventory.h"
#include "speech_api.h"
#include "training/kept_takes.h"
#include "training/trainer.h"

namespace speech {
namespace {

constexpr char kTool[] = "bw_train";

// A recording of a word with few takes is trained on, and kept as a
// template, also as if spoken at these speeds (features/speed_perturbation.h):
// one take then covers the spread of tempo and formants between a user's
// takes of a word. Made only of features laid out as the application
// extracts them (the extractor's default settings, with energy, deltas and
// accelerations). The same takes are trained on and kept with louder
// background noise too, from the copy the extractor wrote beside their
// features (features/louder_noise.h).
constexpr double kSpeedFactors[] = {0.8, 1.2};
// Only the first takes of a word (by their labels) get copies: a word
// with more takes has that spread in its own takes, and each further take
// adds one recording to train on and to warp against, not three.
constexpr std::size_t kTakesWithCopies = 3;

const ParameterKeys kKeys{
    {"mfcclist_file", "lablist_file", "monophones_file", "models_file", "phones_file", "lexicon_file", "states_file",
     "transitions_file", "updated_states_file", "updated_trans_file", "input_mode", "output_mode",
     "variance_floor_file", "beam_width", "min_occupancy", "min_model_count"},
    {"train_mode", "acc_file", "acclist_file", "context_mode", "min_mpd", "state_occupancy_file", "state_occupancy"}};

bool ReadSettings(const std::map<std::string, std::string>& parameters, TrainerSettings& settings, std::string& error) {
    if (!ParseDouble(parameters.at("beam_width"), settings.beamWidth) || settings.beamWidth <= 0.0) {
        error = "beam_width must be a positive number";
        return false;
    }
    if (!ParseDouble(parameters.at("min_occupancy"), settings.minOccupancy) || settings.minOccupancy < 0.0) {
        error = "min_occupancy must be a number from 0 up";
        return false;
    }
    if (!ParseInt(parameters.at("min_model_count"), settings.minModelCount) || settings.minModelCount < 0) {
        error = "min_model_count must be a whole number from 0 up";
        return false;
    }
    if (parameters.count("min_mpd") != 0) {
        double minMpd = 0.0;
        if (!ParseDouble(parameters.at("min_mpd"), minMpd)) {
            error = "min_mpd must be a number";
            return false;
        }
    }
    settings.threads = WorkerThreads();
    return CheckFixedValue(parameters, "train_mode", "normal", error) &&
           CheckFixedValue(parameters, "context_mode", "monophone", error) &&
           CheckFixedValue(parameters, "state_occupancy", "off", error);
}

// Every state that a model names must be in the state set, and every
// model's transition matrix must exist.
bool CheckModelsAgainstStates(const ModelInventory& inventory, const StateSet& states, const TransitionSet& transitions,
                              std::string& error) {
    for (const auto& model : inventory.models) {
        for (const auto state : model.states) {
            if (state >= states.states.size()) {
                error =
                    "model " + model.phone + " uses state " + std::to_string(state) + ", missing from the states file";
                return false;
            }
        }
        if (model.transitions >= transitions.matrices.size() ||
            transitions.matrices[model.transitions].size != model.states.size() + 2) {
            error = "model " + model.phone + " has no transition matrix of its size";
            return false;
        }
    }
    return true;
}

// Why `take`, its features prepared, cannot be trained on with its labels,
// for stderr; empty when it can.
std::string CheckTake(const TrainingRecording& take, const ModelInventory& inventory, std::uint32_t dimension) {
    if (take.features.dimension != dimension)
        return take.featurePath + ": features have " + std::to_string(take.features.dimension) +
               " values per frame, the models " + std::to_string(dimension) + "; recording skipped";
    std::size_t modelsWithStates = 0;
    for (const auto& label : take.labels) modelsWithStates += inventory.Find(label)->states.empty() ? 0 : 1;
    if (take.features.frameCount < modelsWithStates || take.features.frameCount == 0) {
        std::string labels;
        for (const auto& label : take.labels) labels += (labels.empty() ? "" : " ") + label;
        return take.featurePath + ": " + std::to_string(take.features.frameCount) +
               " frames are too few for its labels \"" + labels + "\"; recording skipped";
    }
    return {};
}

// Prepares the features of a recording and of its copies for training: the
// recording first; its noisier copy, the last when there is one, cut as the
// recording was and given its speech span, which the added noise could hide;
// its speed-perturbed copies each on their own. Per take, the reason (for
// stderr) when it cannot be trained on, else empty.
std::vector<std::string> PrepareTakes(std::vector<TrainingRecording>& takes, bool withNoisierCopy,
                                      const ModelInventory& inventory, std::uint32_t dimension) {
    std::vector<std::string> problems(takes.size());
    const std::size_t noisierCopy = withNoisierCopy ? takes.size() - 1 : takes.size();
    const std::uint32_t recordingFrames = takes[0].features.frameCount;
    FrameSpan recordingKept;
    for (std::size_t k = 0; k < takes.size(); ++k) {
        TrainingRecording& take = takes[k];
        if (k == noisierCopy) {
            if (!problems[0].empty()) {
                problems[k] = take.featurePath + ": its recording was skipped; copy skipped";
                continue;
            }
            if (!PrepareCopyFeatures(take.features, recordingKept, recordingFrames)) {
                problems[k] = take.featurePath + ": " + std::to_string(take.features.frameCount) +
                              " frames where its recording has " + std::to_string(recordingFrames) + "; copy skipped";
                continue;
            }
            take.speech = takes[0].speech;
        } else {
            FrameSpan kept;
            std::string problem;
            if (!PrepareRecordingFeatures(take.features, kept, take.speech, problem)) {
                problems[k] = take.featurePath + ": " + problem + "; recording skipped";
                continue;
            }
            if (k == 0) recordingKept = kept;
        }
        problems[k] = CheckTake(take, inventory, dimension);
    }
    return problems;
}

// Where the loaded recordings came from, so that their takes can be kept
// for the next run.
struct RecordingOrigins {
    std::vector<TakeSource> sources;  // per line of the lists
    std::vector<char> keepable;       // per line: read, copied and prepared without a problem
    std::vector<std::size_t> line;    // per recording, the line it came from
};

// Loads the recordings, each of the first kTakesWithCopies of its labels
// followed by its speed-perturbed copies and its noisier copy (where the
// extractor wrote one); those with missing or too short features are
// reported and left out. Reading, perturbing and preparing the
// recordings is a good part of a training press, so it runs on `threads`
// threads, and the takes of the last run are used where their files did
// not change (training/kept_takes.h); the messages and the recordings keep
// the order of the lists.
bool LoadRecordings(const std::map<std::string, std::string>& parameters, bool binaryFeatures,
                    const ModelInventory& inventory, const StateSet& states, const TransitionSet& transitions,
                    unsigned threads, std::vector<TrainingRecording>& recordings, RecordingOrigins& origins,
                    std::string& error) {
    std::vector<std::string> featureList, labelList;
    if (!ReadListFile(parameters.at("mfcclist_file"), featureList, error) ||
        !ReadListFile(parameters.at("lablist_file"), labelList, error))
        return false;
    if (featureList.size() != labelList.size()) {
        error = parameters.at("mfcclist_file") + " names " + std::to_string(featureList.size()) +
                " feature files but " + parameters.at("lablist_file") + " has " + std::to_string(labelList.size()) +
                " label lines";
        return false;
    }
    const std::size_t count = featureList.size();
    std::vector<TrainingRecording> originals(count);
    for (std::size_t i = 0; i < count; ++i) {
        originals[i].featurePath = featureList[i];
        originals[i].labels = SplitFields(labelList[i]);
        if (!BuildStateChain(originals[i].labels, inventory, transitions, originals[i].chain, error)) {
            error = parameters.at("lablist_file") + " line " + std::to_string(i + 1) + ": " + error;
            return false;
        }
    }
    origins.sources.assign(count, {});
    origins.keepable.assign(count, 0);
    std::vector<std::optional<KeptTakes>> kept(count);
    std::vector<std::string> readProblems(count);
    std::vector<char> read(count, 0);
    ParallelFor(count, threads, [&](std::size_t i, unsigned) {
        const std::string& path = originals[i].featurePath;
        const std::optional<FileStamp> stamp = StampOf(path);
        if (stamp) kept[i] = TakeKeptTakes(path, binaryFeatures, *stamp);
        read[i] = kept[i] || ReadFeatureFile(path, binaryFeatures, originals[i].features, readProblems[i]);
        origins.sources[i] = {path, binaryFeatures, stamp.value_or(FileStamp{}), false, std::nullopt};
        origins.keepable[i] = read[i] && stamp;
    });
    // Which takes get copies depends on the takes before them that could be read.
    std::vector<char> withCopies(count, 0);
    std::map<std::string, std::size_t> takesOf;
    for (std::size_t i = 0; i < count; ++i)
        if (read[i]) withCopies[i] = takesOf[TemplateKey(originals[i].labels)]++ < kTakesWithCopies;

    std::vector<std::vector<TrainingRecording>> takes(count);
    std::vector<std::vector<std::string>> takeProblems(count);
    std::vector<std::string> copyProblems(count);
    ParallelFor(count, threads, [&](std::size_t i, unsigned) {
        if (!read[i]) return;
        TrainingRecording& recording = originals[i];
        std::vector<TrainingRecording>& ofRecording = takes[i];
        TakeSource& source = origins.sources[i];
        source.withCopies = withCopies[i];
        if (withCopies[i]) source.noisierCopy = StampOf(NoisierCopyPath(recording.featurePath));
        if (kept[i] && kept[i]->source == source) {
            ofRecording = std::move(kept[i]->takes);
            for (auto& take : ofRecording) {
                take.labels = recording.labels;
                take.chain = recording.chain;
                takeProblems[i].push_back(CheckTake(take, inventory, states.dimension));
            }
            return;
        }
        // Takes kept with other copies: the recording is read again.
        if (kept[i] && !ReadFeatureFile(recording.featurePath, binaryFeatures, recording.features, readProblems[i])) {
            read[i] = 0;
            return;
        }
        for (const double factor : withCopies[i] ? std::span<const double>(kSpeedFactors) : std::span<const double>()) {
            TrainingRecording copy{
                recording.featurePath + " at speed " + FormatDouble(factor), recording.labels, {}, {}, recording.chain};
            if (SpeedPerturbedFeatures(recording.features, factor, FeatureOptions{}, copy.features))
                ofRecording.push_back(std::move(copy));
        }
        if (source.noisierCopy) {
            TrainingRecording copy{NoisierCopyPath(recording.featurePath), recording.labels, {}, {}, recording.chain};
            if (ReadFeatureFile(copy.featurePath, binaryFeatures, copy.features, copyProblems[i]))
                ofRecording.push_back(std::move(copy));
            else
                copyProblems[i] += "; copy skipped";
        }
        ofRecording.insert(ofRecording.begin(), std::move(recording));
        takeProblems[i] =
            PrepareTakes(ofRecording, source.noisierCopy && copyProblems[i].empty(), inventory, states.dimension);
    });
    for (std::size_t i = 0; i < count; ++i) {
        if (!read[i]) ReportError(kTool, readProblems[i] + "; recording skipped");
        if (!copyProblems[i].empty()) ReportError(kTool, copyProblems[i]);
        origins.keepable[i] = origins.keepable[i] && read[i] && copyProblems[i].empty();
        for (std::size_t k = 0; k < takes[i].size(); ++k) {
            if (takeProblems[i][k].empty()) {
                recordings.push_back(std::move(takes[i][k]));
                origins.line.push_back(i);
            } else {
                ReportError(kTool, takeProblems[i][k]);
                origins.keepable[i] = 0;
            }
        }
    }
    return true;
}

// Hands the prepared takes of the recordings to the next run.
void KeepForNextRun(std::vector<TrainingRecording>& recordings, const RecordingOrigins& origins) {
    std::vector<KeptTakes> ofLine(origins.sources.size());
    for (std::size_t r = 0; r < recordings.size(); ++r)
        ofLine[origins.line[r]].takes.push_back(std::move(recordings[r]));
    std::vector<KeptTakes> keeping;
    for (std::size_t i = 0; i < ofLine.size(); ++i) {
        if (!origins.keepable[i]) continue;
        ofLine[i].source = origins.sources[i];
        keeping.push_back(std::move(ofLine[i]));
    }
    KeepTakes(std::move(keeping));
}

// The speech frames of every aligned recording, under the key of its labels,
// with the scales that make every feature value count alike. The frames of
// a thousand recordings are copied and normalised on `threads` threads.
TemplateSet CollectTemplates(const std::vector<TrainingRecording>& recordings, const TrainingReport& report,
                             std::uint32_t dimension, unsigned threads) {
    std::vector<const TrainingRecording*> aligned;
    for (const auto& recording : recordings)
        if (std::find(report.unaligned.begin(), report.unaligned.end(), recording.featurePath) ==
            report.unaligned.end())
            aligned.push_back(&recording);
    TemplateSet templates;
    templates.dimension = dimension;
    templates.templates.resize(aligned.size());
    ParallelFor(aligned.size(), threads, [&](std::size_t i, unsigned) {
        templates.templates[i] = {TemplateKey(aligned[i]->labels),
                                  SpeechFrames(aligned[i]->features, aligned[i]->speech)};
    });
    FeatureStatistics statistics;
    for (const auto& entry : templates.templates) statistics.Add(entry.frames);
    const std::vector<double> scales = statistics.InverseDeviation();
    templates.scales.assign(scales.begin(), scales.end());
    templates.scales.resize(dimension, 1.0f);
    return templates;
}

int Run(int argc, char** argv) {
    std::string error;
    std::map<std::string, std::string> parameters;
    TrainerSettings settings;
    bool binaryInput = true, binaryOutput = true;
    if (!ReadParameterOption(kTool, argc, argv, kKeys, parameters, error) ||
        !ReadSettings(parameters, settings, error) ||
        !ParseFileMode("input_mode", parameters.at("input_mode"), binaryInput, error) ||
        !ParseFileMode("output_mode", parameters.at("output_mode"), binaryOutput, error)) {
        ReportError(kTool, error);
        return 1;
    }
    ModelInventory inventory;
    StateSet states;
    TransitionSet transitions;
    std::vector<float> varianceFloor;
    const InventoryFiles files{parameters.at("models_file"), parameters.at("monophones_file"),
                               parameters.at("phones_file"), parameters.at("lexicon_file")};
    if (!LoadModelInventory(files, inventory, error) ||
        !ReadStates(parameters.at("states_file"), binaryInput, states, error) ||
        !ReadTransitions(parameters.at("transitions_file"), transitions, error) ||
        !ReadVarianceFloor(parameters.at("variance_floor_file"), varianceFloor, error) ||
        !CheckModelsAgainstStates(inventory, states, transitions, error)) {
        ReportError(kTool, error);
        return 1;
    }
    if (varianceFloor.size() != states.dimension) {
        ReportError(kTool, parameters.at("variance_floor_file") + ": " + std::to_string(varianceFloor.size()) +
                               " values, the states have " + std::to_string(states.dimension));
        return 1;
    }
    std::vector<TrainingRecording> recordings;
    RecordingOrigins origins;
    if (!LoadRecordings(parameters, binaryInput, inventory, states, transitions, settings.threads, recordings, origins,
                        error)) {
        ReportError(kTool, error);
        return 1;
    }
    if (recordings.empty()) {
        ReportError(kTool, "no recording could be used; nothing trained");
        return 1;
    }
    TrainingReport report;
    TrainModels(recordings, inventory, varianceFloor, settings, states, transitions, report);
    for (std::size_t pass = 0; pass < report.logLikelihoodPerFrame.size(); ++pass)
        ReportError(kTool, "pass " + std::to_string(pass + 1) + ": log-likelihood per frame " +
                               FormatDouble(report.logLikelihoodPerFrame[pass]));
    for (const auto& path : report.unaligned)
        ReportError(kTool, path + ": no path through its labels fits the recording; recording skipped");
    if (report.unaligned.size() == recordings.size()) {
        ReportError(kTool, "no recording could be aligned with its labels; nothing trained");
        return 1;
    }
    const std::string& statesPath = parameters.at("updated_states_file");
    if (!WriteTemplates(TemplatePathFor(statesPath),
                        CollectTemplates(recordings, report, states.dimension, settings.threads), error) ||
        !WriteStates(statesPath, binaryOutput, states, error) ||
        !WriteTransitions(parameters.at("updated_trans_file"), transitions, error)) {
        ReportError(kTool, error);
        return 1;
    }
    KeepForNextRun(recordings, origins);
    return 0;
}

}  // namespace
}  // namespace speech

SPEECH_EXPORT int BWTrain(int argc, char** argv) { return speech::GuardedRun(speech::kTool, speech::Run, argc, argv); }
