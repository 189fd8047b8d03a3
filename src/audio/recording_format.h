#pragma once
// The audio format of every recording, in the order of a wave-format record.

#include <cstdint>

struct RecordingFormat {
    std::uint16_t formatTag = 0;  // 1: linear PCM
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSecond = 0;
    std::uint32_t averageBytesPerSecond = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
};
