#pragma once
// Mel-frequency cepstral features of one recording: framing, DC removal,
// pre-emphasis, Hamming window, power spectrum, mel filterbank, log, DCT,
// liftering, log energy, cepstral mean subtraction, deltas and accelerations.
// docs/formats.md ("Feature files") states every step exactly.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "features/feature_file.h"
#include "features/real_fft.h"

namespace speech {

struct FeatureOptions {
    double sampleRate = 11025.0;
    double windowMs = 20.0;
    double frameMs = 10.0;
    double preEmphasis = 0.97;
    std::uint32_t filterCount = 22;
    std::uint32_t cepstrumCount = 12;
    double lifter = 36.0;
    std::uint32_t deltaWindow = 2;
    bool zeroMean = false;
    bool energy = false;
    bool energyNormalise = false;
    bool cepstralMeanSubtraction = false;
    bool deltas = false;
    bool accelerations = false;
};

// False with `error` set when the options cannot describe a feature
// computation (a window of fewer than 2 samples, more cepstra than filters
// allow, accelerations without deltas, ...). FeatureExtractor needs options
// that pass.
bool CheckFeatureOptions(const FeatureOptions& options, std::string& error);

// Whole samples in a window and between frame starts (the durations are
// truncated to whole samples).
std::uint32_t WindowSamples(const FeatureOptions& options);
std::uint32_t ShiftSamples(const FeatureOptions& options);
// 0 when fewer samples than one window, else 1 + (samples - window) / shift.
std::uint32_t FrameCount(std::size_t samples, std::uint32_t window, std::uint32_t shift);

// The mel scale of the filterbank, and its inverse.
double Mel(double hertz);
double HertzOfMel(double mel);
// Mel distance between the centres of neighbouring filters: centre k
// (1..filterCount) lies at k times this.
double FilterSpacingMel(const FeatureOptions& options);
// The DCT that turns log filterbank outputs into cepstra 1..cepstrumCount,
// liftering included: cepstrumCount x filterCount, row-major. Without the
// lifter its rows are orthonormal.
std::vector<double> CepstrumMatrix(const FeatureOptions& options);
// The lifter's weight of cepstrum 1..cepstrumCount, in that order.
std::vector<double> LifterWeights(const FeatureOptions& options);

// Appends to every frame the regression deltas of its first `width` values
// over `window` frames each side, repeating the first and last frames at the
// edges. `values` is frame-major with `dimension` values per frame, and
// `dimension` grows by `width`.
void AppendDeltas(std::vector<float>& values, std::uint32_t frames, std::uint32_t& dimension, std::uint32_t offset,
                  std::uint32_t width, std::uint32_t window);

class FeatureExtractor {
public:
    explicit FeatureExtractor(const FeatureOptions& options);

    // Features of a whole recording; false when it holds no full window.
    bool Extract(const std::vector<std::int16_t>& samples, FeatureMatrix& features);
    // The log mel filterbank outputs of one window of samples, and its log
    // energy: the stage before the DCT.
    void LogFilterbank(const std::int16_t* window, std::vector<float>& bands, float& logEnergy);

private:
    void BuildFilterbank();
    void Cepstra(const std::vector<float>& bands, float* out) const;

    FeatureOptions options_;
    std::uint32_t window_;
    std::uint32_t shift_;
    std::unique_ptr<RealFft> fft_;
    std::vector<float> hamming_;
    std::vector<std::int32_t> binFilter_;  // filter a bin's falling slope belongs to, -1 for none
    std::vector<float> binWeight_;         // weight of that falling slope; 1 - weight goes to the next filter
    std::vector<float> dct_;               // cepstrumCount x filterCount, liftering included
    std::vector<float> frame_;
    std::vector<float> power_;
    std::vector<float> bands_;
    std::vector<double> filterSums_;  // each filter's weighted power, summed over its bins
};

}  // namespace speech
