// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One tick of the animated ball: a fall onto the top peg, a choice at every
// peg, a hop along the parabola to the next row, and the landing in a bin.

#include "render/plot_kv.h"
#include "render/surface.h"
#include "sim/random_source.h"
#include "state/board_state.h"

namespace kug {

enum class TickOutcome {
    Moved,   // the ball fell, hopped or chose its next direction
    Landed,  // a ball was counted and the board redrawn; more balls follow
    RunEnded // the last ball landed: the caller returns the window to idle
};

struct BallInputs {
    PlotInputs plot; // for the redraw after a landing
    bool trail = false;
};

TickOutcome timmyTick(BoardState& s, Surface& area, RandomSource& random, const BallInputs& in);

// Rest limit of the fall: the ball's lowest point one pixel above the top peg.
double restLimit(Integer cellSize, Integer ballRadius);

// Bin of a ball centred at x: bins are 2c wide from W / 2 - n * c, numbered
// from 1; the result is kept within 1..columns.
int binFor(double x, double scaleWidth, int columns, Integer cellSize);

} // namespace kug
