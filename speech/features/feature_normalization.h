#pragma once
// Mean and variance normalisation of features, and the preparation every
// recording's features get before training or decoding.

#include <string>

#include "features/feature_file.h"
#include "features/speech_span.h"

namespace speech {

// Every value of a dimension, over all frames, to zero mean and unit
// variance; a dimension that does not vary becomes all zero. Noise shrinks
// the spread of the cepstra and gain shifts them, so recordings made at
// different noise levels compare alike only once normalised.
void NormalizeMeanAndVariance(FeatureMatrix& features);

// The features of one recording as the trainer and the decoder use them: the
// digital silence at its ends dropped (`kept` tells the frames that stay),
// then normalised over the recording; and where its speech lies. False with
// `error` set when they carry no energy value to find the speech by.
bool PrepareRecordingFeatures(FeatureMatrix& features, FrameSpan& kept, FrameSpan& speech, std::string& error);

// The features of a noisier copy of a recording prepared as the recording's
// were: cut to the frames the recording kept (`kept`, out of
// `recordingFrames`), then normalised. The copy's speech is taken to lie
// where the recording's does, which the added noise could hide. False when
// the copy does not have the recording's frames.
bool PrepareCopyFeatures(FeatureMatrix& copy, const FrameSpan& kept, std::uint32_t recordingFrames);

}  // namespace speech
