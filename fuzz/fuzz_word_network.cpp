// The word network file ("loop_grammar.lat").

#include <string>

#include "fuzz_support.h"
#include "grammar/word_network.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ReadInputWith<speech::WordNetwork>(data, size, "network.lat", speech::ReadWordNetwork);
    return 0;
}
