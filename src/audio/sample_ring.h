#pragma once
// A lock-free ring of samples between one producer (the audio callback) and
// one consumer (the notification thread). Neither side allocates or waits.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

class SampleRing {
public:
    // Room for at least `minimumCapacity` samples (rounded up to a power of 2).
    explicit SampleRing(std::size_t minimumCapacity);

    // Producer: stores up to `count` samples; returns how many were stored.
    // Counts that are multiples of the frame size keep frames whole.
    std::size_t Write(const std::int16_t* samples, std::size_t count);
    // Consumer: takes up to `count` samples; returns how many were taken.
    std::size_t Read(std::int16_t* samples, std::size_t count);
    // Consumer, while the producer is idle: empties the ring.
    void Clear();

private:
    std::vector<std::int16_t> samples_;
    std::size_t mask_;
    alignas(64) std::atomic<std::size_t> written_{0};
    alignas(64) std::atomic<std::size_t> read_{0};
};
