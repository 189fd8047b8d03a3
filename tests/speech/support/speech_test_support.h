#pragma once
// Helpers of the engine's tests: a scratch folder, whole-file reading and
// writing, recordings made of samples, and argument vectors for the tools.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "support/temporary_folder.h"

namespace speech_test {

// Names of every file in `folder`, sorted, to catch stray files.
inline std::vector<std::string> FileNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

class ScratchFolder : public TemporaryFolder {
public:
    std::string operator/(const std::string& name) const { return Path(name); }
    std::vector<std::string> Files() const { return FileNames(path()); }
};

inline void WriteText(const std::string& path, const std::string& contents) { WriteFileBytes(path, contents); }
inline std::string ReadText(const std::string& path) { return ReadFileBytes(path); }
inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

inline void WriteRecording(const std::string& path, const std::vector<std::int16_t>& samples) {
    std::string bytes;
    for (std::int16_t sample : samples) {
        const auto bits = static_cast<std::uint16_t>(sample);
        bytes += static_cast<char>(bits & 0xFF);
        bytes += static_cast<char>(bits >> 8);
    }
    WriteText(path, bytes);
}

inline std::string WorkedExample(const std::string& name) {
    const char* data = std::getenv("PARROT_TEST_DATA");
    return std::string(data != nullptr ? data : "tests/data") + "/worked_example/" + name;
}

// The application's ExtractFeatures arguments, from the recordings listed
// in "raw.txt" to the feature files listed in "mfc.txt".
inline const std::string kExtractFeaturesLine =
    "extract_feature -delta -acc -cms -zero_mean -energy -energy_norm -mfcc 12 -delta_win 2 -lifter_coeff 36 "
    "-window_dur 20 -frame_dur 10 -num_fbanks 22 -window_type hamming -sf 11025.0 -pre_emph_coeff 0.97 "
    "-output_mode binary -input raw.txt -output mfc.txt";

// The application's InitHMM arguments, from the features listed in
// "mfc.txt".
inline const std::string kInitHmmLine =
    "init_hmm -input mfc.txt -models model_lengths.txt -trans init_transitions.txt -mode binary -state "
    "init_states.txt -vfloor_file init_varfloor.txt -var_floor 0.0002";

// `line` with its first `from` replaced by `to`.
inline std::string Changed(std::string line, const std::string& from, const std::string& to) {
    return line.replace(line.find(from), from.size(), to);
}

// The words of `line` as an argument vector.
inline std::vector<std::string> Arguments(const std::string& line) {
    std::istringstream words(line);
    return {std::istream_iterator<std::string>(words), {}};
}

// Calls an entry point with `arguments` as its argv.
template <typename EntryPoint>
int RunTool(EntryPoint entryPoint, std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    return entryPoint(static_cast<int>(argv.size()), argv.data());
}

// Runs a tool and returns what it printed on stderr.
template <typename EntryPoint>
std::string RunToolForErrors(EntryPoint entryPoint, std::vector<std::string> arguments, int& status) {
    testing::internal::CaptureStderr();
    status = RunTool(entryPoint, std::move(arguments));
    return testing::internal::GetCapturedStderr();
}

}  // namespace speech_test
