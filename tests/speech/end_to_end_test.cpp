// The whole system through parrot-cli and the real engine: three words
// trained from two recordings each, then held-out recordings recognised.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : value;
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs `command` with the shell; returns its exit status and its stdout.
int RunCommand(const std::string& command, std::string& output) {
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return -1;
    std::array<char, 4096> buffer{};
    output.clear();
    std::size_t count = 0;
    while ((count = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), count);
    const int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(EndToEnd, WordsTrainedByVoiceAreRecognisedFromNewRecordings) {
    const fs::path cli = fs::path(Environment("PARROT_BIN_DIR")) / "parrot-cli";
    const fs::path data = Environment("PARROT_DEMO_DIR");
    ASSERT_TRUE(fs::exists(cli)) << cli;
    const fs::path work = fs::temp_directory_path() / ("parrot-end-to-end-" + std::to_string(::getpid()));
    fs::remove_all(work);
    fs::create_directories(work);

    const std::vector<std::string> words{"zero", "one", "five"};
    std::string command =
        "unset PARROT_SPEECH_LIBRARY; " + Quoted(cli.string()) + " --workdir " + Quoted(work.string());
    for (const auto& word : words)
        for (const char* take : {"0", "1"})
            command += " train " + word + " " + Quoted((data / (word + "_" + take + ".raw")).string());
    // "counter" prints a number after each recognition's result lines.
    for (const auto& word : words) command += " recognize " + Quoted((data / (word + "_4.raw")).string()) + " counter";
    std::string output;
    const int status = RunCommand(command, output);
    // The trainer kept every recording and its two speed-perturbed copies as
    // templates: the template file's count follows its magic and version.
    std::ifstream templates(work / "train_states.bin.templates", std::ios::binary);
    std::array<unsigned char, 12> header{};
    templates.read(reinterpret_cast<char*>(header.data()), header.size());
    const std::uint32_t templateCount = header[8] | header[9] << 8 | header[10] << 16 | std::uint32_t(header[11]) << 24;
    fs::remove_all(work);
    ASSERT_EQ(status, 0) << output;
    EXPECT_EQ(templateCount, 3 * 2 * words.size());

    std::istringstream lines(output);
    std::vector<std::map<std::string, double>> recognitions(1);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos) {
            recognitions.emplace_back();
            continue;
        }
        const auto separator = line.find(" score=");
        ASSERT_NE(separator, std::string::npos) << line;
        recognitions.back()[line.substr(0, separator)] = std::stod(line.substr(separator + 7));
    }
    recognitions.pop_back();
    ASSERT_EQ(recognitions.size(), words.size()) << output;
    for (std::size_t i = 0; i < words.size(); ++i) {
        ASSERT_FALSE(recognitions[i].empty()) << words[i] << "\n" << output;
        auto best = recognitions[i].begin();
        for (auto entry = recognitions[i].begin(); entry != recognitions[i].end(); ++entry)
            if (entry->second > best->second) best = entry;
        std::string expected = words[i];
        for (auto& c : expected) c = char(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(best->first, expected) << output;
    }
}

}  // namespace
