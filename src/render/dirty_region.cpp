// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/dirty_region.h"

#include <algorithm>

namespace kug {

namespace {

using raster::PixelRect;

long long area(const PixelRect& r) {
    return r.isEmpty() ? 0
                       : (static_cast<long long>(r.right) - r.left + 1) *
                             (static_cast<long long>(r.bottom) - r.top + 1);
}

PixelRect united(const PixelRect& a, const PixelRect& b) {
    return PixelRect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                     std::max(a.bottom, b.bottom)};
}

// The pixels the box of the two holds beyond what they hold themselves.
long long wasted(const PixelRect& a, const PixelRect& b) {
    return area(united(a, b)) - area(a) - area(b);
}

} // namespace

void DirtyRegion::add(PixelRect r) {
    if (r.isEmpty())
        return;
    // The growing rectangle may reach others it did not before: look again
    // from the start after each merge.
    for (std::size_t i = 0; i < count_;) {
        if (wasted(rects_[i], r) <= slack) {
            r = united(r, rects_[i]);
            remove(i);
            i = 0;
        } else {
            ++i;
        }
    }
    if (count_ < maxRects) {
        rects_[count_++] = r;
        return;
    }
    // No room: it joins the one whose box with it adds the fewest pixels.
    std::size_t cheapest = 0;
    for (std::size_t i = 1; i < count_; ++i)
        if (wasted(rects_[i], r) < wasted(rects_[cheapest], r))
            cheapest = i;
    r = united(r, rects_[cheapest]);
    remove(cheapest);
    add(r);
}

void DirtyRegion::fold() {
    if (count_ < 2)
        return;
    PixelRect box = rects_[0];
    long long covered = 0;
    for (const PixelRect& r : rects()) {
        box = united(box, r);
        covered += area(r);
    }
    if (2 * covered >= area(box)) {
        rects_[0] = box;
        count_ = 1;
    }
}

} // namespace kug
