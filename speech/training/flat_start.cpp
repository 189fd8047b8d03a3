#include "training/flat_start.h"

#include <algorithm>

namespace speech {

bool GlobalStatistics::Add(const FeatureMatrix& features) {
    if (frames_ == 0 && shift_.empty()) {
        if (features.frameCount == 0) return true;
        shift_.assign(features.Frame(0), features.Frame(0) + features.dimension);
        sum_.assign(features.dimension, 0.0);
        sumOfSquares_.assign(features.dimension, 0.0);
    }
    if (features.dimension != shift_.size()) return false;
    for (std::uint32_t t = 0; t < features.frameCount; ++t) {
        const float* frame = features.Frame(t);
        for (std::size_t d = 0; d < shift_.size(); ++d) {
            const double centred = frame[d] - shift_[d];
            sum_[d] += centred;
            sumOfSquares_[d] += centred * centred;
        }
    }
    frames_ += features.frameCount;
    return true;
}

std::vector<double> GlobalStatistics::Mean() const {
    std::vector<double> mean(shift_.size());
    for (std::size_t d = 0; d < mean.size(); ++d) mean[d] = shift_[d] + sum_[d] / double(frames_);
    return mean;
}

std::vector<double> GlobalStatistics::Variance() const {
    std::vector<double> variance(shift_.size());
    for (std::size_t d = 0; d < variance.size(); ++d) {
        const double average = sum_[d] / double(frames_);
        variance[d] = std::max(0.0, sumOfSquares_[d] / double(frames_) - average * average);
    }
    return variance;
}

TransitionSet::Matrix FlatTransitions(std::uint32_t emitting, bool silence) {
    constexpr double kStay = 0.6;
    constexpr double kMove = 0.4;
    constexpr double kSilenceJump = 0.1;
    constexpr double kSilenceMove = 0.3;  // kMove less the jump, written out to keep the text exact
    TransitionSet::Matrix matrix;
    matrix.size = emitting + 2;
    matrix.probabilities.assign(std::size_t(matrix.size) * matrix.size, 0.0);
    const auto set = [&](std::uint32_t from, std::uint32_t to, double p) {
        matrix.probabilities[std::size_t(from) * matrix.size + to] = p;
    };
    set(0, 1, 1.0);  // with no emitting state, 1 is the exit: the tee
    for (std::uint32_t state = 1; state <= emitting; ++state) {
        set(state, state, kStay);
        set(state, state + 1, kMove);
    }
    if (silence && emitting >= 3) {
        set(1, 2, kSilenceMove);
        set(1, emitting, kSilenceJump);
        set(emitting, emitting + 1, kSilenceMove);
        set(emitting, 1, kSilenceJump);
    }
    return matrix;
}

void BuildFlatStart(const std::vector<ModelLength>& models, const std::vector<float>& mean,
                    const std::vector<float>& variance, StateSet& states, TransitionSet& transitions) {
    states = StateSet{};
    states.dimension = static_cast<std::uint32_t>(mean.size());
    states.states.emplace_back();
    transitions = TransitionSet{};
    for (const ModelLength& model : models) {
        for (std::uint32_t s = 0; s < model.emittingStates; ++s)
            states.states.push_back({Gaussian{1.0f, mean, variance}});
        transitions.matrices.push_back(FlatTransitions(model.emittingStates, model.name == "sil"));
    }
}

}  // namespace speech
