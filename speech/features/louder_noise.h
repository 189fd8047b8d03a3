#pragma once
// A take with more of its own background noise. A user's takes of a word
// come from one room at different distances and levels, so their
// signal-to-noise ratios differ by ten decibels and more; a word trained
// only on clean takes then fails on a noisier one, and a noisy take lets
// too much through. The trainer learns from a noisier copy of each take as
// well (the extractor writes one beside every feature file).

#include <cstdint>
#include <string>
#include <vector>

namespace speech {

// How much louder the copy's noise is than the take's own.
constexpr double kLouderNoiseDecibels = 6.0;

// The file beside a feature file that holds the features of the noisier copy
// of the same recording.
std::string NoisierCopyPath(const std::string& featurePath);

// `samples` with noise added so that its background noise is `decibels`
// louder. The noise is the take's own: its quietest blocks (those least likely
// to hold speech), picked in a fixed pseudo-random order and cross-faded end to
// end, so its colour and level are the room's. Empty when the take is too short
// to tell its noise apart (fewer than four blocks).
std::vector<std::int16_t> WithLouderNoise(const std::vector<std::int16_t>& samples, double decibels);

}  // namespace speech
