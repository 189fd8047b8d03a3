#include "features/feature_file.h"

#include <algorithm>

#include <cmath>

#include "common/format_io.h"
#include "common/tool_support.h"

namespace speech {
namespace {

constexpr std::string_view kBinaryMagic = "PFEA";
constexpr std::string_view kTextMagic = "features";
constexpr std::uint32_t kFirstVersion = 1;
constexpr std::uint32_t kVersion = 2;
constexpr std::size_t kBinaryHeaderBytes = 24;
constexpr std::uint32_t kNoEnergy = 0xFFFFFFFF;
// Version 1 files do not say where the energy is; they were written with the
// extractor's layout, where it follows the 12 cepstra.
constexpr std::uint32_t kFirstVersionEnergyIndex = 12;

// The layout of a version 1 file, which its dimension alone tells.
std::optional<std::uint32_t> FirstVersionEnergyIndex(std::uint32_t dimension) {
    if (dimension > kFirstVersionEnergyIndex) return kFirstVersionEnergyIndex;
    return std::nullopt;
}

std::optional<std::uint32_t> EnergyIndexFromFile(std::uint32_t value) {
    if (value == kNoEnergy) return std::nullopt;
    return value;
}

bool CheckLayout(const FeatureMatrix& features, std::string& problem) {
    if (features.dimension == 0 || features.dimension > kMaxDimension) {
        problem = "bad feature dimension " + std::to_string(features.dimension);
        return false;
    }
    if (features.energyIndex && *features.energyIndex >= features.dimension) {
        problem = "energy index " + std::to_string(*features.energyIndex) + " lies outside frames of " +
                  std::to_string(features.dimension) + " values";
        return false;
    }
    return true;
}

bool ReadBinary(const std::string& path, std::string_view bytes, FeatureMatrix& features, std::string& error) {
    ByteReader reader(bytes);
    std::uint32_t version = 0;
    if (!reader.ReadTag(kBinaryMagic)) {
        error = path + ": not a binary feature file";
        return false;
    }
    if (!reader.ReadU32(version) || !reader.ReadU32(features.frameCount) || !reader.ReadU32(features.dimension) ||
        !reader.ReadU32(features.framePeriod100ns)) {
        error = path + ": feature file header is cut short";
        return false;
    }
    if (version != kFirstVersion && version != kVersion) {
        error = path + ": unsupported feature file version " + std::to_string(version);
        return false;
    }
    std::uint32_t energyIndex = kNoEnergy;
    if (version == kVersion && !reader.ReadU32(energyIndex)) {
        error = path + ": feature file header is cut short";
        return false;
    }
    features.energyIndex =
        version == kVersion ? EnergyIndexFromFile(energyIndex) : FirstVersionEnergyIndex(features.dimension);
    std::string problem;
    if (!CheckLayout(features, problem)) {
        error = path + ": " + problem;
        return false;
    }
    const std::uint64_t count = std::uint64_t(features.frameCount) * features.dimension;
    if (count * 4 != reader.Remaining()) {
        error = path + ": file length does not match " + std::to_string(features.frameCount) + " frames of " +
                std::to_string(features.dimension) + " values";
        return false;
    }
    features.values.resize(count);
    reader.ReadF32s(features.values.data(), count);
    if (!std::all_of(features.values.begin(), features.values.end(),
                     [](float value) { return std::isfinite(value); })) {
        error = path + ": feature value is not a finite number";
        return false;
    }
    return true;
}

bool ReadText(const std::string& path, std::string_view text, FeatureMatrix& features, std::string& error) {
    TokenReader reader(text, path);
    std::uint32_t version = 0;
    if (!reader.Expect(kTextMagic, error) || !reader.ReadUnsigned(version, error)) return false;
    if (version != kFirstVersion && version != kVersion) {
        error = reader.Problem("unsupported feature file version " + std::to_string(version));
        return false;
    }
    if (!reader.Expect("frames", error) || !reader.ReadUnsigned(features.frameCount, error) ||
        !reader.Expect("dimension", error) || !reader.ReadUnsigned(features.dimension, error) ||
        !reader.Expect("frame_period", error) || !reader.ReadUnsigned(features.framePeriod100ns, error))
        return false;
    features.energyIndex = FirstVersionEnergyIndex(features.dimension);
    if (version == kVersion) {
        std::string energy;
        if (!reader.Expect("energy_index", error) || !reader.ReadWord(energy, error)) return false;
        long long index = 0;
        if (energy == "none") {
            features.energyIndex = std::nullopt;
        } else if (ParseInt(energy, index) && index >= 0 && index < kNoEnergy) {
            features.energyIndex = std::uint32_t(index);
        } else {
            error = reader.Problem("expected an energy index or \"none\", found \"" + energy + "\"");
            return false;
        }
    }
    std::string problem;
    if (!CheckLayout(features, problem)) {
        error = reader.Problem(problem);
        return false;
    }
    const std::uint64_t count = std::uint64_t(features.frameCount) * features.dimension;
    if (count > reader.Remaining() / 2 + 1) {
        error = reader.Problem("file too short for " + std::to_string(features.frameCount) + " frames");
        return false;
    }
    features.values.resize(count);
    for (float& value : features.values)
        if (!reader.ReadFloat(value, error)) return false;
    if (!reader.AtEnd()) {
        error = reader.Problem("unexpected text after the last frame");
        return false;
    }
    return true;
}

std::string EncodeBinary(const FeatureMatrix& features) {
    std::string bytes(kBinaryMagic);
    bytes.reserve(kBinaryHeaderBytes + features.values.size() * 4);
    AppendU32(bytes, kVersion);
    AppendU32(bytes, features.frameCount);
    AppendU32(bytes, features.dimension);
    AppendU32(bytes, features.framePeriod100ns);
    AppendU32(bytes, features.energyIndex.value_or(kNoEnergy));
    AppendF32s(bytes, features.values);
    return bytes;
}

std::string EncodeText(const FeatureMatrix& features) {
    std::string text = std::string(kTextMagic) + " " + std::to_string(kVersion) + "\nframes " +
                       std::to_string(features.frameCount) + "\ndimension " + std::to_string(features.dimension) +
                       "\nframe_period " + std::to_string(features.framePeriod100ns) + "\nenergy_index " +
                       (features.energyIndex ? std::to_string(*features.energyIndex) : std::string("none")) + "\n";
    for (std::uint32_t frame = 0; frame < features.frameCount; ++frame) {
        const float* values = features.Frame(frame);
        for (std::uint32_t d = 0; d < features.dimension; ++d) {
            if (d > 0) text += ' ';
            text += FormatFloat(values[d]);
        }
        text += '\n';
    }
    return text;
}

}  // namespace

bool ReadFeatureFile(const std::string& path, bool binary, FeatureMatrix& features, std::string& error) {
    std::string contents;
    if (!ReadWholeFile(path, contents, error)) return false;
    features = FeatureMatrix{};
    const bool read = binary ? ReadBinary(path, contents, features, error) : ReadText(path, contents, features, error);
    if (!read) features = FeatureMatrix{};
    return read;
}

bool WriteFeatureFile(const std::string& path, bool binary, const FeatureMatrix& features, std::string& error) {
    std::string problem;
    if (!CheckLayout(features, problem) ||
        features.values.size() != std::size_t(features.frameCount) * features.dimension) {
        error = path + ": feature matrix is inconsistent, nothing written";
        return false;
    }
    for (float value : features.values) {
        if (!std::isfinite(value)) {
            error = path + ": feature value is not a finite number, nothing written";
            return false;
        }
    }
    return WriteFileAtomically(path, binary ? EncodeBinary(features) : EncodeText(features), error);
}

}  // namespace speech
