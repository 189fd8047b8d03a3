#pragma once
// Reads the call log that libparrot_test_engine.so appends to: one call per
// line, the entry point's name and then its arguments, separated by tabs.

#include <fstream>
#include <string>
#include <vector>

// The feature extraction call that training and decoding share, up to its
// "-input" and "-output" lists.
inline const std::string kFeatureExtraction =
    "ExtractFeatures extract_feature -delta -acc -cms -zero_mean -energy -energy_norm -mfcc 12 -delta_win 2 "
    "-lifter_coeff 36 -window_dur 20 -frame_dur 10 -num_fbanks 22 -window_type hamming -sf 11025.0 "
    "-pre_emph_coeff 0.97 -output_mode binary";

// The pieces of `line` between the `separator` characters.
inline std::vector<std::string> SplitLine(const std::string& line, char separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t end; (end = line.find(separator, start)) != std::string::npos; start = end + 1) {
        pieces.push_back(line.substr(start, end - start));
    }
    pieces.push_back(line.substr(start));
    return pieces;
}

// Each call as {entry point, argv[0], ..., argv[argc - 1]}.
inline std::vector<std::vector<std::string>> ReadTestEngineLog(const std::string& path) {
    std::vector<std::vector<std::string>> calls;
    std::ifstream log(path, std::ios::binary);
    std::string line;
    while (std::getline(log, line)) {
        calls.push_back(SplitLine(line, '\t'));
    }
    return calls;
}

// Calls written as lines of words separated by single spaces, in the form
// ReadTestEngineLog gives.
inline std::vector<std::vector<std::string>> CallsOfLines(const std::vector<std::string>& lines) {
    std::vector<std::vector<std::string>> calls;
    for (const std::string& line : lines) {
        calls.push_back(SplitLine(line, ' '));
    }
    return calls;
}
