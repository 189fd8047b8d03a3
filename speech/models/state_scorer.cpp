#include "models/state_scorer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace speech {
namespace {

// Variances and mixture weights are raised to this before their logs are
// taken: a zero weight or variance scores as very unlikely, not as NaN.
constexpr double kLogFloor = 1e-30;

// Sum over the `dimension` values of scale * (frame - mean)^2. The sum may
// be taken in any order (-fopenmp-simd), so that the compiler adds several
// values at once in vector registers instead of one after another.
float ScaledDistance(const float* frame, const float* mean, const float* scale, std::size_t dimension) {
    float distance = 0.0f;
#pragma omp simd reduction(+ : distance)
    for (std::size_t d = 0; d < dimension; ++d) {
        const float difference = frame[d] - mean[d];
        distance += difference * difference * scale[d];
    }
    return distance;
}

}  // namespace

StateScorer::StateScorer(const StateSet& states) : dimension_(states.dimension) {
    firstComponent_.push_back(0);
    for (const auto& mixture : states.states) {
        for (const auto& gaussian : mixture) {
            Component component;
            double logDeterminant = 0.0;
            component.mean = gaussian.mean;
            component.halfInverseVariance.resize(gaussian.variance.size());
            for (std::size_t d = 0; d < gaussian.variance.size(); ++d) {
                const double variance = std::max<double>(gaussian.variance[d], kLogFloor);
                logDeterminant += std::log(variance);
                component.halfInverseVariance[d] = float(0.5 / variance);
            }
            component.logConstant = std::log(std::max<double>(gaussian.weight, kLogFloor)) -
                                    0.5 * (double(dimension_) * std::log(2.0 * std::numbers::pi) + logDeterminant);
            components_.push_back(std::move(component));
        }
        firstComponent_.push_back(std::uint32_t(components_.size()));
    }
}

double StateScorer::LogLikelihood(std::uint32_t state, const float* frame) const {
    double total = -std::numeric_limits<double>::infinity();
    for (std::uint32_t c = firstComponent_[state]; c < firstComponent_[state + 1]; ++c) {
        const Component& component = components_[c];
        const float distance =
            ScaledDistance(frame, component.mean.data(), component.halfInverseVariance.data(), dimension_);
        total = LogAdd(total, component.logConstant - double(distance));
    }
    return total;
}

void StateScorer::ComponentLogLikelihoods(std::uint32_t state, const float* frame, double* out) const {
    for (std::uint32_t c = firstComponent_[state]; c < firstComponent_[state + 1]; ++c) {
        const Component& component = components_[c];
        *out++ = component.logConstant -
                 double(ScaledDistance(frame, component.mean.data(), component.halfInverseVariance.data(), dimension_));
    }
}

double LogAdd(double a, double b) {
    if (a < b) std::swap(a, b);
    if (b == -std::numeric_limits<double>::infinity() || b - a < kExpUnderflow) return a;
    return a + std::log1p(std::exp(b - a));
}

}  // namespace speech
