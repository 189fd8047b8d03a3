#include "features/feature_extractor.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace speech {
namespace {

// Filterbank outputs and frame energies below 1 (in squared 16-bit sample
// units) are floored there: digital silence gives log 0 instead of a huge
// negative number that would swamp the statistics.
constexpr double kPowerFloor = 1.0;
// Normalised log energy: frames more than 50 dB below the loudest are raised
// to that level, and the distance from the loudest is scaled by 0.1.
constexpr double kSilenceFloorLog = 50.0 * std::numbers::ln10 / 10.0;
constexpr double kEnergyScale = 0.1;

std::uint32_t WholeSamples(double sampleRate, double milliseconds) {
    // The small allowance keeps durations that are whole sample counts in
    // exact arithmetic from losing a sample to rounding.
    const double samples = std::floor(sampleRate * milliseconds / 1000.0 + 1e-9);
    if (!(samples >= 0.0)) return 0;
    if (samples >= double(UINT32_MAX)) return UINT32_MAX;
    return static_cast<std::uint32_t>(samples);
}

std::size_t FftSizeFor(std::uint32_t window) {
    std::size_t size = 2;
    while (size < window) size *= 2;
    return size;
}

}  // namespace

bool CheckFeatureOptions(const FeatureOptions& options, std::string& error) {
    if (!(options.sampleRate >= 1000.0 && options.sampleRate <= 192000.0)) {
        error = "-sf must be a sample rate from 1000 to 192000 Hz";
    } else if (!(options.windowMs > 0.0) || WindowSamples(options) < 2 || WindowSamples(options) > 65536) {
        error = "-window_dur must give a window of 2 to 65536 samples";
    } else if (!(options.frameMs > 0.0) || ShiftSamples(options) < 1 || ShiftSamples(options) > 65536) {
        error = "-frame_dur must give a frame shift of 1 to 65536 samples";
    } else if (!(options.preEmphasis >= 0.0 && options.preEmphasis <= 1.0)) {
        error = "-pre_emph_coeff must lie from 0 to 1";
    } else if (options.filterCount < 2 || options.filterCount > 256) {
        error = "-num_fbanks must be from 2 to 256";
    } else if (options.cepstrumCount < 1 || options.cepstrumCount >= options.filterCount) {
        error = "-mfcc must be from 1 to one less than -num_fbanks";
    } else if (!(options.lifter >= 0.0 && options.lifter <= 1e6)) {
        error = "-lifter_coeff must be 0 (none) or positive";
    } else if (options.deltaWindow < 1 || options.deltaWindow > 100) {
        error = "-delta_win must be from 1 to 100";
    } else if (options.energyNormalise && !options.energy) {
        error = "-energy_norm needs -energy";
    } else if (options.accelerations && !options.deltas) {
        error = "-acc needs -delta";
    } else {
        return true;
    }
    return false;
}

double Mel(double hertz) { return 1127.0 * std::log(1.0 + hertz / 700.0); }

double HertzOfMel(double mel) { return 700.0 * (std::exp(mel / 1127.0) - 1.0); }

double FilterSpacingMel(const FeatureOptions& options) {
    return Mel(options.sampleRate / 2.0) / (options.filterCount + 1);
}

std::vector<double> LifterWeights(const FeatureOptions& options) {
    std::vector<double> weights(options.cepstrumCount, 1.0);
    if (options.lifter > 0.0)
        for (std::uint32_t i = 1; i <= options.cepstrumCount; ++i)
            weights[i - 1] = 1.0 + options.lifter / 2.0 * std::sin(std::numbers::pi * i / options.lifter);
    return weights;
}

std::vector<double> CepstrumMatrix(const FeatureOptions& options) {
    const std::uint32_t filters = options.filterCount;
    const std::vector<double> lifter = LifterWeights(options);
    std::vector<double> matrix(std::size_t(options.cepstrumCount) * filters);
    for (std::uint32_t i = 1; i <= options.cepstrumCount; ++i)
        for (std::uint32_t k = 0; k < filters; ++k)
            matrix[std::size_t(i - 1) * filters + k] =
                lifter[i - 1] * std::sqrt(2.0 / filters) * std::cos(std::numbers::pi * i * (k + 0.5) / filters);
    return matrix;
}

