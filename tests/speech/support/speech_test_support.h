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
