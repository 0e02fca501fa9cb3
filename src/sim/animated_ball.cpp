// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/animated_ball.h"

#include "render/plot_kv.h"
#include "state/board_geometry.h"

#include <algorithm>
#include <cmath>

namespace kug {

namespace {

constexpr Long trailColor = rgb(0, 0, 255);

void eraseBall(const BoardState& s, Surface& area, Single x, Single y, bool trail) {
    const Long back = area.backColor();
    area.setFillStyle(0);
    area.setFillColor(back);
    area.circle(x, y, s.ballRadius, trail ? trailColor : back);
}

void drawBall(const BoardState& s, Surface& area, Single x, Single y) {
    area.setFillStyle(0);
    area.setFillColor(s.ballColor);
    area.circle(x, y, s.ballRadius, s.ballColor);
}

void fall(BoardState& s, Surface& area, const BoardGeometry& board, bool trail) {
    eraseBall(s, area, s.ballX, s.ballY, trail);
    s.fallTick = intAdd(s.fallTick, 1);
    s.ballY = toInteger(s.ballY + intMul(s.fallTick, s.fallTick) / 10.0);
    const double limit = board.restLimit(s.ballRadius);
    if (s.ballY > limit) {
        s.ballY = toInteger(limit);
        s.dropping = false;
        s.atPeg = true;
    }
    drawBall(s, area, s.ballX, s.ballY);
}

void hop(BoardState& s, Surface& area, bool trail) {
    eraseBall(s, area, s.ballX + s.hopX, s.ballY + s.hopY, trail);
    s.hopX = s.hopX + s.hopDir;
    const double ax = std::fabs(s.hopX);
    s.hopY = static_cast<Single>(ax * ax * s.hopCoefA - ax * s.hopCoefB);
    drawBall(s, area, s.ballX + s.hopX, s.ballY + s.hopY);
    if (std::fabs(s.hopX) >= s.cellSize) {
        s.ballX = toInteger(s.ballX + s.hopX);
        s.ballY = toInteger(s.ballY + s.hopY);
        s.rowIndex = intAdd(s.rowIndex, 1);
        s.hopX = 0;
        s.hopY = 0;
        s.atPeg = true;
    }
}

// Counts the ball, redraws the board and puts the next ball at the top.
TickOutcome land(BoardState& s, Surface& area, const BoardGeometry& board,
                 const RunSettings& settings, const Switches& switches) {
    s.ballsLeft = intAdd(s.ballsLeft, -1);
    s.rowIndex = 0;
    const int bin = board.binAt(s.ballX);
    if (s.binCounts.contains(bin))
        s.binCounts(bin) = intAdd(s.binCounts(bin), 1);
    plotKV(s, area, settings, switches);
    s.ballX = board.startX();
    s.ballY = 0;
    s.dropping = true;
    s.fallTick = 0;
    // The finished run's counts stay for the picture until the next fresh
    // start, an abort or a change of the column or ball count.
    return s.ballsLeft <= 0 ? TickOutcome::RunEnded : TickOutcome::Landed;
}

TickOutcome atPeg(BoardState& s, Surface& area, RandomSource& random, const BoardGeometry& board,
                  const RunSettings& settings, const Switches& switches) {
    TickOutcome outcome = TickOutcome::Moved;
    if (s.rowIndex == settings.columns - 1)
        outcome = land(s, area, board, settings, switches);
    // Drawn on the landing tick too, though the next ball draws afresh at its
    // first peg: the sequence of directions depends on it.
    s.hopDir = directionFor(random.next());
    s.atPeg = false;
    return outcome;
}

} // namespace

TickOutcome ballTick(BoardState& s, Surface& area, RandomSource& random,
                     const RunSettings& settings, const Switches& switches) {
    // The board of the last drawing, whose cell size the ball moves by.
    const BoardGeometry board(area.scaleWidth(), settings.columns, s.cellSize);
    if (s.dropping) {
        fall(s, area, board, switches.trail);
        return TickOutcome::Moved;
    }
    if (s.atPeg)
        return atPeg(s, area, random, board, settings, switches);
    hop(s, area, switches.trail);
    return TickOutcome::Moved;
}

} // namespace kug
