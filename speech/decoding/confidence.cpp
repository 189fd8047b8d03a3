#include "decoding/confidence.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace speech {
namespace {

// Limits that keep one extreme piece of evidence from outweighing the rest.
constexpr double kLowestLogLikelihoodRatio = -60.0;
constexpr double kLargestDistance = 12.0;
constexpr double kLargestSilenceRatio = 100.0;

// The logistic function's bias and weights, one per term in the order of
// ConfidenceTerms, fitted by maximum likelihood (bench/accuracy/
// fit_confidence.py) to the 3,938 recognitions of the rejection benchmark
// that reached the word network's end (bench/accuracy/run_rejection.py: half
// of each task's words trained on one or three takes, every word and the
// recordings without speech recognised) on a corpus of six speakers other
// than the one the figures are reported on. The terms are correlated, so a
// single weight says little on its own: the length mismatch, given the rest,
// came out slightly in the word's favour.
constexpr double kBias = 7.20201;
constexpr std::array<double, kConfidenceTerms> kWeights = {1.38117, -3.45444, -1.01991, -3.35721,
                                                           0.468706, 17.6373, 0.0145744};

// The logistic function alone came out too sure of its best answers and not
// sure enough of middling ones; this map, from its value to the share of
// answers that were right at that value on the same recognitions, makes the
// confidence behave like a probability. Linear between the points; the last
// is the share right at 0.99 and above.
struct CalibrationPoint {
    double logistic;
    double probability;
};
constexpr CalibrationPoint kCalibration[] = {{0.0, 0.0},     {0.019, 0.007}, {0.147, 0.105}, {0.248, 0.305},
                                             {0.348, 0.420}, {0.448, 0.426}, {0.549, 0.562}, {0.653, 0.776},
                                             {0.752, 0.823}, {0.857, 0.875}, {0.958, 0.932}, {1.0, 0.961}};

double Calibrated(double logistic) {
    for (std::size_t i = 1; i < std::size(kCalibration); ++i) {
        const CalibrationPoint& low = kCalibration[i - 1];
        const CalibrationPoint& high = kCalibration[i];
        if (logistic <= high.logistic)
            return low.probability +
                   (high.probability - low.probability) * (logistic - low.logistic) / (high.logistic - low.logistic);
    }
    return kCalibration[std::size(kCalibration) - 1].probability;
}

}  // namespace

std::array<ConfidenceTerm, kConfidenceTerms> ConfidenceTerms(const ConfidenceEvidence& evidence) {
    const double templates = std::max<std::uint32_t>(evidence.templates, 1);
    const double ratio =
        std::max(evidence.wordLogLikelihood - evidence.garbageLogLikelihood, kLowestLogLikelihoodRatio);
    const double distance = std::isfinite(evidence.templateDistance)
                                ? std::min(evidence.templateDistance, kLargestDistance)
                                : kLargestDistance;
    const double lengthMismatch =
        evidence.templateFrames > 0.0
            ? std::abs(std::log(std::max(evidence.speechFrames, 1.0) / evidence.templateFrames))
            : 0.0;
    const double silenceRatio = std::clamp(evidence.pathLogLikelihood - evidence.silenceLogLikelihood,
                                           -kLargestSilenceRatio, kLargestSilenceRatio);
    return {{{"log_likelihood_ratio", ratio},
             {"log_likelihood_ratio_per_template", ratio / templates},
             {"template_distance", distance},
             {"template_distance_per_template", distance / templates},
             {"length_mismatch", lengthMismatch},
             {"per_template", 1.0 / templates},
             {"silence_ratio", silenceRatio}}};
}

double Confidence(const ConfidenceEvidence& evidence) {
    double z = kBias;
    const auto terms = ConfidenceTerms(evidence);
    for (std::size_t i = 0; i < kConfidenceTerms; ++i) z += kWeights[i] * terms[i].value;
    if (!std::isfinite(z)) return 0.0;
    return Calibrated(1.0 / (1.0 + std::exp(-z)));
}

}  // namespace speech
