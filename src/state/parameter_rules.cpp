// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/parameter_rules.h"

#include "state/board_geometry.h"

namespace kug {

std::string normaliseFieldText(std::string_view text, FieldBounds bounds) {
    std::string t = decimalText(toInteger(numberValue(text)));
    if (numberValue(t) < bounds.lower)
        t = decimalText(bounds.lower);
    if (numberValue(t) > bounds.upper)
        t = decimalText(bounds.upper);
    return t;
}

Integer maxBallsFor(Integer cellSize) {
    return toInteger(BoardGeometry::binInnerHeight(cellSize) * 1.5);
}

Integer barUnitFor(Integer cellSize, double balls) {
    const Integer h = BoardGeometry::binInnerHeight(cellSize);
    const Integer d = toInteger(balls * 0.51);
    // d is at least 1 for every accepted ball count; a zero divisor would only
    // come from a field that was never validated, and then one ball is one pixel.
    if (d == 0)
        return 1;
    const Integer unit = toInteger(h / static_cast<double>(d));
    return unit == 0 ? Integer{1} : unit;
}

Long timerIntervalFor(double speed) {
    return toLong(101 - speed);
}

} // namespace kug
