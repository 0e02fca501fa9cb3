// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/fast_sim.h"

#include "state/board_geometry.h"

#include <algorithm>
#include <vector>

namespace kug {

namespace {

// The sum of a ball's deflections: its landing place is the centre plus
// cellSize times this. Each direction is a coin toss that no branch predictor
// guesses, so it is taken as a comparison whose result is added rather than a
// jump; the one branch per draw, directionFor's range check, always goes the
// same way.
long deflectionSum(const std::vector<double>& draws) {
    long sum = 0;
    for (const double r : draws)
        sum += directionFor(r);
    return sum;
}

} // namespace

void fastsim(BoardState& s, RandomSource& random, const RunSettings& settings, int areaWidth) {
    const int columns = settings.columns;
    const BoardGeometry board(areaWidth, columns, s.cellSize);
    s.binCounts.clearFirst(columns);
    s.ballsLeft = settings.balls;
    s.rowIndex = 0;
    const Integer centre = board.startX();
    // One ball's numbers are drawn in one batch: the same numbers, in the
    // same order, as one draw per deflection.
    std::vector<double> draws(static_cast<std::size_t>(std::max(columns - 1, 0)));
    while (s.ballsLeft > 0) {
        random.fill(draws.data(), draws.size());
        // The position is a 16-bit Integer: it saturates rather than overflow,
        // though a board that fits its area never comes near the limit.
        s.ballX = toInteger(centre + static_cast<double>(s.cellSize) * deflectionSum(draws));
        if (!draws.empty())
            s.hopDir = directionFor(draws.back());
        const int bin = board.binAt(s.ballX);
        if (s.binCounts.contains(bin))
            s.binCounts(bin) = intAdd(s.binCounts(bin), 1);
        s.ballsLeft = intAdd(s.ballsLeft, -1);
    }
    s.ballX = centre;
}

} // namespace kug
