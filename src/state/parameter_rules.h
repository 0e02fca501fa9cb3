// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Rules that turn the parameter fields' texts into accepted values and derive
// the bar height, the ball limit and the timer interval from them.

#include "state/integers.h"
#include "state/number_text.h"

#include <string>
#include <string_view>

namespace kug {

// Bounds of one parameter field.
struct FieldBounds {
    Integer lower;
    Integer upper;
};

// Losing the focus: the nearest 16-bit whole number of the text (saturating
// beyond 16 bits), then the lower bound, then the upper bound. The result is
// always the decimal text of a whole number within the bounds (the upper bound
// wins if the bounds were ever crossed).
std::string normaliseFieldText(std::string_view text, FieldBounds bounds);

// Largest accepted ball count, fixed at start-up from the first drawing.
Integer maxBallsFor(Integer cellSize);

// Height of one ball in a bar, so that 51 % of the balls fill a bin.
Integer barUnitFor(Integer cellSize, double balls);

// Tick period of the animated ball in milliseconds for a speed of 1..100.
Long timerIntervalFor(double speed);

} // namespace kug
