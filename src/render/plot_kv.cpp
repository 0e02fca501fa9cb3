// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/plot_kv.h"

#include "state/board_geometry.h"
#include "state/number_text.h"

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

void drawPegs(const BoardState& s, Surface& area, const BoardGeometry& board) {
    const auto radius = static_cast<Single>(BoardGeometry::pegRadius(s.ballRadius));
    for (int i = 1; i <= board.columns() - 1; ++i) {
        for (int j = 1; j <= i; ++j) {
            area.setFillStyle(0);
            area.setFillColor(s.lineColor);
            area.circle(static_cast<Single>(board.pegX(i, j)), static_cast<Single>(board.pegY(i)),
                        radius, s.lineColor);
        }
    }
}

void drawBins(const BoardState& s, Surface& area, const BoardGeometry& board, bool showTheory) {
    const Integer width = BoardGeometry::binWidth(board.cell());
    const auto top = static_cast<Single>(board.binsTop());
    const auto floorY = static_cast<Single>(board.floorY());
    for (int k = 1; k <= board.columns(); ++k) {
        const double xk = board.binLeft(k);
        const auto left = static_cast<Single>(xk);
        const auto right = static_cast<Single>(xk + width);
        area.line(left, top, left, floorY, s.lineColor);
        area.line(right, top, right, floorY, s.lineColor);
        // The floor is one pixel longer than the bin, so that it reaches the right wall.
        area.line(left, floorY, static_cast<Single>(xk + width + 1), floorY, s.lineColor);
        const auto barLeft = static_cast<Single>(xk + 1);
        const auto barRight = static_cast<Single>(xk + width - 1);
        const Single barBottom = floorY - 1;
        if (showTheory && s.theoryCounts.contains(k) && s.theoryCounts(k) > 0)
            area.box(barLeft, barBottom, barRight, barTop(floorY, s.theoryCounts(k), s.barUnit),
                     s.theoryColor);
        if (s.binCounts.contains(k) && s.binCounts(k) > 0)
            area.box(barLeft, barBottom, barRight, barTop(floorY, s.binCounts(k), s.barUnit),
                     s.ballColor);
    }
}

} // namespace

std::string remainingBallsText(Integer ballsLeft) {
    if (ballsLeft <= 0)
        return {};
    const int rest = ballsLeft % 10;
    const bool teens = ballsLeft >= 11 && ballsLeft <= 19;
    const char* ending = (!teens && rest >= 2 && rest <= 4) ? "e" : "a";
    return "Još " + decimalText(ballsLeft) + " kuglic" + ending + ".";
}

std::string shownRemainingBallsLine(const BoardState& s, const Switches& switches) {
    return switches.fast ? std::string() : remainingBallsText(s.ballsLeft);
}

void plotKV(BoardState& s, Surface& area, const RunSettings& settings, const Switches& switches) {
    area.cls();
    const BoardGeometry board =
        BoardGeometry::fitted(area.scaleWidth(), area.scaleHeight(), settings.columns);
    s.cellSize = board.cell();
    s.ballRadius = BoardGeometry::ballRadius(board.cell());
    if (const std::string line = shownRemainingBallsLine(s, switches); !line.empty())
        area.print(line);
    drawPegs(s, area, board);
    drawBins(s, area, board, switches.theory);
}

} // namespace kug
