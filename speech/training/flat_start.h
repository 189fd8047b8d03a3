#pragma once
// Flat-start model initialisation: every emitting state gets the global mean
// and variance of all training frames, and every model a left-to-right
// transition matrix.

#include <cstdint>
#include <string>
#include <vector>

#include "features/feature_file.h"
#include "models/model_files.h"
#include "models/model_lengths.h"

namespace speech {

// Mean and variance of every dimension over all frames added.
class GlobalStatistics {
public:
    // False when the features' dimension differs from earlier ones.
    bool Add(const FeatureMatrix& features);
    std::uint64_t FrameCount() const { return frames_; }
    std::uint32_t Dimension() const { return static_cast<std::uint32_t>(shift_.size()); }
    std::vector<double> Mean() const;
    std::vector<double> Variance() const;

private:
    // Sums are taken around the first frame, which keeps the variance exact
    // when the mean is large against the spread.
    std::vector<double> shift_;
    std::vector<double> sum_;
    std::vector<double> sumOfSquares_;
    std::uint64_t frames_ = 0;
};

// The transition matrix of a model with `emitting` states: entry to the
// first state; each state stays with 0.6 and moves on with 0.4. A model
// without emitting states is a tee: its entry goes straight to its exit. A
// silence model of three or more states also gets a skip from its first
// state to its last and a path back from its last state to its first.
TransitionSet::Matrix FlatTransitions(std::uint32_t emitting, bool silence);

// States and transitions of all models, numbered in the order of `models`.
void BuildFlatStart(const std::vector<ModelLength>& models, const std::vector<float>& mean,
                    const std::vector<float>& variance, StateSet& states, TransitionSet& transitions);

}  // namespace speech
