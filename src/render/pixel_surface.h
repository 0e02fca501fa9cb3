// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every surface that keeps its picture in pixels shares, whoever shows
// the pixels (the desktop's QImage, the page's buffer): the area's size, the
// fill colour and style the drawing operations set, and where a shape falls
// on the pixels (pixel_raster), so that both draw the same board pixel for
// pixel.

#include "render/pixel_raster.h"
#include "render/surface.h"

#include <optional>

namespace kug {

class PixelSurface : public Surface {
public:
    int scaleWidth() const override { return width_; }
    int scaleHeight() const override { return height_; }
    Long backColor() const override { return backColor_; }
    void setFillStyle(int style) override { fillStyle_ = style; }
    void setFillColor(Long color) override { fillColor_ = color; }

protected:
    // A circle on whole pixels: centred on the pixel of its centre, with its
    // radius rounded; its inside is filled (in `fill`) after a solid fill style.
    struct PixelCircle {
        int cx;
        int cy;
        int r;
        std::optional<Long> fill;
        raster::PixelRect bounds() const { return raster::circleBounds(cx, cy, r); }
    };

    explicit PixelSurface(Long backColor) : backColor_(backColor) {}

    // The area's size in logical pixels, which also decides where a
    // coordinate halfway between two pixels goes.
    void setArea(int width, int height);
    raster::PixelRect area() const { return raster::PixelRect{0, 0, width_ - 1, height_ - 1}; }
    int pixelOf(Single v) const { return raster::nearestPixel(v, tiesDown_); }
    // None for a circle whose centre or radius is not a number.
    std::optional<PixelCircle> pixelCircle(Single x, Single y, Single radius) const;
    raster::PixelRect boxRect(Single x1, Single y1, Single x2, Single y2) const {
        return raster::spanRect(pixelOf(x1), pixelOf(y1), pixelOf(x2), pixelOf(y2));
    }

private:
    int width_ = 0;
    int height_ = 0;
    bool tiesDown_ = false;
    Long backColor_;
    Long fillColor_ = rgb(0, 0, 0);
    int fillStyle_ = 1; // transparent until a caller asks for solid
};

} // namespace kug
