#include "training/flat_start.h"

namespace speech {

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
        transitions.matrices.push_back(FlatTransitions(model.emittingStates, model.name == kSilenceModel));
    }
}

}  // namespace speech
