#pragma once
// Replacing a file's contents so that a crash or a failed write never leaves
// it half-written.

#include <string_view>

// Writes `contents` to a temporary file in the folder of `fileName`, flushes
// it to the disk, renames it over `fileName` (keeping the old file's
// permissions) and flushes the folder. Returns 0 on success; otherwise the
// errno of the step that failed, with the old file unchanged and the
// temporary file removed.
int ReplaceFileContents(const char* fileName, std::string_view contents);
