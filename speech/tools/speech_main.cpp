// `speech TOOL ARGS...`: runs one entry point of the speech engine library
// from a shell, with TOOL as its argv[0], for users and for debugging.

#include <cstdio>
#include <cstring>

#include "speech_api.h"

namespace {

struct Tool {
    const char* name;
    int (*run)(int, char**);
};

constexpr Tool kTools[] = {
    {"extract_feature", ExtractFeatures},
    {"grammar_compiler", GrammarCompiller},
    {"init_hmm", InitHMM},
    {"convert_mmf", ConvertMmf},
    {"bw_train", BWTrain},
    {"trace_projection", TraceProjection},
    {"normalize_features", NormalizeFeatures},
};

void PrintUsage() {
    std::fputs("usage: speech TOOL [ARGUMENTS...]\ntools:", stderr);
    for (const Tool& tool : kTools) std::fprintf(stderr, " %s", tool.name);
    std::fputs("\n", stderr);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage();
        return 2;
    }
    for (const Tool& tool : kTools)
        if (std::strcmp(argv[1], tool.name) == 0) return tool.run(argc - 1, argv + 1) == 0 ? 0 : 1;
    std::fprintf(stderr, "speech: unknown tool \"%s\"\n", argv[1]);
    PrintUsage();
    return 2;
}
