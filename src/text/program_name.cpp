#include "text/program_name.h"

#include <errno.h>

#include <cstdio>

namespace {

const char* programName = nullptr;

}  // namespace

void SetProgramName(const char* name) { programName = name; }

const char* ProgramName() { return programName != nullptr ? programName : program_invocation_short_name; }

void PrintMessage(std::string_view message) {
    std::fprintf(stderr, "%s: %.*s\n", ProgramName(), static_cast<int>(message.size()), message.data());
}
