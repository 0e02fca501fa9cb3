// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The board's number types and their arithmetic: Integer is 16-bit, Long
// 32-bit, Single a 32-bit float. Every conversion from a real value takes the
// nearest integer with halves to the even neighbour, and every result beyond
// its type saturates instead of overflowing.

#include <cstdint>

namespace kug {

using Integer = std::int16_t;
using Long = std::int32_t;
using Single = float;

// Colours are packed as red + 256 * green + 65536 * blue.
constexpr Long rgb(int r, int g, int b) {
    return r + 256 * g + 65536 * b;
}

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

} // namespace kug
