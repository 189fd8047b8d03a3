// List files ("raw.txt", "mfc.txt", "model_transitions.txt", ...).

#include <string>
#include <vector>

#include "common/tool_support.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ReadInputWith<std::vector<std::string>>(data, size, "list.txt", speech::ReadListFile);
    return 0;
}
