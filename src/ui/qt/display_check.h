#pragma once
// Whether the window system can be reached, decided before Qt starts, so
// that a machine without a display gets a plain message instead of Qt's
// abort.

#include <functional>

// `environment` returns the value of a variable, or nullptr when it is unset.
bool DisplayLooksAvailable(const std::function<const char*(const char*)>& environment);

inline constexpr const char* kNoDisplayMessage =
    "no display to open the window on; run parrot-cli instead for the same program without a window";
