#pragma once
// Helpers shared by the audio tests: file contents and bounded waiting.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "audio/recording_format.h"
#include "support/temporary_folder.h"

// The recorder's buffer size.
constexpr std::size_t kBufferBytes = 4096;

// The bytes of a file; empty when it cannot be read.
std::vector<std::uint8_t> ReadBytes(const std::string& path);
bool FileExists(const std::string& path);
// The size of a file in bytes; 0 when it does not exist.
std::size_t FileSize(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Polls `condition` until it holds or `timeout` passes; returns its last value.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));

// Little-endian 16-bit samples as the bytes of a recording.
std::vector<std::uint8_t> SampleBytes(const std::vector<std::int16_t>& samples);
