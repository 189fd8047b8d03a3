#pragma once
// One loaded speech engine library and its seven entry points, bound by name.

#include <string>
#include <vector>

#include "speech_engine.h"

// Result of calling a tool that the library does not provide.
constexpr int kMissingEngineTool = 127;

// The exported name of a tool's entry point.
const char* EntryPointName(EngineTool tool);

class EngineLibrary {
public:
    // Opens the library at `path` and binds every entry point it exports.
    // Prints one line on stderr naming the library or the entry points that
    // are missing. The library stays loaded for the rest of the process.
    void Load(const std::string& path);

    // Calls the tool with exactly these arguments (writable copies, no null
    // entry after the last) and returns its result, or kMissingEngineTool.
    int Run(EngineTool tool, const std::vector<std::string>& arguments) const;

private:
    using EntryPoint = int (*)(int argc, char** argv);
    static constexpr int kToolCount = 7;
    EntryPoint entryPoints_[kToolCount] = {};
};
