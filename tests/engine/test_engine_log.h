#pragma once
// Reads the call log that libparrot_test_engine.so appends to: one call per
// line, the entry point's name and then its arguments, separated by tabs.

#include <fstream>
#include <string>
#include <vector>

// Each call as {entry point, argv[0], ..., argv[argc - 1]}.
inline std::vector<std::vector<std::string>> ReadTestEngineLog(const std::string& path) {
    std::vector<std::vector<std::string>> calls;
    std::ifstream log(path, std::ios::binary);
    std::string line;
    while (std::getline(log, line)) {
        std::vector<std::string> call;
        std::size_t start = 0;
        for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
            call.push_back(line.substr(start, tab - start));
        }
        call.push_back(line.substr(start));
        calls.push_back(call);
    }
    return calls;
}
