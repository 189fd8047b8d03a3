#include "features/feature_normalization.h"

#include "features/digital_silence.h"
#include "features/feature_statistics.h"

namespace speech {

void NormalizeMeanAndVariance(FeatureMatrix& features) {
    FeatureStatistics statistics;
    if (features.frameCount == 0 || !statistics.Add(features)) return;
    const std::vector<double> mean = statistics.Mean();
    const std::vector<double> scale = statistics.InverseDeviation();
    const std::uint32_t dimension = features.dimension;
    for (std::uint32_t t = 0; t < features.frameCount; ++t) {
        float* frame = features.values.data() + std::size_t(t) * dimension;
        for (std::uint32_t d = 0; d < dimension; ++d) frame[d] = float((frame[d] - mean[d]) * scale[d]);
    }
}

bool PrepareRecordingFeatures(FeatureMatrix& features, FrameSpan& kept, FrameSpan& speech, std::string& error) {
    kept = RemoveDigitalSilence(features);
    NormalizeMeanAndVariance(features);
    return DetectSpeech(features, speech, error);
}

bool PrepareCopyFeatures(FeatureMatrix& copy, const FrameSpan& kept, std::uint32_t recordingFrames) {
    if (copy.frameCount != recordingFrames || kept.end > copy.frameCount || kept.begin >= kept.end) return false;
    const std::uint32_t dimension = copy.dimension;
    copy.values.erase(copy.values.begin() + std::ptrdiff_t(std::size_t(kept.end) * dimension), copy.values.end());
    copy.values.erase(copy.values.begin(), copy.values.begin() + std::ptrdiff_t(std::size_t(kept.begin) * dimension));
    copy.frameCount = kept.end - kept.begin;
    NormalizeMeanAndVariance(copy);
    return true;
}

}  // namespace speech
