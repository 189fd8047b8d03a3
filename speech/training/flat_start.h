#pragma once
// Flat-start model initialisation: every emitting state gets the global mean
// and variance of all training frames, and every model a left-to-right
// transition matrix.

#include <cstdint>
#include <string>
#include <vector>

#include "features/feature_file.h"
#include "models/model_files.h"
#include "models/model_inventory.h"
#include "models/model_lengths.h"

namespace speech {

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
