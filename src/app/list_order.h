#pragma once
// The order of the lines of both list boxes: case-insensitive by code point,
// ties broken by code point (apple, Stop, stop, zebra). Independent of locale.

#include <string>

// Negative, zero or positive as `a` sorts before, equal to or after `b`.
int CompareListLines(const std::wstring& a, const std::wstring& b);
