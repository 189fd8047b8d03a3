#pragma once
// Whether a recording holds speech at all, before a word is trained with it
// or recognised in it.
//
// The rule: the samples pass a high-pass filter at 150 Hz (a microphone's DC
// offset, mains hum and the rumble of a room lie below it, a voice's formants
// above) and are cut into frames of 10 ms, each measured by its mean square.
// Frames below an RMS of 4 steps are digital silence (a device that delivers
// zeros, or the silence a file is padded with) and never make the floor: the
// recording's noise floor is the 10th percentile of the other frames'
// energies, the quiet before and after a word, or the room. A frame is loud
// when it lies at least 9 dB above that floor. The recording holds speech
// when some stretch of 0.1 s (10 frames) is loud in at least half of its
// frames: the loud part of a short syllable, with room for a dip in it.
// Steady noise and hum stay near their own floor, a click is over within a
// frame or two, and a press too short for a word has no such stretch. A
// breath is noise too, but as loud as a voice's unvoiced sounds ("s", "h",
// "f"): a loud breath counts as speech, a faint one does not.

#include <cstdint>
#include <string>
#include <vector>

// True when `samples` (recording rate) hold speech by the rule above.
bool HoldsSpeech(const std::vector<std::int16_t>& samples);

// The same for a recording file. A file that cannot be read (a press too
// short to record a sample leaves an empty one) holds no speech either.
bool RecordingHoldsSpeech(const std::string& fileName);

// How far above the noise floor the loudest stretch of 0.1 s lies, in dB:
// the level that half of its frames reach. A recording holds speech when this
// is at least 9 dB. Minus infinity for a recording shorter than a stretch or
// digitally silent throughout.
double LoudestStretchDb(const std::vector<std::int16_t>& samples);
