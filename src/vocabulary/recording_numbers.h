#pragma once
// The recordings in a folder: files named "N.raw", N a decimal utterance
// number as IntToText writes it.

#include <cstdint>
#include <optional>
#include <string>

// The highest N of a "N.raw" entry in `folder`; none when there is none or
// the folder cannot be listed.
std::optional<std::int32_t> HighestRecordingNumber(const std::string& folder);
