// ExtractFeatures ("extract_feature"): one feature file per recording of a
// list, and beside it the features of the recording with louder background
// noise, for the trainer (features/louder_noise.h). Recordings are headerless
// 16-bit little-endian mono at -sf Hz. A feature file that its stamp shows to
// be that of its recording as it is now, under the same options, is kept as
// it is (feature_stamps.h).

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/parallel_for.h"
#include "common/tool_support.h"
#include "features/feature_extractor.h"
#include "features/feature_stamps.h"
#include "features/louder_noise.h"
#include "speech_api.h"

namespace speech {
namespace {

const char* const kTool = "extract_feature";

bool ParseCount(const ToolOptions& options, const std::string& name, std::uint32_t& value, std::string& error) {
    const auto text = options.Value(name);
    if (!text) return true;
    long long parsed = 0;
    if (!ParseInt(*text, parsed) || parsed < 0 || parsed > 1000000) {
        error = "option " + name + " needs a whole number, not \"" + *text + "\"";
        return false;
    }
    value = static_cast<std::uint32_t>(parsed);
    return true;
}

bool ParseNumber(const ToolOptions& options, const std::string& name, double& value, std::string& error) {
    const auto text = options.Value(name);
    if (!text) return true;
    if (!ParseDouble(*text, value)) {
        error = "option " + name + " needs a number, not \"" + *text + "\"";
        return false;
    }
    return true;
}

struct Settings {
    FeatureOptions features;
    bool binaryOutput = true;
    std::string inputList;
    std::string outputList;
};

bool ReadSettings(int argc, char** argv, Settings& settings, std::string& error) {
    ToolOptions options({"-delta", "-acc", "-cms", "-zero_mean", "-energy", "-energy_norm"},
                        {"-mfcc", "-delta_win", "-lifter_coeff", "-window_dur", "-frame_dur", "-num_fbanks",
                         "-window_type", "-sf", "-pre_emph_coeff", "-output_mode", "-input", "-output"});
    if (!options.Parse(argc, argv, error)) return false;
    FeatureOptions& features = settings.features;
    features.deltas = options.Has("-delta");
    features.accelerations = options.Has("-acc");
    features.cepstralMeanSubtraction = options.Has("-cms");
    features.zeroMean = options.Has("-zero_mean");
    features.energy = options.Has("-energy");
    features.energyNormalise = options.Has("-energy_norm");
    if (!ParseCount(options, "-mfcc", features.cepstrumCount, error) ||
        !ParseCount(options, "-delta_win", features.deltaWindow, error) ||
        !ParseCount(options, "-num_fbanks", features.filterCount, error) ||
        !ParseNumber(options, "-lifter_coeff", features.lifter, error) ||
        !ParseNumber(options, "-window_dur", features.windowMs, error) ||
        !ParseNumber(options, "-frame_dur", features.frameMs, error) ||
        !ParseNumber(options, "-sf", features.sampleRate, error) ||
        !ParseNumber(options, "-pre_emph_coeff", features.preEmphasis, error))
        return false;
    const std::string windowType = options.Value("-window_type").value_or("hamming");
    if (windowType != "hamming") {
        error = "unsupported -window_type \"" + windowType + "\" (only \"hamming\")";
        return false;
    }
    if (!ParseFileMode("-output_mode", options.Value("-output_mode").value_or("binary"), settings.binaryOutput, error))
        return false;
    if (!options.Value("-input") || !options.Value("-output")) {
        error = std::string("missing option ") + (options.Value("-input") ? "-output" : "-input");
        return false;
    }
    settings.inputList = *options.Value("-input");
    settings.outputList = *options.Value("-output");
    return CheckFeatureOptions(features, error);
}

bool ReadRecording(const std::string& path, std::vector<std::int16_t>& samples, std::string& error) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes, error)) return false;
    samples.resize(bytes.size() / 2);  // a trailing odd byte is not a sample
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const auto low = static_cast<unsigned char>(bytes[2 * i]);
        const auto high = static_cast<unsigned char>(bytes[2 * i + 1]);
        samples[i] = static_cast<std::int16_t>(std::uint16_t(low | high << 8));
    }
    return true;
}

