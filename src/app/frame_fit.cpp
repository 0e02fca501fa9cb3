// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frame_fit.h"

#include <algorithm>
#include <map>

namespace kug {

FrameFit fitFrame(const std::vector<FramedControl>& controls, Extent designed, int contentTop) {
    // How much each row grows, by designed top.
    std::map<int, int> rowGrowth;
    int firstTop = designed.h, designedRight = 0, designedBottom = 0;
    for (const FramedControl& c : controls) {
        int& growth = rowGrowth[c.designed.y];
        growth = std::max(growth, c.needed.h - c.designed.h);
        firstTop = std::min(firstTop, c.designed.y);
        designedRight = std::max(designedRight, c.designed.right());
        designedBottom = std::max(designedBottom, c.designed.bottom());
    }
    // Every row moves down by what the caption of the frame and the rows
    // above it grew.
    std::map<int, int> rowShift;
    int shift = std::max(0, contentTop - firstTop);
    for (const auto& [top, growth] : rowGrowth) {
        rowShift[top] = shift;
        shift += growth;
    }

    FrameFit fit;
    int right = 0, bottom = 0;
    for (const FramedControl& c : controls) {
        // What the controls to its left in its row grew.
        int moved = 0;
        for (const FramedControl& left : controls)
            if (left.designed.y == c.designed.y && left.designed.x < c.designed.x)
                moved += std::max(0, left.needed.w - left.designed.w);
        const Box box{c.designed.x + moved, c.designed.y + rowShift[c.designed.y],
                      std::max(c.designed.w, c.needed.w), std::max(c.designed.h, c.needed.h)};
        fit.placed.push_back(box);
        right = std::max(right, box.right());
        bottom = std::max(bottom, box.bottom());
    }
    fit.size = Extent{std::max(designed.w, right + designed.w - designedRight),
                      std::max(designed.h, bottom + designed.h - designedBottom)};
    return fit;
}

} // namespace kug
