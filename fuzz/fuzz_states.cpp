// States files, text ("init_states.txt") and binary ("train_states.bin"): the
// first byte picks the mode, the rest is the file.

#include <string>

#include "fuzz_support.h"
#include "models/model_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const bool binary = (data[0] & 1) != 0;
    ReadInputWith<speech::StateSet>(data + 1, size - 1, "states",
                                    [binary](const std::string& path, auto& result, std::string& error) {
                                        return speech::ReadStates(path, binary, result, error);
                                    });
    return 0;
}
