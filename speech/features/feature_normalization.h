#pragma once
// Mean and variance normalisation of a recording's features.

#include "features/feature_file.h"

namespace speech {

// Every value of a dimension, over the recording's frames, to zero mean and
// unit variance; a dimension that does not vary becomes all zero. Noise
// shrinks the spread of the cepstra and gain shifts them, so recordings made
// at different noise levels compare alike only once normalised.
void NormalizeMeanAndVariance(FeatureMatrix& features);

}  // namespace speech
