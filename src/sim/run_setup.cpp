// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/run_setup.h"

#include "render/plot_kv.h"
#include "render/theory_fill.h"
#include "state/board_geometry.h"
#include "state/parameter_rules.h"

#include <cmath>

namespace kug {

void computeHopConstants(BoardState& s) {
    s.hopWidth = s.cellSize;
    s.hopDrop = BoardGeometry::hopDrop(s.cellSize);
    s.hopRise = s.cellSize;
    const double k = 1 + std::sqrt(1 - static_cast<double>(s.hopDrop) / s.hopRise);
    s.hopCoefA =
        static_cast<Single>(k * k * s.hopRise / (static_cast<double>(s.hopWidth) * s.hopWidth));
    s.hopCoefB = static_cast<Single>(k * (2.0 * s.hopRise / s.hopWidth));
}

void freshRunSetup(BoardState& s, Surface& area, const RunSettings& settings,
                   const Switches& switches) {
    s.needsReset = false;
    s.binCounts.redim(settings.columns);
    s.theoryCounts.redim(settings.columns);
    s.barUnit = barUnitFor(s.cellSize, settings.balls);
    s.ballsLeft = settings.balls;
    s.ballX = BoardGeometry(area.scaleWidth(), settings.columns, s.cellSize).startX();
    s.ballY = 0;
    s.fallTick = 0;
    s.dropping = true;
    s.atPeg = true;
    s.hopX = 0;
    s.hopY = 0;
    s.rowIndex = 0;
    theoryfill(s, settings);
    plotKV(s, area, settings, switches);
    computeHopConstants(s);
}

} // namespace kug
