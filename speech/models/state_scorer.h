#pragma once
// Log-likelihoods of feature frames under the diagonal-covariance Gaussian
// mixtures of the emitting states, with every constant precomputed.

#include <cstdint>
#include <vector>

#include "models/model_files.h"

namespace speech {

class StateScorer {
public:
    explicit StateScorer(const StateSet& states);

    // Log-likelihood of `frame` (of the state set's dimension) under `state`,
    // which must hold at least one Gaussian.
    double LogLikelihood(std::uint32_t state, const float* frame) const;
    std::uint32_t Dimension() const { return dimension_; }
    // The number of Gaussians of `state`, and the weighted log-likelihood of
    // `frame` under each of them (log weight included), written to `out`.
    std::uint32_t Components(std::uint32_t state) const {
        return firstComponent_[state + 1] - firstComponent_[state];
    }
    void ComponentLogLikelihoods(std::uint32_t state, const float* frame, double* out) const;

private:
    struct Component {
        double logConstant = 0.0;  // log weight - (D log 2 pi + sum log variance) / 2
        std::vector<float> mean;
        std::vector<float> halfInverseVariance;
    };
    std::uint32_t dimension_ = 0;
    std::vector<Component> components_;
    std::vector<std::uint32_t> firstComponent_;  // per state, and one past the last state
};

// exp() of anything below this is exactly 0 in double precision: a term
// that small changes no sum, and skipping it saves the exp.
constexpr double kExpUnderflow = -746.0;

// log(exp(a) + exp(b)) without overflow; kLogZero-safe.
double LogAdd(double a, double b);

}  // namespace speech
