#include "decoding/decoder_output.h"

#include <algorithm>
#include <cmath>

#include "common/tool_support.h"
#include "decoding/confidence.h"

namespace speech {
namespace {

std::string FourDigits(std::uint32_t frame) {
    std::string digits = std::to_string(std::min<std::uint32_t>(frame, 9999));
    return std::string(4 - digits.size(), '0') + digits;
}

}  // namespace

std::string FormatDecoderOutput(const Recognition& recognition) {
    const auto& words = recognition.path.words;
    std::vector<DecodedWord> written;
    if (recognition.confidence >= kAcceptanceThreshold)
        written = words;
    else if (recognition.path.complete && words.size() == 3)
        written = {words.front(), words.back()};
    const std::string confidence = FormatDouble(std::round(recognition.confidence * 100.0) / 100.0);
    std::string text;
    for (const auto& word : written)
        text += FourDigits(word.firstFrame) + " " + FourDigits(word.lastFrame) + " " + word.word + " " + confidence +
                " " + FormatDouble(word.score) + "\n";
    return text;
}

std::string FormatConfidenceTerms(const Recognition& recognition) {
    if (!recognition.evidence) return {};
    const auto& words = recognition.path.words;
    std::string word;
    if (words.size() == 3)
        word = words[1].word;
    else
        for (const auto& decoded : words) {
            if (!word.empty()) word += '+';
            word += decoded.word;
        }
    std::string text = "confidence-terms " + word;
    for (const ConfidenceTerm& term : ConfidenceTerms(*recognition.evidence)) {
        text += ' ';
        text += term.name;
        text += '=';
        text += FormatDouble(term.value);
    }
    return text + "\n";
}

}  // namespace speech
