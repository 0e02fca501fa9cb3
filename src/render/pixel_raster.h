// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whole-pixel drawing straight into an RGB32 image at a whole-number device
// pixel ratio: filled rectangles, and circles with a one-pixel outline and an
// optional filled inside. A board of 32 columns has 496 pegs and a hundred
// fills, and the ball is drawn twice a millisecond; each of these costs a few
// dozen instructions here against a few thousand through a painter call.

#include <QImage>
#include <QRect>

#include <optional>

namespace kug::raster {

// Fills the rectangle `r`, given in logical pixels, at `scale` device pixels
// per logical pixel, clipped to the image.
void fillRect(QImage& image, int scale, const QRect& r, QRgb color);

// The circle of radius `r` around the pixel (cx, cy), all in logical pixels:
// the pixels within r + 1/2 of the centre, those at its edge in `outline` and
// the others in `fill` (left as they are without a fill). Clipped to the image.
void circle(QImage& image, int scale, int cx, int cy, int r, QRgb outline,
            std::optional<QRgb> fill);

} // namespace kug::raster
