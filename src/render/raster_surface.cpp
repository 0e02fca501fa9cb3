// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/raster_surface.h"

#include <algorithm>

namespace kug {

RasterSurface::RasterSurface(Long backColor) : PixelSurface(backColor) {}

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
                                    raster::opaque(backColor()));
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
    touched(area());
}

raster::PixelRect RasterSurface::takeChanged() {
    const raster::PixelRect r = changed_;
    changed_ = raster::PixelRect{};
    return r;
}

void RasterSurface::touched(const raster::PixelRect& r) {
    if (r.isEmpty())
        return;
    if (changed_.isEmpty()) {
        changed_ = r;
        return;
    }
    changed_ =
        raster::PixelRect{std::min(changed_.left, r.left), std::min(changed_.top, r.top),
                          std::max(changed_.right, r.right), std::max(changed_.bottom, r.bottom)};
}

void RasterSurface::fill(const raster::PixelRect& r, Long color) {
    raster::fillRect(target(), scale_, r, raster::opaque(color));
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
    raster::circle(target(), scale_, c->cx, c->cy, c->r, raster::opaque(color),
                   c->fill ? std::optional<std::uint32_t>(raster::opaque(*c->fill)) : std::nullopt);
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
