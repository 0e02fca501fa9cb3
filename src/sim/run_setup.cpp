// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/run_setup.h"

#include "render/theory_fill.h"
#include "state/parameter_rules.h"

#include <cmath>

namespace kug {

void computeHopConstants(BoardState& s) {
    s.hopWidth = s.cellSize;
    s.hopDrop = intMul(-2, s.cellSize);
    s.hopRise = s.cellSize;
    const double k = 1 + std::sqrt(1 - static_cast<double>(s.hopDrop) / s.hopRise);
    s.hopCoefA = static_cast<Single>(k * k * s.hopRise / (static_cast<double>(s.hopWidth) * s.hopWidth));
    s.hopCoefB = static_cast<Single>(k * (2.0 * s.hopRise / s.hopWidth));
}

void freshRunSetup(BoardState& s, Surface& area, const PlotInputs& in, double balls) {
    s.needsReset = false;
    s.binCounts.redim(in.columns);
    s.theoryCounts.redim(in.columns);
    s.barUnit = barUnitFor(s.cellSize, balls);
    s.ballsLeft = toInteger(balls);
    s.ballX = toInteger(area.scaleWidth() / 2.0);
    s.ballY = 0;
    s.fallTick = 0;
    s.dropping = true;
    s.atPeg = true;
    s.hopX = 0;
    s.hopY = 0;
    s.rowIndex = 0;
    theoryfill(s, in.columns, balls);
    plotKV(s, area, in);
    computeHopConstants(s);
}

} // namespace kug
