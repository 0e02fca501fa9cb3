// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one record of the board: every handler of the window reads and writes
// it. Field names and types follow the design: Integer is 16-bit, Long 32-bit,
// Single a 32-bit float, Booleans are plain bools.

#include "state/integers.h"

#include <string>
#include <vector>

namespace kug {

// An Integer array indexed from 1, as the board's bins are numbered.
// Re-dimensioning gives it a new upper bound and clears every element.
class IntArray {
public:
    void redim(int upper);
    int upper() const { return static_cast<int>(items_.size()); }
    bool contains(int i) const { return i >= 1 && i <= upper(); }
    Integer& operator()(int i) { return items_.at(static_cast<std::size_t>(i - 1)); }
    Integer operator()(int i) const { return items_.at(static_cast<std::size_t>(i - 1)); }
    // Zeroes entries 1..n (clamped to the array), as an abort does.
    void clearFirst(int n);

private:
    std::vector<Integer> items_;
};

struct BoardState {
    std::string aboutText;
    std::string titleText;
    Integer maxBalls = 0;
    Integer minBalls = 0;
    Integer maxColumns = 0;
    Integer minColumns = 0;
    Integer maxSpeed = 0;
    Integer minSpeed = 0;
    Integer minFormHeight = 0; // twips
    Integer minFormWidth = 0;  // twips
    Integer cellSize = 0;
    Long ballColor = 0;
    Long lineColor = 0;
    Long theoryColor = 0;
    Integer ballX = 0;
    Integer ballY = 0;
    bool dropping = false;
    bool atPeg = false;
    Integer fallTick = 0;
    Single hopX = 0;
    Single hopY = 0;
    Integer hopDir = 0;
    Integer rowIndex = 0;
    Integer ballsLeft = 0;
    bool needsReset = false;
    Single hopCoefA = 0;
    Single hopCoefB = 0;
    Single hopWidth = 0;
    Single hopDrop = 0;
    Single hopRise = 0;
    IntArray binCounts;
    Integer barUnit = 0;
    IntArray theoryCounts;
    Integer ballRadius = 0;
};

// Start-up defaults that need no window: texts, bounds, colours, arrays.
void loadDefaults(BoardState& s);

} // namespace kug
