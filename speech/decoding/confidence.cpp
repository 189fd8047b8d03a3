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
// Added to the diagonal share before its logarithm is taken, so that a path
// without a diagonal step still counts, as the least straight of all.
constexpr double kDiagonalShareOffset = 0.01;

// The logistic function's bias and weights, one per term in the order of
// ConfidenceTerms, fitted by maximum likelihood (bench/accuracy/
// fit_confidence.py) to the 3,940 recognitions of the rejection benchmark
// that reached the word network's end (bench/accuracy/run_rejection.py: half
// of each task's words trained on one or three takes, every word and the
// recordings without speech recognised) on a corpus of six speakers other
// than the one the figures are reported on. The terms are correlated, so a
// single weight says little on its own: the length mismatch, given the rest,
// came out slightly in the word's favour.
constexpr double kBias = 6.1319;
constexpr std::array<double, kConfidenceTerms> kWeights = {1.43937, -3.42941, -0.854158, -1.84908,
                                                           0.5841,  10.0515,  0.0642312, 1.02226};

// The logistic function alone came out too sure of its best answers and not
// sure enough of middling ones; this map, from its value to the share of
// answers that were right at that value on the same recognitions, makes the
// confidence behave like a probability. Linear between the points; the last
// is the share right at 0.99 and above.
struct CalibrationPoint {
    double logistic;
    double probability;
};
constexpr CalibrationPoint kCalibration[] = {{0.000, 0.000}, {0.015, 0.005}, {0.145, 0.134}, {0.250, 0.329},
                                             {0.347, 0.329}, {0.457, 0.485}, {0.552, 0.585}, {0.654, 0.699},
                                             {0.753, 0.843}, {0.855, 0.877}, {0.962, 0.939}, {1.000, 0.972}};

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
    const double diagonalShare =
        std::isfinite(evidence.diagonalShare) ? std::clamp(evidence.diagonalShare, 0.0, 1.0) : 0.0;
    const double silenceRatio = std::clamp(evidence.pathLogLikelihood - evidence.silenceLogLikelihood,
                                           -kLargestSilenceRatio, kLargestSilenceRatio);
    return {{{"log_likelihood_ratio", ratio},
             {"log_likelihood_ratio_per_template", ratio / templates},
             {"template_distance", distance},
             {"template_distance_per_template", distance / templates},
             {"length_mismatch", lengthMismatch},
             {"per_template", 1.0 / templates},
             {"silence_ratio", silenceRatio},
             {"log_diagonal_share", std::log(diagonalShare + kDiagonalShareOffset)}}};
}

double Confidence(const ConfidenceEvidence& evidence) {
    double z = kBias;
    const auto terms = ConfidenceTerms(evidence);
    for (std::size_t i = 0; i < kConfidenceTerms; ++i) z += kWeights[i] * terms[i].value;
    if (!std::isfinite(z)) return 0.0;
    return Calibrated(1.0 / (1.0 + std::exp(-z)));
}

}  // namespace speech
