#include "audio/sound_system.h"

#include <alsa/asoundlib.h>
#include <dlfcn.h>
#include <portaudio.h>

#include <cstdlib>
#include <mutex>

namespace {

void DropAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

void DropJackMessage(const char*) {}

// PortAudio brings libjack into the process; when it is there, its message
// functions are replaced by ones that print nothing.
void QuietJack() {
    ::setenv("JACK_NO_START_SERVER", "1", 0);
    using SetMessageFunction = void (*)(void (*)(const char*));
    for (const char* name : {"jack_set_error_function", "jack_set_info_function"}) {
        if (auto set = reinterpret_cast<SetMessageFunction>(::dlsym(RTLD_DEFAULT, name))) {
            set(&DropJackMessage);
        }
    }
}

void QuietSoundLibraries() {
    static std::once_flag once;
    std::call_once(once, [] {
        snd_lib_error_set_handler(&DropAlsaMessage);
        QuietJack();
    });
}

// PortAudio's ALSA layer stops the whole process on a configuration that
// defines neither a "default" nor a "dmix" device (one with no capture
// device at all, say), so such a configuration is refused here.
std::string CheckAlsaConfiguration() {
    if (const int result = snd_config_update(); result < 0) {
        return std::string("the ALSA configuration cannot be read: ") + snd_strerror(result);
    }
    snd_config_t* device = nullptr;
    if (snd_config == nullptr || (snd_config_search(snd_config, "pcm.default", &device) < 0 &&
                                  snd_config_search(snd_config, "pcm.dmix", &device) < 0)) {
        return "the ALSA configuration lists no default sound device";
    }
    return {};
}

}  // namespace

std::string StartSoundSystem() {
    QuietSoundLibraries();
    if (std::string problem = CheckAlsaConfiguration(); !problem.empty()) {
        return problem;
    }
    if (const PaError result = Pa_Initialize(); result != paNoError) {
        return std::string("PortAudio cannot start: ") + Pa_GetErrorText(result);
    }
    return {};
}

void StopSoundSystem() { Pa_Terminate(); }
