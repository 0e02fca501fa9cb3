// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One tick of the animated ball: a fall onto the top peg, a choice at every
// peg, a hop along the parabola to the next row, and the landing in a bin.

#include "render/surface.h"
#include "sim/random_source.h"
#include "state/board_state.h"
#include "state/run_settings.h"

namespace kug {

enum class TickOutcome {
    Moved,   // the ball fell, hopped or chose its next direction
    Landed,  // a ball was counted and the board redrawn; more balls follow
    RunEnded // the last ball landed: the caller returns the window to idle
};

TickOutcome ballTick(BoardState& s, Surface& area, RandomSource& random,
                     const RunSettings& settings, const Switches& switches);

} // namespace kug
