// The variance floor file ("init_varfloor.txt").

#include <string>
#include <vector>

#include "fuzz_support.h"
#include "models/model_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ReadInputWith<std::vector<float>>(data, size, "varfloor.txt", speech::ReadVarianceFloor);
    return 0;
}
