#pragma once
// The decoder's output file: one line per word of the best path, "SSSS EEEE
// WORD SCORE", first and last frame with four digits (capped at 9999), the
// score being the word's average acoustic log-likelihood per frame.

#include <string>
#include <vector>

#include "decoding/decoder.h"

namespace speech {

std::string FormatDecoderOutput(const std::vector<DecodedWord>& words);

}  // namespace speech
