#pragma once
// PortAudio as Parrot's capture and playback devices use it. The sound
// libraries beneath it keep quiet: ALSA's and JACK's own messages are
// dropped and a JACK server is never started, so a problem is reported once,
// in Parrot's own words. An ALSA configuration that PortAudio cannot list
// devices from is refused before PortAudio reads it.

#include <string>

// Starts PortAudio (counted: every success is matched by StopSoundSystem).
// Returns an empty string on success, otherwise the reason.
std::string StartSoundSystem();
void StopSoundSystem();
