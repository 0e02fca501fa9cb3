// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/pixel_surface.h"

#include <algorithm>
#include <cmath>

namespace kug {

void PixelSurface::setArea(int width, int height) {
    width_ = width;
    height_ = height;
    tiesDown_ = raster::tiesDownFor(width);
}

std::optional<PixelSurface::PixelCircle> PixelSurface::pixelCircle(Single x, Single y,
                                                                   Single radius) const {
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(radius))
        return std::nullopt;
    return PixelCircle{pixelOf(x), pixelOf(y),
                       raster::nearestPixel(std::clamp<Single>(radius, 0.0f, 1.0e6f)),
                       fillStyle_ == 0 ? std::optional<Long>(fillColor_) : std::nullopt};
}

} // namespace kug
