// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rectangles of a picture that changed since the screen last had it, as
// few and as small as is worth it. The screen is handed these, not the box
// around them: a ball landing at the bottom and the remaining-balls line at
// the top must not send the whole board.
//
// The rule, in the caller's pixels:
// - two rectangles become their bounding box when it holds at most `slack`
//   pixels more than the two do (they overlap, touch or nearly touch): a
//   moving ball's sixteen ticks a frame stay one rectangle, and a few
//   thousand pixels more cost less than another rectangle, each of which is
//   a call of its own on the way to the screen (a copy into the window's
//   store, a request to the display server, a putImageData);
// - when `maxRects` are kept, another joins the one whose box with it adds
//   the fewest pixels: a landing's wiped trail stays a few rectangles along
//   the ball's way;
// - when taken for the screen, they become their bounding box only if they
//   cover at least half of it: most of it changed anyway.

#include "render/pixel_raster.h"

#include <array>
#include <cstddef>
#include <span>

namespace kug {

class DirtyRegion {
public:
    static constexpr long long slack = 64 * 64;
    static constexpr std::size_t maxRects = 8;

    void add(raster::PixelRect r);
    bool isEmpty() const { return count_ == 0; }
    std::span<const raster::PixelRect> rects() const { return {rects_.data(), count_}; }
    void clear() { count_ = 0; }
    // Readies the rectangles for the screen: one box when they cover at least
    // half of it.
    void fold();

private:
    void remove(std::size_t i) { rects_[i] = rects_[--count_]; }

    std::array<raster::PixelRect, maxRects> rects_{};
    std::size_t count_ = 0;
};

} // namespace kug
