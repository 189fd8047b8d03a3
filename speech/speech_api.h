#pragma once
// The entry points of the speech engine library. Each is called like a
// command-line program and returns 0 on success; on failure it prints a
// message on stderr and returns non-zero.

#define SPEECH_EXPORT extern "C" __attribute__((visibility("default")))

SPEECH_EXPORT int ExtractFeatures(int argc, char** argv);    // "extract_feature"
SPEECH_EXPORT int GrammarCompiller(int argc, char** argv);   // "grammar_compiler"
SPEECH_EXPORT int InitHMM(int argc, char** argv);            // "init_hmm"
SPEECH_EXPORT int ConvertMmf(int argc, char** argv);         // "convert_mmf"
SPEECH_EXPORT int BWTrain(int argc, char** argv);            // "bw_train"
SPEECH_EXPORT int TraceProjection(int argc, char** argv);    // "trace_projection"
SPEECH_EXPORT int NormalizeFeatures(int argc, char** argv);  // "normalize_features"
