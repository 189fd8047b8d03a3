#pragma once
// Feature files: a matrix of frames x dimension float values.
// Binary: magic "PFEA", u32 version (1), u32 frame count, u32 dimension,
// u32 frame period in units of 100 ns, then frames*dimension float32 values,
// all little-endian. Text ("ascii"): see docs/formats.md.

#include <cstdint>
#include <string>
#include <vector>

namespace speech {

struct FeatureMatrix {
    std::uint32_t frameCount = 0;
    std::uint32_t dimension = 0;
    std::uint32_t framePeriod100ns = 0;
    std::vector<float> values;  // frame-major: values[frame * dimension + d]

    const float* Frame(std::uint32_t frame) const { return values.data() + std::size_t(frame) * dimension; }
};

// Reads a feature file; false with `error` set (naming the file) on failure.
bool ReadFeatureFile(const std::string& path, bool binary, FeatureMatrix& features, std::string& error);

// Writes a feature file through a temporary name and a rename.
bool WriteFeatureFile(const std::string& path, bool binary, const FeatureMatrix& features, std::string& error);

}  // namespace speech
