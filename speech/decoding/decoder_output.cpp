#include "decoding/decoder_output.h"

#include <algorithm>

#include "common/tool_support.h"

namespace speech {
namespace {

std::string FourDigits(std::uint32_t frame) {
    std::string digits = std::to_string(std::min<std::uint32_t>(frame, 9999));
    return std::string(4 - digits.size(), '0') + digits;
}

}  // namespace

std::string FormatDecoderOutput(const std::vector<DecodedWord>& words) {
    std::string text;
    for (const auto& word : words)
        text += FourDigits(word.firstFrame) + " " + FourDigits(word.lastFrame) + " " + word.word + " " +
                FormatDouble(word.score) + "\n";
    return text;
}

}  // namespace speech
