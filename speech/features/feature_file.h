#pragma once
// Feature files: a matrix of frames x dimension float values and the
// layout of a frame. Binary (version 2): magic "PFEA", u32 version, u32 frame
// count, u32 dimension, u32 frame period in units of 100 ns, u32 index of the
// log-energy value (0xFFFFFFFF for none), then frames*dimension float32
// values, all little-endian. Version 1 files, without the energy index, are
// still read. Text ("ascii"): see docs/formats.md.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace speech {

struct FeatureMatrix {
    std::uint32_t frameCount = 0;
    std::uint32_t dimension = 0;
    std::uint32_t framePeriod100ns = 0;
    std::vector<float> values;  // frame-major: values[frame * dimension + d]
    // Which value of a frame is its log energy, if any: speech detection and
    // digital-silence removal work from it.
    std::optional<std::uint32_t> energyIndex;

    const float* Frame(std::uint32_t frame) const { return values.data() + std::size_t(frame) * dimension; }
};

// Reads a feature file; false with `error` set (naming the file) on failure.
bool ReadFeatureFile(const std::string& path, bool binary, FeatureMatrix& features, std::string& error);

// Writes a feature file through a temporary name and a rename.
bool WriteFeatureFile(const std::string& path, bool binary, const FeatureMatrix& features, std::string& error);

}  // namespace speech
