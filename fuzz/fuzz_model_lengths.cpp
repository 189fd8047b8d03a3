// The model lengths file ("model_lengths.txt").

#include <string>
#include <vector>

#include "fuzz_support.h"
#include "models/model_lengths.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ReadInputWith<std::vector<speech::ModelLength>>(data, size, "model_lengths.txt", speech::ReadModelLengths);
    return 0;
}
