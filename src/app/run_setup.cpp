#include "app/run_setup.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "app/work_folder_lock.h"
#include "audio/capture_selection.h"
#include "engine/speech_engine.h"
#include "text/program_name.h"
#include "text/text.h"

namespace fs = std::filesystem;

namespace {

const char* const kDictionaryFiles[] = {"english.idx", "english.key", "english.dct"};

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

std::string DefaultWorkFolder() {
    std::string dataHome = EnvironmentValue("XDG_DATA_HOME");
    if (dataHome.empty()) {
        std::string home = EnvironmentValue("HOME");
        if (home.empty()) {
            const passwd* user = ::getpwuid(::getuid());
            home = user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "";
        }
        dataHome = home + "/.local/share";
    }
    return dataHome + "/parrot";
}

std::string DefaultDataFolder() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error) {
        return AbsolutePath("share/parrot");
    }
    return (program.parent_path() / ".." / "share" / "parrot").lexically_normal().string();
}

// Links the dictionary files the work folder lacks from the data folder, so a
// new work folder works at once. A missing dictionary is not fatal: words are
// then spelled out, and the training session says so.
void LinkDictionaryFiles(const std::string& dataFolder) {
    for (const char* name : kDictionaryFiles) {
        std::error_code error;
        if (fs::exists(name, error)) {
            continue;
        }
        const fs::path source = fs::path(dataFolder) / name;
        if (!fs::exists(source, error)) {
            PrintMessage("the dictionary file " + EscapeControlCharacters(source.native()) + " is missing");
            continue;
        }
        fs::remove(name, error);  // a link whose target is gone
        fs::create_symlink(source, name, error);
        if (error) {
            PrintMessage("cannot link " + EscapeControlCharacters(source.native()) +
                         " into the work folder: " + error.message());
        }
    }
}

}  // namespace

RunSettings ResolveRunSettings(const std::optional<std::string>& workFolder,
                               const std::optional<std::string>& captureSpec) {
    RunSettings settings;
    settings.workFolder = AbsolutePath(workFolder ? *workFolder : DefaultWorkFolder());

    std::string capture = captureSpec ? *captureSpec : EnvironmentValue("PARROT_CAPTURE");
    if (capture.empty()) {
        capture = "portaudio";
    }
    const std::string filePrefix = "file:";
    if (capture.starts_with(filePrefix) && capture.size() > filePrefix.size()) {
        capture = filePrefix + AbsolutePath(capture.substr(filePrefix.size()));
    }
    settings.captureSpec = capture;

    const std::string dataFolder = EnvironmentValue("PARROT_DATA_DIR");
    settings.dataFolder = dataFolder.empty() ? DefaultDataFolder() : AbsolutePath(dataFolder);
    return settings;
}

std::string PrepareWorkFolder(const RunSettings& settings) {
    if (std::string problem = SelectCaptureDevice(settings.captureSpec); !problem.empty()) {
        return problem;
    }
    std::error_code error;
    fs::create_directories(settings.workFolder, error);
    if (error) {
        return "cannot create the work folder " + settings.workFolder + ": " + error.message();
    }
    if (::chdir(settings.workFolder.c_str()) != 0) {
        return "cannot enter the work folder " + settings.workFolder + ": " + std::strerror(errno);
    }
    if (std::string problem = LockWorkFolder(settings.workFolder); !problem.empty()) {
        return problem;
    }
    LinkDictionaryFiles(settings.dataFolder);
    LoadSpeechEngine();
    return {};
}
