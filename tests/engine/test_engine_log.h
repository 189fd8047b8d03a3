#pragma once
// Reads the call log that libparrot_test_engine.so appends to: one call per
// line, the entry point's name and then its arguments, separated by tabs.

#include <fstream>
#include <string>
#include <vector>

// The pieces of `line` between the `separator` characters.
inline std::vector<std::string> SplitLine(const std::string& line, char separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t end; (end = line.find(separator, start)) != std::string::npos; start = end + 1) {
        pieces.push_back(line.substr(start, end - start));
    }
    pieces.push_back(line.substr(start));
    return pieces;
}

// Each call as {entry point, argv[0], ..., argv[argc - 1]}.
inline std::vector<std::vector<std::string>> ReadTestEngineLog(const std::string& path) {
    std::vector<std::vector<std::string>> calls;
    std::ifstream log(path, std::ios::binary);
    std::string line;
    while (std::getline(log, line)) {
        calls.push_back(SplitLine(line, '\t'));
    }
    return calls;
}

// The entry point of each logged call, in order.
inline std::vector<std::string> LoggedEntryPoints(const std::string& path) {
    std::vector<std::string> names;
    for (const auto& call : ReadTestEngineLog(path)) names.push_back(call[0]);
    return names;
}
