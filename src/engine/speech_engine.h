#pragma once
// The application's side of the speech engine: the library is loaded once at
// start-up and its seven tools are bound by name. Each tool is called like a
// command-line program with an argument vector of 8-bit strings.

#include <string>
#include <vector>

enum class EngineTool {
    ExtractFeatures,
    InitHMM,
    ConvertMmf,
    BWTrain,
    GrammarCompiller,
    TraceProjection,
    NormalizeFeatures,
};

// Loads the engine library (PARROT_SPEECH_LIBRARY when set, otherwise
// libspeech.so beside the program) and binds the seven entry points. Prints
// one line on stderr naming whatever is missing. Safe to call more than once;
// only the first call loads.
void LoadSpeechEngine();

// Calls one tool with exactly these arguments (argv[0] first, no terminating
// null entry) and returns its result, or a non-zero failure code when the
// tool is not bound. When the tool fails and `failures` is given, a line
// naming the tool and its result is added to it: the training and decoding
// chains go on whatever a tool returns, and note its failure there.
int RunEngineTool(EngineTool tool, const std::vector<std::string>& arguments,
                  std::vector<std::string>* failures = nullptr);
