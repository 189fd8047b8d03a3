#pragma once
// The parameter file of the tools run as "TOOL -p FILE": each required key
// must be present, keys the tool does not know are reported as warnings and
// ignored, and some keys are accepted only with the one value the engine
// supports.

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

// Parses the command line "TOOL -p FILE" and reads FILE as above.
bool ReadParameterOption(const std::string& tool, int argc, char** argv, const ParameterKeys& keys,
                         std::map<std::string, std::string>& parameters, std::string& error);

// True when `key` is absent or has the value `expected`; else false with
// `error` saying that only `expected` is supported.
bool CheckFixedValue(const std::map<std::string, std::string>& parameters, const std::string& key,
                     const std::string& expected, std::string& error);

}  // namespace speech
