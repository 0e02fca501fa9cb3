// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Fitting a frame's designed controls to the font they are shown in. The
// designed boxes were drawn for a narrow font; with a platform font a caption
// may need more room. Every control keeps its designed size unless its
// caption needs more; what stands to its right in its row moves right by the
// same amount, and the rows below a taller control move down. The frame grows
// to hold its contents with its designed margins. Toolkit-free, so that every
// front end lays the controls out by the same rule.

#include <vector>

namespace kug {

struct Box {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    int right() const { return x + w; }
    int bottom() const { return y + h; }
    friend bool operator==(const Box&, const Box&) = default;
};

struct Extent {
    int w = 0;
    int h = 0;
    friend bool operator==(const Extent&, const Extent&) = default;
};

// A control as designed, in pixels of its frame's inside, and the least size
// its caption (or its text) needs in the current font.
struct FramedControl {
    Box designed;
    Extent needed;
};

struct FrameFit {
    std::vector<Box> placed; // in the order of the controls given
    Extent size;             // of the frame
};

// Controls share a row when they share their designed top; rows are taken
// from the top down. `contentTop` is the least top the first row may have
// (below the frame's caption); when it is lower than designed, every row
// moves down by the difference.
FrameFit fitFrame(const std::vector<FramedControl>& controls, Extent designed, int contentTop);

} // namespace kug
