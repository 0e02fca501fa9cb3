// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the screen was last given of a picture, pixel for pixel. A landing
// clears the board and draws all of it again, yet only the new bar, the
// remaining-balls line and the ball (with any trail) look different: held
// against this copy, the rectangles the drawing touched shrink to the pixels
// that changed. Every pixel handed on is taken into the copy, so that it
// always equals what the screen shows wherever the screen was given it.
//
// A pixel of the copy that was never shown is 0, which no picture's pixel is
// (they are all opaque): it counts as changed.

#include "render/dirty_region.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kug {

// A picture's pixels for reading: `stride` words from one row to the next.
struct PixelsView {
    const std::uint32_t* bits = nullptr;
    std::ptrdiff_t stride = 0;
    int width = 0;
    int height = 0;
};

class ShownPicture {
public:
    // The screen has nothing of the picture (it was made again at another size).
    void forget() { pixels_.clear(); }
    // Of the rectangles `touched` (each given in device pixels by
    // `toDevice`), the pixels where `picture` differs from what was shown, as
    // rectangles for the screen; from now on they count as shown.
    template <class Rects, class ToDevice>
    DirtyRegion changes(const PixelsView& picture, const Rects& touched, ToDevice toDevice) {
        DirtyRegion changed;
        for (const auto& r : touched)
            compare(picture, toDevice(r), changed);
        changed.fold();
        return changed;
    }

private:
    // Adds to `changed` the rows of `candidate` that differ, narrowed to
    // their differing pixels, and takes them as shown.
    void compare(const PixelsView& picture, raster::PixelRect candidate, DirtyRegion& changed);

    std::vector<std::uint32_t> pixels_;
    int width_ = 0;
};

} // namespace kug
