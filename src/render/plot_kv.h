// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The whole board: pegs, bins, the histogram, the theoretical bars behind it
// and the line with the balls still to come.

#include "render/surface.h"
#include "state/board_state.h"

#include <string>

namespace kug {

struct PlotInputs {
    int columns = 2;         // accepted column count n, 2..32
    bool fastMode = false;   // "Brza simulacija" ticked: no remaining-balls line
    bool showTheory = false; // "Teorijska raspodjela" ticked
};

// Fits cellSize and ballRadius to the surface and redraws everything.
void plotKV(BoardState& s, Surface& area, const PlotInputs& in);

// The unit length c for an area of w x h and n columns: width-based, unless
// the board would be taller than the area.
Integer fitCellSize(int w, int h, int columns);

// "Još 3 kuglice." and the like; empty when no ball is left.
std::string remainingBallsText(Integer ballsLeft);

} // namespace kug
