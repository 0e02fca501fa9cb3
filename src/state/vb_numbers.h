// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// VB-style number helpers shared by every part of the board: the number value
// of a text, the nearest integer with halves to even, decimal texts, and
// 16-bit arithmetic that saturates instead of overflowing.

#include <cstdint>
#include <string>
#include <string_view>

namespace kug {

using Integer = std::int16_t; // VB Integer
using Long = std::int32_t;    // VB Long
using Single = float;         // VB Single

// Colours are packed as red + 256 * green + 65536 * blue.
constexpr Long rgb(int r, int g, int b) { return r + 256 * g + 65536 * b; }

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, 0.5 -> 0).
// Values beyond the target type saturate; NaN becomes 0.
Integer toInteger(double v);
Long toLong(double v);

// Rounds half to even but keeps the result as a double (no range limit).
double roundHalfEven(double v);

// 16-bit products and sums as the board computes them; a result beyond the
// Integer range saturates rather than overflowing.
Integer intMul(Integer a, Integer b);
Integer intAdd(Integer a, Integer b);

// The number value of a text: blanks, tabs and line feeds are skipped anywhere,
// then sign, digits, one decimal point and an exponent are read up to the first
// character that does not fit. "&H" and "&O" start hexadecimal and octal
// integers. A text without a number at its start reads as 0.
double numberValue(std::string_view text);

// Plain decimal digits with a leading minus for negatives ("32", "-7").
std::string decimalText(long long v);

} // namespace kug
