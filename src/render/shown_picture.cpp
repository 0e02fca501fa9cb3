// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/shown_picture.h"

#include <algorithm>
#include <cstring>

namespace kug {

namespace {

// Eight pixels at a time through the equal stretches, then one by one: a
// difference lies within [i, end] (or [end, i] going left).
int firstDifference(const std::uint32_t* a, const std::uint32_t* b, int i, int end) {
    while (i + 8 <= end && std::memcmp(a + i, b + i, 32) == 0)
        i += 8;
    while (a[i] == b[i])
        ++i;
    return i;
}

int lastDifference(const std::uint32_t* a, const std::uint32_t* b, int i, int end) {
    while (i - 8 >= end && std::memcmp(a + i - 7, b + i - 7, 32) == 0)
        i -= 8;
    while (a[i] == b[i])
        --i;
    return i;
}

} // namespace

void ShownPicture::compare(const PixelsView& picture, raster::PixelRect r, DirtyRegion& changed) {
    const std::size_t size = static_cast<std::size_t>(picture.width) * picture.height;
    if (picture.bits == nullptr || size == 0)
        return;
    if (width_ != picture.width || pixels_.size() != size) {
        pixels_ = std::vector<std::uint32_t>(size, 0);
        width_ = picture.width;
    }
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, picture.width - 1);
    r.bottom = std::min(r.bottom, picture.height - 1);
    if (r.isEmpty())
        return;
    const std::size_t bytes = static_cast<std::size_t>(r.right - r.left + 1) * 4;
    for (int y = r.top; y <= r.bottom; ++y) {
        const std::uint32_t* now = picture.bits + y * picture.stride;
        std::uint32_t* shown = pixels_.data() + static_cast<std::ptrdiff_t>(y) * width_;
        // Most rows of a landing's board are as they were: one fast
        // comparison each.
        if (std::memcmp(now + r.left, shown + r.left, bytes) == 0)
            continue;
        const int left = firstDifference(now, shown, r.left, r.right);
        const int right = lastDifference(now, shown, r.right, left);
        std::memcpy(shown + left, now + left, static_cast<std::size_t>(right - left + 1) * 4);
        changed.add(raster::PixelRect{left, y, right, y});
    }
}

} // namespace kug
