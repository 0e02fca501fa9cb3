// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/animated_ball.h"

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

void fall(BoardState& s, Surface& area, bool trail) {
    eraseBall(s, area, s.ballX, s.ballY, trail);
    s.fallTick = intAdd(s.fallTick, 1);
    s.ballY = toInteger(s.ballY + intMul(s.fallTick, s.fallTick) / 10.0);
    const double limit = restLimit(s.cellSize, s.ballRadius);
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
TickOutcome land(BoardState& s, Surface& area, const BallInputs& in) {
    const int columns = in.plot.columns;
    s.ballsLeft = intAdd(s.ballsLeft, -1);
    s.rowIndex = 0;
    const int bin = binFor(s.ballX, area.scaleWidth(), columns, s.cellSize);
    if (s.binCounts.contains(bin))
        s.binCounts(bin) = intAdd(s.binCounts(bin), 1);
    plotKV(s, area, in.plot);
    s.ballX = toInteger(area.scaleWidth() / 2.0);
    s.ballY = 0;
    s.dropping = true;
    s.fallTick = 0;
    // The finished run's counts stay for the picture until the next fresh
    // start, an abort or a change of the column count.
    return s.ballsLeft <= 0 ? TickOutcome::RunEnded : TickOutcome::Landed;
}

TickOutcome atPeg(BoardState& s, Surface& area, RandomSource& random, const BallInputs& in) {
    TickOutcome outcome = TickOutcome::Moved;
    if (s.rowIndex == in.plot.columns - 1)
        outcome = land(s, area, in);
    // Drawn on the landing tick too, though the next ball draws afresh at its
    // first peg: the sequence of directions depends on it.
    s.hopDir = directionFor(random.next());
    s.atPeg = false;
    return outcome;
}

} // namespace

double restLimit(Integer cellSize, Integer ballRadius) {
    return intMul(3, cellSize) - ballRadius / 3.0 - ballRadius - 1;
}

int binFor(double x, double scaleWidth, int columns, Integer cellSize) {
    const double x0 = scaleWidth / 2 - static_cast<double>(columns) * cellSize;
    const double bin = std::floor((x - x0) / intMul(2, cellSize)) + 1;
    if (std::isnan(bin))
        return 1;
    return static_cast<int>(std::clamp(bin, 1.0, static_cast<double>(std::max(columns, 1))));
}

TickOutcome timmyTick(BoardState& s, Surface& area, RandomSource& random, const BallInputs& in) {
    if (s.dropping) {
        fall(s, area, in.trail);
        return TickOutcome::Moved;
    }
    if (s.atPeg)
        return atPeg(s, area, random, in);
    hop(s, area, in.trail);
    return TickOutcome::Moved;
}

} // namespace kug
