#pragma once

inline constexpr const char* kParrotVersion = "1.0.0.1";
