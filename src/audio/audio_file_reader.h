#pragma once
// Reads an audio file into the recording format (11025 Hz, mono, signed
// 16-bit). WAV, FLAC, Ogg and the other formats libsndfile knows, at any rate
// and channel count; a file named *.raw is headerless 11025 Hz mono
// little-endian 16-bit.

#include <cstdint>
#include <string>
#include <vector>

// False, with a message naming the file and the problem in `error`, when the
// file cannot be read, is malformed or holds no audio.
bool ReadAudioFile(const std::string& path, std::vector<std::int16_t>& samples, std::string& error);
