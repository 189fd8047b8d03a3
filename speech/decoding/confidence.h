#pragma once
// How sure the recogniser is that a recording holds the word it chose: a
// number in [0, 1] that behaves like the probability of being right. It
// weighs the chosen word against what stands for "no vocabulary word":
// - any other sound: the best state of any model at every frame of the word
//   (a free loop of every trained state, the garbage model), whose lead over
//   the word's own states grows when the word was never trained;
// - silence and noise alone: the silence model's best state at every frame
//   of the recording;
// and adds what the word templates tell: how near the recording is to the
// nearest of the word's templates, how straight the warping path to it runs
// (the share of its steps that pair frames off one to one), and how far its
// length is from theirs.
// The evidence is combined by a logistic function, mapped to the share of
// right answers; both were fitted to recognitions of trained words,
// untrained words and recordings without speech, for one and three takes
// per word and vocabularies of three to twenty words. The number of templates the word has (its takes and their
// perturbed copies) enters it, since one take makes every distance larger
// and every model less sure.

#include <array>
#include <cstdint>
#include <limits>
#include <string_view>

namespace speech {

// Below this confidence the decoder names no word. It is low on purpose: a
// word the user trained is rarely refused (a few in a hundred takes with one
// take per word, hardly ever with three), at the price of letting through
// some words that were never trained (about one in six with one take, one in
// twenty with three; a word that differs from a trained one in a single
// sound, "cat" for "cap", nearly always).
inline constexpr double kAcceptanceThreshold = 0.08;

struct ConfidenceEvidence {
    // Average log-likelihoods per frame.
    double wordLogLikelihood = 0.0;     // the word's own frames under its states
    double garbageLogLikelihood = 0.0;  // the same frames, the best state of any model at each
    double pathLogLikelihood = 0.0;     // the whole recording along the chosen path
    double silenceLogLikelihood = 0.0;  // the whole recording, the best silence state at each frame
    // Warping distance to the nearest of the word's templates; infinity without.
    double templateDistance = std::numeric_limits<double>::infinity();
    // The share of the diagonal steps on the warping path to that template;
    // 0 without.
    double diagonalShare = 0.0;
    double speechFrames = 0.0;    // the recording's speech
    double templateFrames = 0.0;  // the word's templates, on average
    std::uint32_t templates = 0;  // the word's templates: its takes and their copies
};

// The terms of the evidence that the logistic function weighs, by name.
// The decoder prints them for every recognition that reaches the network's
// end when the environment variable SPEECH_CONFIDENCE_TERMS is set, so that
// the weights and the calibration can be fitted again after a change to the
// models (bench/accuracy/fit_confidence.py).
struct ConfidenceTerm {
    std::string_view name;
    double value = 0.0;
};
inline constexpr std::size_t kConfidenceTerms = 8;
std::array<ConfidenceTerm, kConfidenceTerms> ConfidenceTerms(const ConfidenceEvidence& evidence);

// The confidence, in [0, 1].
double Confidence(const ConfidenceEvidence& evidence);

}  // namespace speech
