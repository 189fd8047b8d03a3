// TraceProjection ("trace_projection -p FILE", function lattice_rescoring):
// decodes every feature file of the feature list against the word network of
// the lattice list and writes the words of the chosen path, with the
// confidence in them, to the output file of the output list; below the
// acceptance threshold no word is named (decoder_output.h).

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>

#include "common/file_stamp.h"
#include "common/format_io.h"
#include "common/parameter_keys.h"
#include "common/tool_support.h"
#include "decoding/decoder_output.h"
#include "decoding/word_recognizer.h"
#include "decoding/word_templates.h"
#include "features/feature_normalization.h"
#include "models/model_inventory.h"
#include "models/state_scorer.h"
#include "speech_api.h"

namespace speech {
namespace {

constexpr char kTool[] = "trace_projection";

const ParameterKeys kKeys{
    {"function", "monophones_file", "models_file", "phones_file", "lexicon_file", "states_file", "transitions_file",
     "mfcc_list", "output_list", "input_lattice_list", "beam_pruning", "num_allowed_words"},
    {"input_format", "align_mode", "context_mode", "history_paths", "nbest_paths", "mapmi_limit"}};

bool PositiveInteger(const std::map<std::string, std::string>& parameters, const std::string& key, long long& value,
                     std::string& error) {
    const auto found = parameters.find(key);
    if (found == parameters.end()) return true;
    if (!ParseInt(found->second, value) || value < 1) {
        error = key + " must be a whole number from 1 up";
        return false;
    }
    return true;
}

bool ReadSettings(const std::map<std::string, std::string>& parameters, DecoderSettings& settings, bool& binaryFeatures,
                  std::string& error) {
    if (parameters.at("function") != "lattice_rescoring") {
        error = "function \"" + parameters.at("function") + "\" is not supported (only lattice_rescoring)";
        return false;
    }
    const auto beams = SplitFields(parameters.at("beam_pruning"));
    double values[3] = {0, 0, 0};
    if (beams.size() != 3 || !ParseDouble(beams[0], values[0]) || !ParseDouble(beams[1], values[1]) ||
        !ParseDouble(beams[2], values[2]) || values[0] <= 0 || values[1] <= 0 || values[2] <= 0) {
        error = "beam_pruning must be three positive numbers (state, word end, word entry beams)";
        return false;
    }
    settings.stateBeam = values[0];
    settings.wordEndBeam = values[1];
    settings.wordEntryBeam = values[2];
    long long words = 0, unused = 1;
    if (!ParseInt(parameters.at("num_allowed_words"), words) || words < 1 || words > 100000) {
        error = "num_allowed_words must be a whole number from 1 to 100000";
        return false;
    }
    settings.maxWordEnds = std::uint32_t(words);
    const auto format = parameters.find("input_format");
    if (format != parameters.end() && !ParseFileMode("input_format", format->second, binaryFeatures, error))
        return false;
    return CheckFixedValue(parameters, "align_mode", "word", error) &&
           CheckFixedValue(parameters, "context_mode", "monophone", error) &&
           CheckFixedValue(parameters, "nbest_paths", "1", error) &&
           PositiveInteger(parameters, "history_paths", unused, error) &&
           PositiveInteger(parameters, "mapmi_limit", unused, error);
}

bool CheckStates(const WordRecognizer& recognizer, const ModelInventory& inventory, const StateSet& states,
                 std::string& error) {
    if (recognizer.UsedStates().empty() || recognizer.UsedStates().back() < states.states.size()) return true;
    for (const auto& model : inventory.models)
        for (const auto state : model.states)
            if (state >= states.states.size()) {
                error =
                    "model " + model.phone + " uses state " + std::to_string(state) + ", missing from the states file";
                return false;
            }
    return true;
}

// Files by name, with their stamps as they were before they were read.
using Sources = std::vector<std::pair<std::string, std::optional<FileStamp>>>;

Sources StampsOf(const std::vector<std::string>& paths) {
    Sources sources;
    for (const auto& path : paths) sources.emplace_back(path, StampOf(path));
    return sources;
}

// Kept only while none of them can change without a new stamp.
bool Settled(const Sources& sources) {
    return std::none_of(sources.begin(), sources.end(),
                        [](const auto& source) { return source.second && RecentlyModified(*source.second); });
}

// What a decoding reads before its first recording, and the search built for
// a word network. Reading them and building the search is a good part of a
// recognition, and the program recognises recording after recording against
// the same files, so the last ones are kept in the process while no file
// they come from has a new stamp (a training run writes new ones).
struct Models {
    Sources sources;
    ModelInventory inventory;
    StateSet states;
    TransitionSet transitions;
    TemplateIndex templates;
    std::optional<StateScorer> scorer;
    Sources network;  // the word network `recognizer` is built for
    WordRecognizer recognizer;
};

std::mutex modelsMutex;
std::unique_ptr<Models> keptModels;  // under modelsMutex

// The models of `sources` (the inventory files, states, transitions and
// templates in this order), kept or read now; null with `error`.
Models* LoadModels(const Sources& sources, std::string& error) {
    if (keptModels && keptModels->sources == sources) return keptModels.get();
    keptModels.reset();
    auto models = std::make_unique<Models>();
    const InventoryFiles files{sources[0].first, sources[1].first, sources[2].first, sources[3].first};
    if (!LoadModelInventory(files, models->inventory, error) ||
        !ReadStatesOfEitherMode(sources[4].first, models->states, error) ||
        !ReadTransitions(sources[5].first, models->transitions, error))
        return nullptr;
    // The trainer keeps its word templates beside the states; without them
    // the HMM scores alone decide.
    std::error_code absent;
    if (std::filesystem::exists(sources[6].first, absent)) {
        TemplateSet templates;
        if (!ReadTemplates(sources[6].first, templates, error)) return nullptr;
        models->templates = TemplateIndex(templates);
    }
    models->scorer.emplace(models->states);
    models->sources = Settled(sources) ? sources : Sources{};
    keptModels = std::move(models);
    return keptModels.get();
}

int Run(int argc, char** argv) {
    std::string error;
    std::map<std::string, std::string> parameters;
    DecoderSettings settings;
    bool binaryFeatures = true;
    if (!ReadParameterOption(kTool, argc, argv, kKeys, parameters, error) ||
        !ReadSettings(parameters, settings, binaryFeatures, error)) {
        ReportError(kTool, error);
        return 1;
    }
    std::vector<std::string> featureList, outputList, latticeList;
    if (!ReadListFile(parameters.at("mfcc_list"), featureList, error) ||
        !ReadListFile(parameters.at("output_list"), outputList, error) ||
        !ReadListFile(parameters.at("input_lattice_list"), latticeList, error)) {
        ReportError(kTool, error);
        return 1;
    }
    if (featureList.size() != outputList.size() || featureList.size() != latticeList.size()) {
        ReportError(kTool, "the feature, output and lattice lists must have the same number of lines");
        return 1;
    }
    const std::lock_guard lock(modelsMutex);
    Models* const models =
        LoadModels(StampsOf({parameters.at("models_file"), parameters.at("monophones_file"),
                             parameters.at("phones_file"), parameters.at("lexicon_file"), parameters.at("states_file"),
                             parameters.at("transitions_file"), TemplatePathFor(parameters.at("states_file"))}),
                   error);
    if (models == nullptr) {
        ReportError(kTool, error);
        return 1;
    }
    const ModelInventory& inventory = models->inventory;
    const StateSet& states = models->states;
    const WordRecognizer& recognizer = models->recognizer;
    // For refitting the confidence: see ConfidenceTerms.
    const bool printConfidenceTerms = std::getenv("SPEECH_CONFIDENCE_TERMS") != nullptr;
    int status = 0;
    Sources builtFor = models->network;
    for (std::size_t i = 0; i < featureList.size(); ++i) {
        // A stale result must not survive a failed decoding.
        std::remove(outputList[i].c_str());
        const Sources network = StampsOf({latticeList[i]});
        if (network != builtFor) {
            WordNetwork read;
            models->network.clear();
            if (!ReadWordNetwork(latticeList[i], read, error) ||
                !models->recognizer.Build(read, inventory, models->transitions, error) ||
                !CheckStates(recognizer, inventory, states, error)) {
                ReportError(kTool, latticeList[i] + ": " + error);
                return 1;
            }
            builtFor = network;
            if (Settled(network)) models->network = network;
        }
        FeatureMatrix features;
        if (!ReadFeatureFile(featureList[i], binaryFeatures, features, error)) {
            ReportError(kTool, error);
            status = 1;
            continue;
        }
        if (features.dimension != states.dimension) {
            ReportError(kTool, featureList[i] + ": features have " + std::to_string(features.dimension) +
                                   " values per frame, the models " + std::to_string(states.dimension));
            status = 1;
            continue;
        }
        FrameSpan kept, speech;
        if (!PrepareRecordingFeatures(features, kept, speech, error)) {
            ReportError(kTool, featureList[i] + ": " + error);
            status = 1;
            continue;
        }
        const Recognition recognition =
            recognizer.Recognize(features, speech, *models->scorer, models->templates, settings);
        if (recognition.path.words.empty()) {
            ReportError(kTool, featureList[i] + ": no path through the word network fits the recording");
            status = 1;
            continue;
        }
        if (!recognition.path.complete)
            ReportError(kTool, featureList[i] + ": no path reaches the end of the word network; no word is named");
        if (printConfidenceTerms) std::fputs(FormatConfidenceTerms(recognition).c_str(), stderr);
        if (!WriteFileAtomically(outputList[i], FormatDecoderOutput(recognition), error)) {
            ReportError(kTool, error);
            status = 1;
        }
    }
    return status;
}

}  // namespace
}  // namespace speech

SPEECH_EXPORT int TraceProjection(int argc, char** argv) {
    return speech::GuardedRun(speech::kTool, speech::Run, argc, argv);
}
