// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/board_state.h"

#include <algorithm>

namespace kug {

void IntArray::redim(int upper) {
    items_.assign(static_cast<std::size_t>(std::max(upper, 0)), 0);
}

void IntArray::clearFirst(int n) {
    const auto count = static_cast<std::size_t>(std::clamp(n, 0, upper()));
    std::fill_n(items_.begin(), count, Integer{0});
}

void loadDefaults(BoardState& s) {
    s.aboutText = "Simulator Kuglovice,\r\nverzija 1";
    s.titleText = "Kuglovica";
    s.minFormHeight = 4200;
    s.minFormWidth = 6060;
    s.minBalls = 1;
    s.minColumns = 2;
    s.maxColumns = 32;
    s.binCounts.redim(32);
    s.theoryCounts.redim(s.maxColumns);
    s.minSpeed = 1;
    s.maxSpeed = 100;
    s.lineColor = rgb(0, 0, 0);
    s.ballColor = rgb(255, 0, 0);
    s.theoryColor = rgb(150, 200, 150);
    s.needsReset = true;
}

} // namespace kug
