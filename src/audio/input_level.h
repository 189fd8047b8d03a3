#pragma once
// The loudness of what the capture device delivers, for a level meter. The
// notification thread notes the samples it puts into buffers; the window
// takes the peak a few times a second. Nothing runs on the audio callback.

#include <cstddef>

// Notes `byteCount` bytes of little-endian 16-bit samples.
void NoteInputSamples(const char* bytes, std::size_t byteCount);

// The largest magnitude noted since the last call, from 0 (silence) to 1
// (full scale); noting starts again from silence.
double TakeInputPeak();
