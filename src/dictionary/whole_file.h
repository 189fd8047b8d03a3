#pragma once
// Reads a whole regular file into memory.

#include <vector>

// Fills `bytes` with the contents of the file `name`. Returns false, with
// `bytes` empty, when the file cannot be opened, is not a regular file, cannot
// be read or does not fit in memory. A file that shrinks while it is read
// yields the bytes that were there.
bool ReadWholeFile(const char* name, std::vector<char>& bytes);
