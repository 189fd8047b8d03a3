// The word templates file ("train_states.bin.templates").

#include <string>

#include "decoding/word_templates.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ReadInputWith<speech::TemplateSet>(data, size, "states.bin.templates", speech::ReadTemplates);
    return 0;
}
