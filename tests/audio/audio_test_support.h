#pragma once
// Helpers shared by the audio tests: recording bytes and bounded waiting.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "audio/recording_format.h"
#include "support/temporary_folder.h"

// The recorder's buffer size.
constexpr std::size_t kBufferBytes = 4096;

// Polls `condition` until it holds or `timeout` passes; returns its last value.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));

// Little-endian 16-bit samples as the bytes of a recording.
std::string SampleBytes(const std::vector<std::int16_t>& samples);
