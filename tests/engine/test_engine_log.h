#pragma once
// Reads the call log that libparrot_test_engine.so appends to: one call per
// line, the entry point's name and then its arguments, separated by tabs.

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// Each call as {entry point, argv[0], ..., argv[argc - 1]}.
inline std::vector<std::vector<std::string>> ReadTestEngineLog(const std::string& path) {
    std::vector<std::vector<std::string>> calls;
    std::ifstream log(path, std::ios::binary);
    std::string line;
    while (std::getline(log, line)) {
        std::istringstream fields(line);
        calls.emplace_back();
        for (std::string field; std::getline(fields, field, '\t');) calls.back().push_back(field);
    }
    return calls;
}

// The entry point of each logged call, in order.
inline std::vector<std::string> LoggedEntryPoints(const std::string& path) {
    std::vector<std::string> names;
    for (const auto& call : ReadTestEngineLog(path)) names.push_back(call[0]);
    return names;
}
