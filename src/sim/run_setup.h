// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fresh-run set-up a start performs when the last run is over.

#include "render/surface.h"
#include "state/board_state.h"
#include "state/run_settings.h"

namespace kug {

// Clears the counts, sizes the arrays to the columns, derives barUnit and
// ballsLeft, puts the ball at the top centre, recomputes the theory, redraws
// the board and prepares the hop parabola for the cellSize now current.
void freshRunSetup(BoardState& s, Surface& area, const RunSettings& settings,
                   const Switches& switches);

// Coefficients of hopY = A * hopX^2 - B * |hopX|: from the peg the ball rises
// cellSize and ends one hop across and down, on the peg of the next row.
void computeHopConstants(BoardState& s);

} // namespace kug