bool RemoveIfPresent(const std::string& path, std::string& error) {
    if (std::remove(path.c_str()) == 0 || errno == ENOENT) return true;
    error = "cannot remove old " + path + ": " + std::strerror(errno);
    return false;
}

// The take's features, and its noisier copy's made by `copyExtractor` on the
// second core meanwhile: a recognition waits for the extraction, and the
// copy would otherwise double that wait.
bool ExtractOne(FeatureExtractor& extractor, FeatureExtractor& copyExtractor, const Settings& settings,
                const std::string& recording, const std::string& output, std::string& error) {
    std::vector<std::int16_t> samples;
    if (!ReadRecording(recording, samples, error)) return false;
    if (samples.empty()) {
        error = recording + ": recording is empty";
        return false;
    }
    FeatureMatrix features, noisier;
    bool extracted = false, copied = false;
    ParallelFor(2, 2, [&](std::size_t task, unsigned) {
        if (task == 0) {
            extracted = extractor.Extract(samples, features);
        } else {
            const std::vector<std::int16_t> louder = WithLouderNoise(samples);
            copied = !louder.empty() && copyExtractor.Extract(louder, noisier);
        }
    });
    if (!extracted) {
        error = recording + ": recording of " + std::to_string(samples.size()) + " samples is shorter than one " +
                std::to_string(WindowSamples(settings.features)) + "-sample window";
        return false;
    }
    if (!WriteFeatureFile(output, settings.binaryOutput, features, error)) return false;
    return !copied || WriteFeatureFile(NoisierCopyPath(output), settings.binaryOutput, noisier, error);
}

// What decides the features: the arguments but the two lists, and the way
// the noisier copy is made.
std::string OptionsText(int argc, char** argv) {
    std::string text = kNoisierCopyRecipe;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if ((argument == "-input" || argument == "-output") && i + 1 < argc) {
            ++i;
            continue;
        }
        if (!text.empty()) text += ' ';
        text += argument;
    }
    return text;
}

int Run(int argc, char** argv) {
    Settings settings;
    std::string error;
    std::vector<std::string> recordings;
    std::vector<std::string> outputs;
    if (!ReadSettings(argc, argv, settings, error) || !ReadListFile(settings.inputList, recordings, error) ||
        !ReadListFile(settings.outputList, outputs, error)) {
        ReportError(kTool, error);
        return 1;
    }
    if (recordings.size() != outputs.size()) {
        ReportError(kTool, settings.inputList + " names " + std::to_string(recordings.size()) + " recordings but " +
                               settings.outputList + " names " + std::to_string(outputs.size()) + " feature files");
        return 1;
    }
    FeatureExtractor extractor(settings.features), copyExtractor(settings.features);
    FeatureStamps stamps(settings.outputList + ".stamps", OptionsText(argc, argv));
    int status = 0;
    for (std::size_t i = 0; i < recordings.size(); ++i) {
        if (stamps.Current(recordings[i], outputs[i]) && StampOf(NoisierCopyPath(outputs[i]))) continue;
        const auto recordingStamp = StampOf(recordings[i]);
        stamps.Forget(outputs[i]);
        // Feature files left from an earlier run go first: should this
        // extraction fail, they would pass for this recording's. New files
        // also cost less than files written over (the file system writes a
        // replaced file out to the disk at once).
        bool removed = true;
        for (const std::string& stale : {outputs[i], NoisierCopyPath(outputs[i])})
            if (!RemoveIfPresent(stale, error)) removed = false;
        if (removed && ExtractOne(extractor, copyExtractor, settings, recordings[i], outputs[i], error)) {
            if (recordingStamp) stamps.Note(recordings[i], *recordingStamp, outputs[i]);
            continue;
        }
        ReportError(kTool, error);
        status = 1;
    }
    stamps.Retain(outputs);
    if (!stamps.Write(error)) ReportError(kTool, "warning: " + error + "; the features will be computed again");
    return status;
}

}  // namespace
}  // namespace speech

SPEECH_EXPORT int ExtractFeatures(int argc, char** argv) {
    return speech::GuardedRun(speech::kTool, speech::Run, argc, argv);
}
