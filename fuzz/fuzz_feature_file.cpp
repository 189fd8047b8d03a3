// Feature files ("N.mfc"): the first byte picks binary or text, the rest is
// the file.

#include <string>

#include "features/feature_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const bool binary = (data[0] & 1) != 0;
    ReadInputWith<speech::FeatureMatrix>(data + 1, size - 1, "features.mfc",
                                         [binary](const std::string& path, auto& result, std::string& error) {
                                             return speech::ReadFeatureFile(path, binary, result, error);
                                         });
    return 0;
}
