// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The whole board: pegs, bins, the histogram, the theoretical bars behind it
// and the line with the balls still to come.

#include "render/surface.h"
#include "state/board_state.h"
#include "state/run_settings.h"

#include <string>

namespace kug {

// Fits cellSize and ballRadius to the surface and redraws everything.
void plotKV(BoardState& s, Surface& area, const RunSettings& settings, const Switches& switches);

// "Još 3 kuglice." and the like; empty when no ball is left.
std::string remainingBallsText(Integer ballsLeft);

// The remaining-balls line as the drawing shows it: only in an animated run,
// while balls are left; empty when none is shown.
std::string shownRemainingBallsLine(const BoardState& s, const Switches& switches);

} // namespace kug
