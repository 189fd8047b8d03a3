#pragma once
// Recordings padded with digital silence (exact zero samples, as a capture
// layer may add to fill its last buffer) give runs of identical feature
// frames at their ends. Such frames say nothing about the speaker's room, and
// they shift the cepstral mean of the recording by an amount that depends on
// the padding's length: the trainer and the decoder remove them before they
// normalise the features.

#include "features/feature_file.h"
#include "features/speech_span.h"

namespace speech {

// Removes the runs of frames at either end whose static values (cepstra and
// energy: the values up to the energy index) are identical to those of the
// outermost frame, when a run is at least 3 frames long. Frames are left
// alone when nothing would remain. Returns the frames kept, numbered as they
// were before.
FrameSpan RemoveDigitalSilence(FeatureMatrix& features);

}  // namespace speech
