#pragma once
// A take with louder background noise of another kind. A user's takes of a
// word come from one room at different distances and levels, and its noise
// may be a low hum one day and a hiss the next: a word trained only on clean
// takes, or only on takes with one kind of noise, fails on a take with
// another. The trainer learns from a noisier copy of each take as well (the
// extractor writes one beside every feature file).

#include <cstdint>
#include <string>
#include <vector>

namespace speech {

// The copy's noise is at least this much louder than the take's own,
constexpr double kLouderNoiseDecibels = 6.0;
// and louder still when the take is clean: its word, the loudest fifth of its
// blocks, stands at most this far above the copy's noise.
constexpr double kNoisierCopyWordAboveNoiseDecibels = 17.0;

// Names the way the copy is made, among the extraction options that feature
// files are stamped with: files made by an earlier way are made again.
inline constexpr char kNoisierCopyRecipe[] = "noisier-copy:other-kind";

// The file beside a feature file that holds the features of the noisier copy
// of the same recording.
std::string NoisierCopyPath(const std::string& featurePath);

// `samples` with Gaussian noise added, of the kind the take lacks: white
// (a hiss) over a low-pitched background, brown (a rumble) over any other.
// The take's background is judged on its quietest blocks. Exact zeros at
// either end (a capture layer's padding) are neither counted as background
// nor given noise. The same take always gives the same copy. Empty when the
// take is too short to tell its background apart (fewer than four blocks
// besides the padding).
std::vector<std::int16_t> WithLouderNoise(const std::vector<std::int16_t>& samples);

}  // namespace speech
