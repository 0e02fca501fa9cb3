// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The binomial expectation behind the histogram.

#include "state/board_state.h"
#include "state/run_settings.h"

namespace kug {

// theoryCounts(k) := round-half-even(balls * C(n - 1, k - 1) / 2^(n - 1)) for
// k = 1..n; entries beyond n keep their values. n is clamped to the array and
// to 32, where every coefficient still fits 32 bits.
void theoryfill(BoardState& s, const RunSettings& settings);

} // namespace kug
