#pragma once
// Argument vectors that training and decoding share.

#include <string>
#include <vector>

// The 31 entries of a feature extraction call: the engine reads each
// recording named in `rawListFile` and writes the feature file named on the
// same line of `mfcListFile`. Training and decoding pass the same options,
// so their features are computed alike.
std::vector<std::string> FeatureExtractionArguments(const char* rawListFile, const char* mfcListFile);
