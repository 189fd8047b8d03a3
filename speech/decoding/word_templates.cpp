#include "decoding/word_templates.h"

#include <cmath>
#include <cstring>

#include "common/tool_support.h"
#include "features/speech_span.h"

namespace speech {
namespace {

constexpr char kMagic[] = "PTPL";
constexpr std::uint32_t kVersion = 1;
constexpr std::uint32_t kMaxDimension = 4096;

void PutU32(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(char((value >> (8 * i)) & 0xff));
}

void PutFloat(std::string& out, float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, 4);
    PutU32(out, bits);
}

class Reader {
public:
    explicit Reader(const std::string& data) : data_(data) {}
    bool U32(std::uint32_t& value) {
        if (data_.size() - position_ < 4) return false;
        value = 0;
        for (int i = 0; i < 4; ++i) value |= std::uint32_t(static_cast<unsigned char>(data_[position_ + i])) << (8 * i);
        position_ += 4;
        return true;
    }
    bool Float(float& value) {
        std::uint32_t bits = 0;
        if (!U32(bits)) return false;
        std::memcpy(&value, &bits, 4);
        return std::isfinite(value);
    }
    bool Text(std::uint32_t length, std::string& text) {
        if (data_.size() - position_ < length) return false;
        text = data_.substr(position_, length);
        position_ += length;
        return true;
    }
    std::size_t Left() const { return data_.size() - position_; }

private:
    const std::string& data_;
    std::size_t position_ = 0;
};

}  // namespace

std::string TemplatePathFor(const std::string& statesPath) { return statesPath + ".templates"; }

std::string TemplateKey(const std::vector<std::string>& labels) {
    std::size_t first = 0, last = labels.size();
    if (last > first && labels[first] == "sil") ++first;
    if (last > first && labels[last - 1] == "sil") --last;
    std::string key;
    for (std::size_t i = first; i < last; ++i) key += (key.empty() ? "" : " ") + labels[i];
    return key;
}

FeatureMatrix SpeechFrames(const FeatureMatrix& features) {
    const FrameSpan span = DetectSpeech(features);
    FeatureMatrix speech;
    const std::uint32_t dimension = features.dimension;
    speech.dimension = dimension;
    speech.framePeriod100ns = features.framePeriod100ns;
    speech.frameCount = span.end - span.begin;
    speech.values.assign(features.values.begin() + std::ptrdiff_t(std::size_t(span.begin) * dimension),
                         features.values.begin() + std::ptrdiff_t(std::size_t(span.end) * dimension));
    if (speech.frameCount < 2) return speech;
    for (std::uint32_t d = 0; d < dimension; ++d) {
        double sum = 0.0, squares = 0.0;
        for (std::uint32_t t = 0; t < speech.frameCount; ++t) {
            const double value = speech.Frame(t)[d];
            sum += value;
            squares += value * value;
        }
        const double mean = sum / speech.frameCount;
        const double variance = squares / speech.frameCount - mean * mean;
        const double scale = variance > 1e-12 ? 1.0 / std::sqrt(variance) : 1.0;
        for (std::uint32_t t = 0; t < speech.frameCount; ++t) {
            float& value = speech.values[std::size_t(t) * dimension + d];
            value = float((value - mean) * scale);
        }
    }
    return speech;
}

bool WriteTemplates(const std::string& path, const TemplateSet& templates, std::string& error) {
    std::string out(kMagic, 4);
    PutU32(out, kVersion);
    PutU32(out, std::uint32_t(templates.templates.size()));
    PutU32(out, templates.dimension);
    for (const float scale : templates.scales) PutFloat(out, scale);
    for (const auto& entry : templates.templates) {
        PutU32(out, std::uint32_t(entry.key.size()));
        out += entry.key;
        PutU32(out, entry.frames.frameCount);
        for (const float value : entry.frames.values) PutFloat(out, value);
    }
    return WriteFileAtomically(path, out, error);
}

bool ReadTemplates(const std::string& path, TemplateSet& templates, std::string& error) {
    std::string data;
    if (!ReadWholeFile(path, data, error)) return false;
    templates = TemplateSet{};
    Reader reader(data);
    std::string magic;
    std::uint32_t version = 0, count = 0;
    if (!reader.Text(4, magic) || magic != std::string(kMagic, 4) || !reader.U32(version) || version != kVersion ||
        !reader.U32(count) || !reader.U32(templates.dimension) || templates.dimension == 0 ||
        templates.dimension > kMaxDimension) {
        error = path + ": not a template file of version 1";
        return false;
    }
    templates.scales.resize(templates.dimension);
    for (auto& scale : templates.scales)
        if (!reader.Float(scale)) {
            error = path + ": truncated or damaged";
            return false;
        }
    for (std::uint32_t i = 0; i < count; ++i) {
        WordTemplate entry;
        std::uint32_t length = 0, frames = 0;
        if (!reader.U32(length) || !reader.Text(length, entry.key) || !reader.U32(frames) ||
            std::uint64_t(frames) * templates.dimension * 4 > reader.Left()) {
            error = path + ": truncated or damaged";
            return false;
        }
        entry.frames.dimension = templates.dimension;
        entry.frames.frameCount = frames;
        entry.frames.values.resize(std::size_t(frames) * templates.dimension);
        for (auto& value : entry.frames.values)
            if (!reader.Float(value)) {
                error = path + ": truncated or damaged";
                return false;
            }
        templates.templates.push_back(std::move(entry));
    }
    return true;
}

}  // namespace speech
