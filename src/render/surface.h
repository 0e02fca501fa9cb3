// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The drawing operations the board uses on its drawing area. Coordinates are
// pixels from the top-left corner of the inner area, y downwards, as floats.
// Colours are packed RGB (red + 256 * green + 65536 * blue).

#include "state/integers.h"

#include <string>

namespace kug {

class Surface {
public:
    virtual ~Surface() = default;

    virtual int scaleWidth() const = 0;
    virtual int scaleHeight() const = 0;
    virtual Long backColor() const = 0;

    // Fills the area with the background colour; the text position returns to (0, 0).
    virtual void cls() = 0;
    // Only 0 (solid) is used: the following circles are filled.
    virtual void setFillStyle(int style) = 0;
    virtual void setFillColor(Long color) = 0;
    // Circle outlined in `color`, its interior filled with the fill colour.
    virtual void circle(Single x, Single y, Single radius, Long color) = 0;
    virtual void line(Single x1, Single y1, Single x2, Single y2, Long color) = 0;
    // Filled axis-aligned box with opposite corners (x1, y1) and (x2, y2), edges included.
    virtual void box(Single x1, Single y1, Single x2, Single y2, Long color) = 0;
    // Text at the text position in the foreground colour; then moves to the next line.
    virtual void print(const std::string& text) = 0;
};

} // namespace kug
