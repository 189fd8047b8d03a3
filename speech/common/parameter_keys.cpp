#include "common/parameter_keys.h"

#include <algorithm>

#include "common/tool_support.h"

namespace speech {

bool ReadToolParameters(const std::string& tool, const std::string& path, const ParameterKeys& keys,
                        std::map<std::string, std::string>& parameters, std::string& error) {
    if (!ReadParameterFile(path, parameters, error)) return false;
    for (const auto& key : keys.required) {
        if (parameters.count(key) == 0) {
            error = path + ": required parameter \"" + key + "\" is missing";
            return false;
        }
    }
    auto known = [&](const std::string& key) {
        return std::find(keys.required.begin(), keys.required.end(), key) != keys.required.end() ||
               std::find(keys.optional.begin(), keys.optional.end(), key) != keys.optional.end();
    };
    for (const auto& [key, value] : parameters)
        if (!known(key)) ReportError(tool, "warning: " + path + ": unknown parameter \"" + key + "\" ignored");
    return true;
}

bool ReadParameterOption(const std::string& tool, int argc, char** argv, const ParameterKeys& keys,
                         std::map<std::string, std::string>& parameters, std::string& error) {
    ToolOptions options({}, {"-p"});
    if (!options.Parse(argc, argv, error)) {
        error += " (usage: " + tool + " -p PARAMETER_FILE)";
        return false;
    }
    if (!options.Has("-p")) {
        error = "missing -p PARAMETER_FILE";
        return false;
    }
    return ReadToolParameters(tool, *options.Value("-p"), keys, parameters, error);
}

bool CheckFixedValue(const std::map<std::string, std::string>& parameters, const std::string& key,
                     const std::string& expected, std::string& error) {
    const auto found = parameters.find(key);
    if (found == parameters.end() || found->second == expected) return true;
    error = key + " = " + found->second + " is not supported (only " + expected + ")";
    return false;
}

}  // namespace speech
