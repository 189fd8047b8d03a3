// Parameter files ("params_train.txt", "params_dec.txt").

#include <map>
#include <string>

#include "common/tool_support.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ReadInputWith<std::map<std::string, std::string>>(data, size, "params.txt", speech::ReadParameterFile);
    return 0;
}