std::uint32_t WindowSamples(const FeatureOptions& options) {
    return WholeSamples(options.sampleRate, options.windowMs);
}

std::uint32_t ShiftSamples(const FeatureOptions& options) { return WholeSamples(options.sampleRate, options.frameMs); }

std::uint32_t FrameCount(std::size_t samples, std::uint32_t window, std::uint32_t shift) {
    if (window == 0 || shift == 0 || samples < window) return 0;
    return static_cast<std::uint32_t>(std::min<std::size_t>(1 + (samples - window) / shift, UINT32_MAX));
}

void AppendDeltas(std::vector<float>& values, std::uint32_t frames, std::uint32_t& dimension, std::uint32_t offset,
                  std::uint32_t width, std::uint32_t window) {
    const std::uint32_t newDimension = dimension + width;
    std::vector<float> result(std::size_t(frames) * newDimension);
    double normaliser = 0.0;
    for (std::uint32_t theta = 1; theta <= window; ++theta) normaliser += 2.0 * theta * theta;
    const auto at = [&](std::int64_t frame, std::uint32_t d) {
        const std::int64_t clamped = std::clamp<std::int64_t>(frame, 0, std::int64_t(frames) - 1);
        return double(values[std::size_t(clamped) * dimension + offset + d]);
    };
    for (std::uint32_t t = 0; t < frames; ++t) {
        float* out = result.data() + std::size_t(t) * newDimension;
        std::copy_n(values.data() + std::size_t(t) * dimension, dimension, out);
        for (std::uint32_t d = 0; d < width; ++d) {
            double sum = 0.0;
            for (std::uint32_t theta = 1; theta <= window; ++theta)
                sum += theta * (at(std::int64_t(t) + theta, d) - at(std::int64_t(t) - theta, d));
            out[dimension + d] = static_cast<float>(normaliser > 0.0 ? sum / normaliser : 0.0);
        }
    }
    values = std::move(result);
    dimension = newDimension;
}

FeatureExtractor::FeatureExtractor(const FeatureOptions& options)
    : options_(options),
      window_(WindowSamples(options)),
      shift_(ShiftSamples(options)),
      fft_(std::make_unique<RealFft>(FftSizeFor(window_))) {
    hamming_.resize(window_);
    for (std::uint32_t i = 0; i < window_; ++i)
        hamming_[i] = static_cast<float>(0.54 - 0.46 * std::cos(2.0 * std::numbers::pi * i / (window_ - 1)));
    BuildFilterbank();
    const std::vector<double> dct = CepstrumMatrix(options_);
    dct_.assign(dct.begin(), dct.end());
    frame_.resize(window_);
    bands_.resize(options_.filterCount);
}

// Triangular filters spaced evenly on the mel scale from 0 Hz to half the
// sample rate. Centre k (1..K) lies at k / (K + 1) of the mel range; a bin
// between centres k and k + 1 feeds the falling slope of filter k and the
// rising slope of filter k + 1 with weights that sum to 1.
void FeatureExtractor::BuildFilterbank() {
    const std::size_t bins = fft_->Size() / 2 + 1;
    const double spacing = FilterSpacingMel(options_);
    binFilter_.assign(bins, -1);
    binWeight_.assign(bins, 0.0f);
    for (std::size_t j = 0; j < bins; ++j) {
        const double mel = Mel(double(j) * options_.sampleRate / double(fft_->Size())) / spacing;
        const auto below = static_cast<std::int64_t>(std::floor(mel));
        if (below > std::int64_t(options_.filterCount)) continue;
        binFilter_[j] = static_cast<std::int32_t>(below);
        binWeight_[j] = static_cast<float>(1.0 - (mel - double(below)));
    }
}

