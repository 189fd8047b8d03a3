// libparrot_test_engine.so: a stand-in for the speech engine that records how
// it is called, for tests of the programs that drive the engine. It exports
// the seven entry points of the real engine. Point PARROT_SPEECH_LIBRARY at
// it (it lands in the build's lib/ folder).
//
// Environment variables, read on every call:
//   PARROT_TEST_ENGINE_LOG          file to which every call appends one line:
//                                   the entry point's name, then each of the
//                                   argc arguments, separated by tabs.
//   PARROT_TEST_ENGINE_FAIL         name of one entry point (e.g. InitHMM) that
//                                   returns 1 after logging; all others return 0.
//   PARROT_TEST_ENGINE_DECODER_OUT  file whose bytes TraceProjection copies to
//                                   "decoder.out" in the current folder (unless
//                                   it is the failing entry point).

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "speech_api.h"

namespace {

void AppendToLog(const char* entryPoint, int argc, char** argv) {
    const char* logPath = std::getenv("PARROT_TEST_ENGINE_LOG");
    if (logPath == nullptr) {
        return;
    }
    std::FILE* log = std::fopen(logPath, "a");
    if (log == nullptr) {
        std::fprintf(stderr, "test engine: cannot open the log %s\n", logPath);
        return;
    }
    std::fputs(entryPoint, log);
    for (int i = 0; i < argc; ++i) {
        std::fputc('\t', log);
        std::fputs(argv[i], log);
    }
    std::fputc('\n', log);
    std::fclose(log);
}

void CopyFile(const char* from, const char* to) {
    std::error_code error;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
    if (error) {
        std::fprintf(stderr, "test engine: cannot copy %s to %s\n", from, to);
    }
}

int Call(const char* entryPoint, int argc, char** argv) {
    AppendToLog(entryPoint, argc, argv);
    const char* failing = std::getenv("PARROT_TEST_ENGINE_FAIL");
    return failing != nullptr && std::strcmp(failing, entryPoint) == 0 ? 1 : 0;
}

}  // namespace

int ExtractFeatures(int argc, char** argv) { return Call("ExtractFeatures", argc, argv); }
int GrammarCompiller(int argc, char** argv) { return Call("GrammarCompiller", argc, argv); }
int InitHMM(int argc, char** argv) { return Call("InitHMM", argc, argv); }
int ConvertMmf(int argc, char** argv) { return Call("ConvertMmf", argc, argv); }
int BWTrain(int argc, char** argv) { return Call("BWTrain", argc, argv); }
int NormalizeFeatures(int argc, char** argv) { return Call("NormalizeFeatures", argc, argv); }

int TraceProjection(int argc, char** argv) {
    const int result = Call("TraceProjection", argc, argv);
    const char* decoderOutput = std::getenv("PARROT_TEST_ENGINE_DECODER_OUT");
    if (result == 0 && decoderOutput != nullptr) {
        CopyFile(decoderOutput, "decoder.out");
    }
    return result;
}
