#pragma once
// "model_lengths.txt": one "N name" line per model, in model-number order
// (model 0 is the first line). N is the model's number of emitting states;
// the states are numbered from 1 on through the models in this order.

#include <cstdint>
#include <string>
#include <vector>

namespace speech {

struct ModelLength {
    std::string name;
    std::uint32_t emittingStates = 0;
};

// False with `error` naming the file, the line and the problem.
bool ReadModelLengths(const std::string& path, std::vector<ModelLength>& models, std::string& error);

}  // namespace speech