void FeatureExtractor::LogFilterbank(const std::int16_t* window, std::vector<float>& bands, float& logEnergy) {
    double mean = 0.0;
    if (options_.zeroMean) {
        for (std::uint32_t i = 0; i < window_; ++i) mean += window[i];
        mean /= window_;
    }
    double energy = 0.0;
    for (std::uint32_t i = 0; i < window_; ++i) {
        frame_[i] = static_cast<float>(window[i] - mean);
        energy += double(frame_[i]) * frame_[i];
    }
    logEnergy = static_cast<float>(std::log(std::max(energy, kPowerFloor)));

    const float k = static_cast<float>(options_.preEmphasis);
    float* input = fft_->Input();
    for (std::uint32_t i = window_ - 1; i > 0; --i) input[i] = (frame_[i] - k * frame_[i - 1]) * hamming_[i];
    input[0] = frame_[0] * (1.0f - k) * hamming_[0];
    std::fill(input + window_, input + fft_->Size(), 0.0f);
    fft_->PowerSpectrum(power_);

    const std::int32_t filters = static_cast<std::int32_t>(options_.filterCount);
    std::vector<double>& sums = filterSums_;
    sums.assign(filters, 0.0);
    for (std::size_t j = 0; j < power_.size(); ++j) {
        const std::int32_t below = binFilter_[j];
        if (below < 0) continue;
        if (below >= 1) sums[below - 1] += double(binWeight_[j]) * power_[j];
        if (below < filters) sums[below] += (1.0 - binWeight_[j]) * power_[j];
    }
    bands.resize(filters);
    for (std::int32_t f = 0; f < filters; ++f) bands[f] = static_cast<float>(std::log(std::max(sums[f], kPowerFloor)));
}

void FeatureExtractor::Cepstra(const std::vector<float>& bands, float* out) const {
    const std::uint32_t filters = options_.filterCount;
    for (std::uint32_t i = 0; i < options_.cepstrumCount; ++i) {
        const float* row = dct_.data() + std::size_t(i) * filters;
        double sum = 0.0;
        for (std::uint32_t k = 0; k < filters; ++k) sum += double(row[k]) * bands[k];
        out[i] = static_cast<float>(sum);
    }
}

bool FeatureExtractor::Extract(const std::vector<std::int16_t>& samples, FeatureMatrix& features) {
    const std::uint32_t frames = FrameCount(samples.size(), window_, shift_);
    if (frames == 0) return false;
    const std::uint32_t cepstra = options_.cepstrumCount;
    std::uint32_t dimension = cepstra + (options_.energy ? 1 : 0);
    std::vector<float> values(std::size_t(frames) * dimension);
    for (std::uint32_t t = 0; t < frames; ++t) {
        float logEnergy = 0.0f;
        LogFilterbank(samples.data() + std::size_t(t) * shift_, bands_, logEnergy);
        float* out = values.data() + std::size_t(t) * dimension;
        Cepstra(bands_, out);
        if (options_.energy) out[cepstra] = logEnergy;
    }
    if (options_.energy && options_.energyNormalise) {
        float loudest = values[cepstra];
        for (std::uint32_t t = 1; t < frames; ++t)
            loudest = std::max(loudest, values[std::size_t(t) * dimension + cepstra]);
        const double floor = loudest - kSilenceFloorLog;
        for (std::uint32_t t = 0; t < frames; ++t) {
            float& energy = values[std::size_t(t) * dimension + cepstra];
            energy = static_cast<float>(1.0 - kEnergyScale * (loudest - std::max<double>(energy, floor)));
        }
    }
    if (options_.cepstralMeanSubtraction) {
        for (std::uint32_t d = 0; d < cepstra; ++d) {
            double mean = 0.0;
            for (std::uint32_t t = 0; t < frames; ++t) mean += values[std::size_t(t) * dimension + d];
            mean /= frames;
            for (std::uint32_t t = 0; t < frames; ++t)
                values[std::size_t(t) * dimension + d] =
                    static_cast<float>(values[std::size_t(t) * dimension + d] - mean);
        }
    }
    const std::uint32_t statics = dimension;
    if (options_.deltas) AppendDeltas(values, frames, dimension, 0, statics, options_.deltaWindow);
    if (options_.accelerations) AppendDeltas(values, frames, dimension, statics, statics, options_.deltaWindow);

    features.frameCount = frames;
    features.dimension = dimension;
    features.framePeriod100ns = static_cast<std::uint32_t>(std::lround(shift_ * 1e7 / options_.sampleRate));
    features.energyIndex = options_.energy ? std::optional<std::uint32_t>(cepstra) : std::nullopt;
    features.values = std::move(values);
    return true;
}

}  // namespace speech
