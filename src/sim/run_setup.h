// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fresh-run set-up a start performs when the last run is over.

#include "render/plot_kv.h"
#include "render/surface.h"
#include "state/board_state.h"

namespace kug {

// Clears the counts, sizes the arrays to the columns, derives barUnit and
// ballsLeft, puts the ball at the top centre, recomputes the theory, redraws
// the board and prepares the hop parabola for the cellSize now current.
void freshRunSetup(BoardState& s, Surface& area, const PlotInputs& in, double balls);

// Coefficients of hopY = A * hopX^2 - B * |hopX|: from the peg the ball rises
// cellSize and ends cellSize to the side and 2 * cellSize lower.
void computeHopConstants(BoardState& s);

} // namespace kug
