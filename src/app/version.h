#pragma once
// The version of the programs: the project version of CMakeLists.txt.

inline constexpr const char* kParrotVersion = PARROT_VERSION;
