// The transitions file ("init_transitions.txt", "train_trans.txt").

#include <string>

#include "fuzz_support.h"
#include "models/model_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ReadInputWith<speech::TransitionSet>(data, size, "transitions.txt", speech::ReadTransitions);
    return 0;
}
