#pragma once
// Word templates: the speech frames of every training recording, kept by the
// trainer beside the trained states so that the decoder can compare a new
// recording with the recordings each word was trained on (dynamic time
// warping), as evidence besides the HMM scores.
//
// File (binary, little-endian): magic "PTPL", u32 version (1), u32 template
// count, u32 dimension, dimension float32 scales (the inverse standard
// deviation of each feature value over all training frames), then per
// template: u32 key length, the key (the recording's labels without the
// surrounding "sil", blank-separated), u32 frame count, frames x dimension
// float32 values.

#include <cstdint>
#include <string>
#include <vector>

#include "features/feature_file.h"
#include "features/speech_span.h"

namespace speech {

struct WordTemplate {
    std::string key;  // "y eh s"
    FeatureMatrix frames;
};

struct TemplateSet {
    std::uint32_t dimension = 0;
    std::vector<float> scales;
    std::vector<WordTemplate> templates;
};

// The template file that belongs to a trained states file.
std::string TemplatePathFor(const std::string& statesPath);

// The key of a label line: its labels without a leading and a trailing "sil".
std::string TemplateKey(const std::vector<std::string>& labels);

// The frames of `features` inside `span`, its speech, each value normalised
// to zero mean and unit variance over those frames: noise shrinks the spread
// of the cepstra and gain shifts them, so recordings made at different noise
// levels compare alike only once normalised.
FeatureMatrix SpeechFrames(const FeatureMatrix& features, const FrameSpan& span);

bool ReadTemplates(const std::string& path, TemplateSet& templates, std::string& error);
bool WriteTemplates(const std::string& path, const TemplateSet& templates, std::string& error);

}  // namespace speech
