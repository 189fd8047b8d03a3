#pragma once
// Speed perturbation of a recording's features: the features the same take
// would give if it had been spoken `factor` times as fast by a vocal tract
// 1/factor as long, every frequency scaled by `factor` and the duration
// divided by it (as a recording played back at `factor` times its sample
// rate). A user's takes of one word differ in just these ways, so copies of
// one take at a few factors stand in for takes not recorded.
//
// Works on the cepstra: the log filterbank outputs are recovered from them
// (smoothed, as the cepstra keep them), resampled on the mel axis, and turned
// back into cepstra; the frames are resampled in time, and the deltas and
// accelerations computed again from the new static values.

#include "features/feature_extractor.h"
#include "features/feature_file.h"

namespace speech {

// False, leaving `copy` alone, when `features` are not laid out as
// `extraction` with energy, deltas and accelerations gives them (cepstra,
// the energy, then the deltas and accelerations of both), or `factor` is
// not positive.
bool SpeedPerturbedFeatures(const FeatureMatrix& features, double factor, const FeatureOptions& extraction,
                            FeatureMatrix& copy);

}  // namespace speech
