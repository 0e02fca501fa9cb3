// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/plot_kv.h"

#include <algorithm>

namespace kug {

namespace {

// Top edge of a bar of `count` balls standing one pixel above the floor. The
// height is taken in 32 bits and limited to the area's top (minus a margin), so
// counts left from an interrupted run never overflow or vanish off the area.
Single barTop(Single floorY, int count, Integer barUnit) {
    const long long height = static_cast<long long>(count) * barUnit;
    const long long limited = std::min<long long>(height, static_cast<long long>(floorY) + 1);
    return floorY - 1 - static_cast<Single>(limited);
}

void drawPegs(BoardState& s, Surface& area, int n, double halfW) {
    const Integer c = s.cellSize;
    const Single radius = static_cast<Single>(s.ballRadius / 3.0);
    for (int i = 1; i <= n - 1; ++i) {
        for (int j = 1; j <= i; ++j) {
            area.setFillStyle(0);
            area.setFillColor(s.lineColor);
            const double x = halfW + (2.0 * (j - 1) - (i - 1)) * c;
            const double y = (2.0 * (i - 1) + 3) * c;
            area.circle(static_cast<Single>(x), static_cast<Single>(y), radius, s.lineColor);
        }
    }
}

void drawBins(BoardState& s, Surface& area, const PlotInputs& in, double halfW) {
    const int n = in.columns;
    const Integer c = s.cellSize;
    const Integer c2 = intMul(2, c);
    const Integer c8 = intMul(8, c);
    const double yB = (2.0 * (n - 2) + 3 + 1) * c;
    const auto top = static_cast<Single>(yB);
    const auto floorY = static_cast<Single>(yB + c8);
    for (int k = 1; k <= n; ++k) {
        const double xk = halfW + (2.0 * (k - 1) - n) * c;
        const auto left = static_cast<Single>(xk);
        const auto right = static_cast<Single>(xk + c2);
        area.line(left, top, left, floorY, s.lineColor);
        area.line(right, top, right, floorY, s.lineColor);
        area.line(left, floorY, static_cast<Single>(xk + c2 + 1), floorY, s.lineColor);
        const auto barLeft = static_cast<Single>(xk + 1);
        const auto barRight = static_cast<Single>(xk + c2 - 1);
        const Single barBottom = floorY - 1;
        if (in.showTheory && s.theoryCounts.contains(k) && s.theoryCounts(k) > 0)
            area.box(barLeft, barBottom, barRight, barTop(floorY, s.theoryCounts(k), s.barUnit),
                     s.theoryColor);
        if (s.binCounts.contains(k) && s.binCounts(k) > 0)
            area.box(barLeft, barBottom, barRight, barTop(floorY, s.binCounts(k), s.barUnit),
                     s.ballColor);
    }
}

} // namespace

Integer fitCellSize(int w, int h, int columns) {
    const int n = columns;
    Integer c = toInteger((w - 20) / (2.0 * n));
    const auto needed = static_cast<Single>((2.0 * (n - 2) + 16) * c + 10);
    if (needed > static_cast<Single>(h))
        c = toInteger((h - 10) / (2.0 * (n - 2) + 16));
    return c;
}

std::string remainingBallsText(Integer ballsLeft) {
    if (ballsLeft <= 0)
        return {};
    const int rest = ballsLeft % 10;
    const bool teens = ballsLeft >= 11 && ballsLeft <= 19;
    const char* ending = (!teens && rest >= 2 && rest <= 4) ? "e" : "a";
    return "Još " + decimalText(ballsLeft) + " kuglic" + ending + ".";
}

void plotKV(BoardState& s, Surface& area, const PlotInputs& in) {
    area.cls();
    const int w = area.scaleWidth();
    const int h = area.scaleHeight();
    s.cellSize = fitCellSize(w, h, in.columns);
    s.ballRadius = toInteger(s.cellSize / 3.0);
    if (!in.fastMode && s.ballsLeft > 0)
        area.print(remainingBallsText(s.ballsLeft));
    const double halfW = w / 2.0;
    drawPegs(s, area, in.columns, halfW);
    drawBins(s, area, in, halfW);
}

} // namespace kug
