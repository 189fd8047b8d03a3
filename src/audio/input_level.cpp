#include "audio/input_level.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr double kFullScale = 32768.0;

std::atomic<int> peak{0};

}  // namespace

void NoteInputSamples(const char* bytes, std::size_t byteCount) {
    int largest = 0;
    for (std::size_t i = 0; i + 1 < byteCount; i += 2) {
        const auto low = static_cast<unsigned char>(bytes[i]);
        const auto high = static_cast<unsigned char>(bytes[i + 1]);
        const auto sample = static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (high << 8)));
        largest = std::max(largest, std::abs(static_cast<int>(sample)));
    }
    int seen = peak.load(std::memory_order_relaxed);
    while (largest > seen && !peak.compare_exchange_weak(seen, largest, std::memory_order_relaxed)) {
    }
}

double TakeInputPeak() { return peak.exchange(0, std::memory_order_relaxed) / kFullScale; }
