// The model inventory: "models.txt", "monophones.txt", "phones.txt" and
// "lexicon.txt", the input's four parts (see NextPart), read and checked
// against each other.

#include <string>

#include "fuzz_support.h"
#include "models/model_inventory.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    EnterScratchFolder();
    std::string_view input(reinterpret_cast<const char*>(data), size);
    WriteInput("models.txt", NextPart(input));
    WriteInput("monophones.txt", NextPart(input));
    WriteInput("phones.txt", NextPart(input));
    WriteInput("lexicon.txt", NextPart(input));
    speech::ModelInventory inventory;
    std::string error;
    speech::LoadModelInventory({"models.txt", "monophones.txt", "phones.txt", "lexicon.txt"}, inventory, error);
    return 0;
}
