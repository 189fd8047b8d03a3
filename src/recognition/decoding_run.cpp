// Feature extraction and the decoder for one recording, and the reading of
// the decoder's output into scored words.

#include <cstdio>
#include <string>

#include "engine/engine_arguments.h"
#include "engine/speech_engine.h"
#include "recognition/recognition_session.h"
#include "text/text.h"

int RecognitionSession::RunDecExtractFeatures() {
    RunEngineTool(EngineTool::ExtractFeatures, FeatureExtractionArguments(fileNames.rawListFile, fileNames.mfcListFile),
                  failures);
    return 0;
}

int RecognitionSession::RunTraceProjection() {
    // The output of an earlier recording must not pass for this one's when
    // the decoder fails to write its own.
    std::remove(kDecoderOutputFile);
    RunEngineTool(EngineTool::TraceProjection, {"trace_projection", "-p", fileNames.paramsFile}, failures);
    return 0;
}

int RecognitionSession::ReadDecoderOutput() {
    results.clear();
    std::FILE* file = std::fopen(kDecoderOutputFile, "r");
    if (file == nullptr) {
        if (failures != nullptr) {
            failures->push_back("the decoder wrote no output, so nothing was recognised");
        }
        return 0;
    }
    constexpr std::wstring_view whiteSpace = L" \t\n\r\v\f";
    constexpr std::size_t prefixLength = 10;  // start and end frame
    LineReader reader(file);
    std::string narrowLine;
    while (reader.ReadLine(narrowLine)) {
        const std::wstring line = ToWideText(narrowLine);
        const std::size_t first = line.find_first_not_of(whiteSpace);
        if (first == std::wstring::npos) {
            continue;
        }
        const std::size_t last = line.find_last_not_of(whiteSpace);
        const std::wstring_view trimmed = std::wstring_view(line).substr(first, last - first + 1);
        const std::wstring_view fields =
            trimmed.size() > prefixLength ? trimmed.substr(prefixLength) : std::wstring_view();
        std::size_t position = 0;
        const std::wstring word = NextToken(fields, L" \t", position);
        if (word.find(L"!SENT_START") != std::wstring::npos || word.find(L"!SENT_END") != std::wstring::npos) {
            continue;
        }
        const std::wstring score = NextToken(fields, L" \t", position);
        results[word] = TextToDouble(ToNarrowText(score));
    }
    std::fclose(file);
    return 0;
}
