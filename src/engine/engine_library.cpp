#include "engine_library.h"

#include <dlfcn.h>

#include <cstdio>
#include <new>

#include "text/program_name.h"

namespace {

constexpr EngineTool kAllTools[] = {
    EngineTool::ExtractFeatures,  EngineTool::InitHMM,         EngineTool::ConvertMmf,        EngineTool::BWTrain,
    EngineTool::GrammarCompiller, EngineTool::TraceProjection, EngineTool::NormalizeFeatures,
};

}  // namespace

const char* EntryPointName(EngineTool tool) {
    switch (tool) {
        case EngineTool::ExtractFeatures:
            return "ExtractFeatures";
        case EngineTool::InitHMM:
            return "InitHMM";
        case EngineTool::ConvertMmf:
            return "ConvertMmf";
        case EngineTool::BWTrain:
            return "BWTrain";
        case EngineTool::GrammarCompiller:
            return "GrammarCompiller";
        case EngineTool::TraceProjection:
            return "TraceProjection";
        case EngineTool::NormalizeFeatures:
            return "NormalizeFeatures";
    }
    return "unknown";
}

void EngineLibrary::Load(const std::string& path) {
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        // The loader's reason names the file.
        const char* reason = dlerror();
        PrintMessage("cannot load the speech engine library: " + (reason != nullptr ? std::string(reason) : path) +
                     "; training and recognition will not run");
        return;
    }
    std::string missing;
    for (EngineTool tool : kAllTools) {
        void* symbol = dlsym(library, EntryPointName(tool));
        if (symbol == nullptr) {
            missing += missing.empty() ? "" : ", ";
            missing += EntryPointName(tool);
        }
        entryPoints_[static_cast<int>(tool)] = reinterpret_cast<EntryPoint>(symbol);
    }
    if (!missing.empty()) {
        PrintMessage("the speech engine library " + path + " lacks the entry points " + missing +
                     "; calls of them will fail");
    }
}

int EngineLibrary::Run(EngineTool tool, const std::vector<std::string>& arguments) const {
    const EntryPoint entryPoint = entryPoints_[static_cast<int>(tool)];
    if (entryPoint == nullptr) {
        return kMissingEngineTool;
    }
    try {
        // The tools take `char**`, so each gets its own writable copy.
        std::vector<std::vector<char>> copies;
        copies.reserve(arguments.size());
        std::vector<char*> argv;
        argv.reserve(arguments.size());
        for (const std::string& argument : arguments) {
            copies.emplace_back(argument.c_str(), argument.c_str() + argument.size() + 1);
            argv.push_back(copies.back().data());
        }
        return entryPoint(static_cast<int>(argv.size()), argv.data());
    } catch (const std::bad_alloc&) {
        PrintMessage(std::string("out of memory while calling the speech engine's ") + EntryPointName(tool));
        return kMissingEngineTool;
    }
}
