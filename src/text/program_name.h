#pragma once
// The name of the running program, which begins every message it prints on
// stderr ("parrot-cli: ..."), whichever library prints it, so that a message
// tells which program speaks. Each program's main names itself first.

#include <string_view>

void SetProgramName(const char* name);

// The name given to SetProgramName; until then, the name the process was
// started under.
const char* ProgramName();

// Prints "NAME: `message`" and a line feed on stderr.
void PrintMessage(std::string_view message);
