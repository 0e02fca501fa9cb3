// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/raster_surface.h"

#include <algorithm>

namespace kug {

RasterSurface::RasterSurface(Long backColor, Order order)
    : PixelSurface(backColor), order_(order) {}

std::uint32_t RasterSurface::pixel(Long color) const {
    const std::uint32_t argb = raster::opaque(color);
    if (order_ == Order::Bgra)
        return argb;
    return (argb & 0xFF00FF00u) | ((argb >> 16) & 0xFFu) | ((argb & 0xFFu) << 16);
}

raster::Pixels RasterSurface::target() {
    return raster::Pixels{buffer_.data(), deviceWidth(), deviceWidth(), deviceHeight()};
}

void RasterSurface::setGeometry(int width, int height, int scale) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    scale = std::max(scale, 1);
    if (width == scaleWidth() && height == scaleHeight() && scale == scale_ && !buffer_.empty())
        return;
    std::vector<std::uint32_t> next(static_cast<std::size_t>(width) * scale *
                                        static_cast<std::size_t>(height) * scale,
                                    pixel(backColor()));
    // The picture so far, cropped or extended, as a window's would be; at
    // another scale each new device pixel takes the old one it falls on, so
    // that a change of the screen's scale keeps what the board shows.
    const int rows = std::min(height, scaleHeight()) * scale;
    const int columns = std::min(width, scaleWidth()) * scale;
    const std::ptrdiff_t newStride = static_cast<std::ptrdiff_t>(width) * scale;
    for (int y = 0; y < rows; ++y) {
        const std::uint32_t* from =
            buffer_.data() + static_cast<std::ptrdiff_t>(y * scale_ / scale) * deviceWidth();
        std::uint32_t* to = next.data() + y * newStride;
        if (scale == scale_)
            std::copy_n(from, columns, to);
        else
            for (int x = 0; x < columns; ++x)
                to[x] = from[x * scale_ / scale];
    }
    buffer_ = std::move(next);
    setArea(width, height);
    scale_ = scale;
    shown_.forget(); // the page's canvas is made again at the new size
    touched(area());
}

DirtyRegion RasterSurface::takeChanged() {
    const PixelsView picture{buffer_.data(), deviceWidth(), deviceWidth(), deviceHeight()};
    const int s = scale_;
    DirtyRegion changed =
        shown_.changes(picture, touched_.rects(), [s](const raster::PixelRect& r) {
            return raster::PixelRect{r.left * s, r.top * s, (r.right + 1) * s - 1,
                                     (r.bottom + 1) * s - 1};
        });
    touched_.clear();
    return changed;
}

void RasterSurface::fill(const raster::PixelRect& r, Long color) {
    raster::fillRect(target(), scale_, r, pixel(color));
    touched(r);
}

void RasterSurface::cls() {
    fill(area(), backColor());
    text_.clear();
}

void RasterSurface::circle(Single x, Single y, Single radius, Long color) {
    const auto c = pixelCircle(x, y, radius);
    if (!c)
        return;
    raster::circle(target(), scale_, c->cx, c->cy, c->r, pixel(color),
                   c->fill ? std::optional<std::uint32_t>(pixel(*c->fill)) : std::nullopt);
    touched(c->bounds());
}

void RasterSurface::line(Single x1, Single y1, Single x2, Single y2, Long color) {
    if (const auto axis = raster::axisLine(pixelOf(x1), pixelOf(y1), pixelOf(x2), pixelOf(y2)))
        fill(*axis, color);
}

void RasterSurface::box(Single x1, Single y1, Single x2, Single y2, Long color) {
    fill(boxRect(x1, y1, x2, y2), color);
}

void RasterSurface::print(const std::string& text) {
    text_.push_back(text);
}

} // namespace kug
