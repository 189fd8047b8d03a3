#pragma once
// Writes the decoding lists and parameters for one recording, runs feature
// extraction and the decoder, and reads "decoder.out" into scored words.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The decoder's output file, named in "out_dec.txt" and read back after
// every decoding run.
inline constexpr const char* kDecoderOutputFile = "decoder.out";

class RecognitionSession {
public:
    // The bare names of the decoding files, in the order the dialog gives them.
    struct FileNames {
        const char* rawListFile = "";      // "raw_dec.txt"
        const char* mfcListFile = "";      // "mfc_dec.txt"
        const char* outListFile = "";      // "out_dec.txt"
        const char* latListFile = "";      // "lat_dec.txt"
        const char* paramsFile = "";       // "params_dec.txt"
        const char* modelsFile = "";       // "models.txt"
        const char* monophonesFile = "";   // "monophones.txt"
        const char* phonesFile = "";       // "phones.txt"
        const char* lexiconFile = "";      // "lexicon.txt"
        const char* latticeFile = "";      // "loop_grammar.lat"
        const char* statesFile = "";       // "train_states.bin"
        const char* transitionsFile = "";  // "train_trans.txt"
    };

    void SetFileNames(const FileNames& names) { fileNames = names; }

    int WriteDecParams();
    int WriteRawDecList();
    int WriteMfcDecList();
    int WriteOutDecList();
    int WriteLatDecList();

    int RunDecExtractFeatures();
    // Removes the previous "decoder.out" before the decoder runs.
    int RunTraceProjection();
    int ReadDecoderOutput();

    std::map<std::wstring, double> results;
    std::int32_t utteranceNumber = 0;
    FileNames fileNames;
    // Where the failures of a decoding run are noted, one line each: an
    // engine tool that failed, a "decoder.out" that is missing (then
    // `results` is empty). The dialog points it at the outcome of the command
    // in progress. Null: failures are not noted.
    std::vector<std::string>* failures = nullptr;
};
