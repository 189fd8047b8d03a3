#include "audio/sample_ring.h"

#include <algorithm>
#include <bit>

SampleRing::SampleRing(std::size_t minimumCapacity)
    : samples_(std::bit_ceil(std::max<std::size_t>(minimumCapacity, 2))), mask_(samples_.size() - 1) {}

std::size_t SampleRing::Write(const std::int16_t* samples, std::size_t count) {
    const std::size_t written = written_.load(std::memory_order_relaxed);
    const std::size_t read = read_.load(std::memory_order_acquire);
    const std::size_t stored = std::min(count, samples_.size() - (written - read));
    const std::size_t start = written & mask_;
    const std::size_t first = std::min(stored, samples_.size() - start);
    std::copy_n(samples, first, samples_.begin() + static_cast<std::ptrdiff_t>(start));
    std::copy_n(samples + first, stored - first, samples_.begin());
    written_.store(written + stored, std::memory_order_release);
    return stored;
}

std::size_t SampleRing::Read(std::int16_t* samples, std::size_t count) {
    const std::size_t read = read_.load(std::memory_order_relaxed);
    const std::size_t written = written_.load(std::memory_order_acquire);
    const std::size_t taken = std::min(count, written - read);
    const std::size_t start = read & mask_;
    const std::size_t first = std::min(taken, samples_.size() - start);
    std::copy_n(samples_.begin() + static_cast<std::ptrdiff_t>(start), first, samples);
    std::copy_n(samples_.begin(), taken - first, samples + first);
    read_.store(read + taken, std::memory_order_release);
    return taken;
}

void SampleRing::Clear() { read_.store(written_.load(std::memory_order_acquire), std::memory_order_release); }
