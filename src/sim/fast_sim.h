// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fast simulation: every ball of a run at once, on the same peg lattice
// and with the same bin rule as the animated ball.

#include "sim/random_source.h"
#include "state/board_state.h"
#include "state/run_settings.h"

namespace kug {

// Drops the run's balls through its columns - 1 rows: each starts at the
// rounded centre of an area `areaWidth` wide, is deflected cellSize left or
// right at every row and is counted in bin 1 + its number of right
// deflections. The counts start from zero, so looping runs never accumulate;
// they stay after the run for the picture.
void fastsim(BoardState& s, RandomSource& random, const RunSettings& settings, int areaWidth);

} // namespace kug
