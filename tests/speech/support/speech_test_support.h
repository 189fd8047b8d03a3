#pragma once
// Helpers of the engine's tests: a scratch folder, whole-file reading and
// writing, recordings made of samples, and argument vectors for the tools.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temporary_folder.h"

namespace speech_test {

class ScratchFolder : public TemporaryFolder {
public:
    std::string operator/(const std::string& name) const { return Path(name); }
    // Names of every file in the folder, to catch stray temporary files.
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path())) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
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
