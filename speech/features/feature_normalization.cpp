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

bool PrepareRecordingFeatures(FeatureMatrix& features, FrameSpan& speech, std::string& error) {
    RemoveDigitalSilence(features);
    NormalizeMeanAndVariance(features);
    return DetectSpeech(features, speech, error);
}

}  // namespace speech
