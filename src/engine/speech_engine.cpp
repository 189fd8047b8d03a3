#include "speech_engine.h"

#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <string>

#include "engine_library.h"

namespace {

EngineLibrary& TheEngine() {
    static EngineLibrary engine;
    return engine;
}

// libspeech.so in the lib/ folder beside the program's bin/ folder.
std::string InstalledLibraryPath() {
    std::string program(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", program.data(), program.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= program.size()) {
        return "libspeech.so";
    }
    program.resize(static_cast<std::size_t>(length));
    return program.substr(0, program.rfind('/') + 1) + "../lib/libspeech.so";
}

}  // namespace

void LoadSpeechEngine() {
    static std::once_flag loaded;
    std::call_once(loaded, [] {
        const char* named = std::getenv("PARROT_SPEECH_LIBRARY");
        TheEngine().Load(named != nullptr && *named != '\0' ? named : InstalledLibraryPath());
    });
}

int RunEngineTool(EngineTool tool, const std::vector<std::string>& arguments, std::vector<std::string>* failures) {
    const int result = TheEngine().Run(tool, arguments);
    if (result != 0 && failures != nullptr) {
        const std::string name = arguments.empty() ? EntryPointName(tool) : arguments.front();
        failures->push_back("the speech engine's " + name + " failed (status " + std::to_string(result) + ")");
    }
    return result;
}
