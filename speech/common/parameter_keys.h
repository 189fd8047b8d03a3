#pragma once
// The keys of a tool's parameter file: each required key must be present,
// keys the tool does not know are reported as warnings and ignored.

#include <map>
#include <string>
#include <vector>

namespace speech {

struct ParameterKeys {
    std::vector<std::string> required;
    std::vector<std::string> optional;
};

// Reads `path`; false with `error` set when it cannot be read or a required
// key is missing (naming the first such key). Prints a warning on stderr,
// prefixed by `tool`, for every unknown key.
bool ReadToolParameters(const std::string& tool, const std::string& path, const ParameterKeys& keys,
                        std::map<std::string, std::string>& parameters, std::string& error);

}  // namespace speech
