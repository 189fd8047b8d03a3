#pragma once
// The audio format of every recording: linear PCM, mono, 11025 samples per
// second, 16 bits per sample; the fields in the order of a wave-format record.

#include <cstdint>

struct RecordingFormat {
    std::uint16_t formatTag = 0;  // 1: linear PCM
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSecond = 0;
    std::uint32_t averageBytesPerSecond = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;

    bool operator==(const RecordingFormat&) const = default;
};

inline constexpr std::uint32_t kRecordingRate = 11025;
inline constexpr std::uint16_t kRecordingChannels = 1;
inline constexpr std::uint16_t kRecordingBits = 16;

inline constexpr RecordingFormat kRecordingFormat = {
    .formatTag = 1,
    .channels = kRecordingChannels,
    .samplesPerSecond = kRecordingRate,
    .averageBytesPerSecond = kRecordingRate * kRecordingChannels * kRecordingBits / 8,
    .blockAlign = kRecordingChannels * kRecordingBits / 8,
    .bitsPerSample = kRecordingBits,
};
