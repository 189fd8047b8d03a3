#pragma once
// The decoder's output file: one line per word of the chosen path, "SSSS EEEE
// WORD CONFIDENCE LOGLIKELIHOOD": first and last frame with four digits
// (capped at 9999), the recognition's confidence in [0, 1] with two decimals
// (the same on every line), and the word's average acoustic log-likelihood
// per frame. A recognition whose confidence is below the acceptance
// threshold names no word: of a one-word sentence only the first and last
// words (the sentence boundaries) are written, of any other path nothing.

#include <string>
#include <vector>

#include "decoding/word_recognizer.h"

namespace speech {

std::string FormatDecoderOutput(const Recognition& recognition);

// "confidence-terms WORD NAME=VALUE..." and a newline: the word the decoder
// chose (accepted or not; the path's words joined by "+" when it is not a
// one-word sentence) and the terms its confidence weighed
// (ConfidenceTerms). Empty for a recognition without evidence.
std::string FormatConfidenceTerms(const Recognition& recognition);

}  // namespace speech
