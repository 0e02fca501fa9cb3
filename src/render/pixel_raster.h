// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whole-pixel drawing straight into a block of 32-bit pixels at a
// whole-number device pixel ratio: filled rectangles, and circles with a
// one-pixel outline and an optional filled inside. A board of 32 columns has
// 496 pegs and a hundred fills, and the ball is drawn twice a millisecond;
// each of these costs a few dozen instructions here against a few thousand
// through a general painter. Toolkit-free: any front end hands it its buffer.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace kug::raster {

// Pixels as 0xAARRGGBB words, row after row; `stride` words from one row to
// the next.
struct Pixels {
    std::uint32_t* bits = nullptr;
    std::ptrdiff_t stride = 0;
    int width = 0;
    int height = 0;
};

// A rectangle of whole logical pixels, `left`..`right` and `top`..`bottom`
// inclusive.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;
    bool isEmpty() const { return right < left || bottom < top; }
};

// The nearest whole pixel of a coordinate; `tiesDown` says which way a value
// halfway between two pixels goes. Values beyond a million pixels (and NaN,
// taken as 0) are held at that bound.
int nearestPixel(float v, bool tiesDown = false);

// The tie rule of an area `width` pixels wide: the ball's centre is W / 2
// rounded half to even, and the pegs, walls and bars stand at W / 2 plus whole
// cells, so with an odd W each of them is a tie. Ties go the way the ball's
// rounding went, so that the ball falls and hops on the pegs' own pixel
// column at every width.
bool tiesDownFor(int width);

// A rectangle from two corners in any order.
PixelRect spanRect(int x1, int y1, int x2, int y2);

// The pixels of an axis-aligned line from (x1, y1) to (x2, y2): its first
// pixel but not its last, so that a floor one pixel longer than its bin just
// reaches the right wall; nothing for a slanted line, which the board never
// draws.
std::optional<PixelRect> axisLine(int x1, int y1, int x2, int y2);

// What a circle of radius r around (cx, cy) may touch: its outline and a
// margin of one pixel.
PixelRect circleBounds(int cx, int cy, int r);

// A colour packed as red + 256 * green + 65536 * blue, as an opaque pixel.
std::uint32_t opaque(std::int32_t packed);

// Fills `r`, given in logical pixels, at `scale` device pixels per logical
// pixel, clipped to the pixels.
void fillRect(const Pixels& pixels, int scale, const PixelRect& r, std::uint32_t color);

// The circle of radius `r` around the pixel (cx, cy), all in logical pixels:
// the pixels within r + 1/2 of the centre, those at its edge in `outline` and
// the others in `fill` (left as they are without a fill). Clipped.
void circle(const Pixels& pixels, int scale, int cx, int cy, int r, std::uint32_t outline,
            std::optional<std::uint32_t> fill);

} // namespace kug::raster
