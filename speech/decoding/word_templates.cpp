#include "decoding/word_templates.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "common/format_io.h"
#include "common/tool_support.h"
#include "features/feature_normalization.h"
#include "features/speech_span.h"
#include "models/model_inventory.h"

namespace speech {
namespace {

constexpr std::string_view kMagic = "PTPL";
constexpr std::uint32_t kVersion = 1;

bool ReadFiniteF32(ByteReader& reader, float& value) { return reader.ReadF32(value) && std::isfinite(value); }

}  // namespace

std::string TemplatePathFor(const std::string& statesPath) { return statesPath + ".templates"; }

std::string TemplateKey(const std::vector<std::string>& labels) {
    std::size_t first = 0, last = labels.size();
    if (last > first && labels[first] == kSilenceModel) ++first;
    if (last > first && labels[last - 1] == kSilenceModel) --last;
    std::string key;
    for (std::size_t i = first; i < last; ++i) key += (key.empty() ? "" : " ") + labels[i];
    return key;
}

FeatureMatrix SpeechFrames(const FeatureMatrix& features, const FrameSpan& span) {
    FeatureMatrix speech;
    const std::uint32_t dimension = features.dimension;
    speech.dimension = dimension;
    speech.framePeriod100ns = features.framePeriod100ns;
    speech.energyIndex = features.energyIndex;
    speech.frameCount = span.end - span.begin;
    speech.values.assign(features.values.begin() + std::ptrdiff_t(std::size_t(span.begin) * dimension),
                         features.values.begin() + std::ptrdiff_t(std::size_t(span.end) * dimension));
    if (speech.frameCount >= 2) NormalizeMeanAndVariance(speech);
    return speech;
}

bool WriteTemplates(const std::string& path, const TemplateSet& templates, std::string& error) {
    // The frames go to the file from where they lie, not through one string
    // of the whole file: with a hundred words that is megabytes less to copy.
    std::string header(kMagic);
    AppendU32(header, kVersion);
    AppendU32(header, std::uint32_t(templates.templates.size()));
    AppendU32(header, templates.dimension);
    for (const float scale : templates.scales) AppendF32(header, scale);
    std::vector<std::string> prefixes, values;
    prefixes.reserve(templates.templates.size());
    values.reserve(templates.templates.size());
    std::vector<std::string_view> pieces{header};
    for (const auto& entry : templates.templates) {
        std::string& prefix = prefixes.emplace_back();
        AppendU32(prefix, std::uint32_t(entry.key.size()));
        prefix += entry.key;
        AppendU32(prefix, entry.frames.frameCount);
        pieces.push_back(prefix);
        if constexpr (std::endian::native == std::endian::little) {
            pieces.emplace_back(reinterpret_cast<const char*>(entry.frames.values.data()),
                                4 * entry.frames.values.size());
        } else {
            AppendF32s(values.emplace_back(), entry.frames.values);
            pieces.push_back(values.back());
        }
    }
    return WriteFileAtomically(path, pieces, error);
}

bool ReadTemplates(const std::string& path, TemplateSet& templates, std::string& error) {
    std::string data;
    if (!ReadWholeFile(path, data, error)) return false;
    templates = TemplateSet{};
    ByteReader reader(data);
    std::uint32_t version = 0, count = 0;
    if (!reader.ReadTag(kMagic) || !reader.ReadU32(version) || version != kVersion || !reader.ReadU32(count) ||
        !reader.ReadU32(templates.dimension) || templates.dimension == 0 || templates.dimension > kMaxDimension) {
        error = path + ": not a template file of version 1";
        return false;
    }
    templates.scales.resize(templates.dimension);
    for (auto& scale : templates.scales)
        if (!ReadFiniteF32(reader, scale)) {
            error = path + ": truncated or damaged";
            return false;
        }
    for (std::uint32_t i = 0; i < count; ++i) {
        WordTemplate entry;
        std::uint32_t length = 0, frames = 0;
        if (!reader.ReadU32(length) || !reader.ReadBytes(length, entry.key) || !reader.ReadU32(frames) ||
            std::uint64_t(frames) * templates.dimension * 4 > reader.Remaining()) {
            error = path + ": truncated or damaged";
            return false;
        }
        entry.frames.dimension = templates.dimension;
        entry.frames.frameCount = frames;
        auto& values = entry.frames.values;
        values.resize(std::size_t(frames) * templates.dimension);
        if (!reader.ReadF32s(values.data(), values.size()) ||
            !std::all_of(values.begin(), values.end(), [](float value) { return std::isfinite(value); })) {
            error = path + ": truncated or damaged";
            return false;
        }
        templates.templates.push_back(std::move(entry));
    }
    return true;
}

}  // namespace speech
