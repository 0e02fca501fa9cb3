// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The board drawn on whole pixels into a buffer of its own, by the same rules
// as the desktop's picture (pixel_raster): for a front end without a painter
// of its own, such as the web page, which shows the buffer as it is. Text is
// left to the front end's own font: a Print is kept as a line to draw, in
// black, below the one printed before it (the first at the top left).
//
// What changed is handed on as the rectangles that differ from what the page
// was last given (shown_picture.h), never more than the drawing touched.

#include "render/dirty_region.h"
#include "render/pixel_surface.h"
#include "render/shown_picture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kug {

class RasterSurface final : public PixelSurface {
public:
    // The order of a pixel's bytes in memory: blue, green, red, alpha (a
    // 0xAARRGGBB word on a little-endian machine, as a QImage has it), or
    // red, green, blue, alpha, as a canvas's ImageData takes it.
    enum class Order { Bgra, Rgba };

    explicit RasterSurface(Long backColor = rgb(255, 255, 255), Order order = Order::Bgra);

    // Logical size of the area and whole device pixels per pixel (at least
    // 1). The picture is kept, cropped or extended with the background (at a
    // new scale, each device pixel taken from the old one it falls on), until
    // the next Cls.
    void setGeometry(int width, int height, int scale);

    // The pixels in the surface's order, row after row, device width by
    // device height.
    const std::uint32_t* pixels() const { return buffer_.data(); }
    int deviceWidth() const { return scaleWidth() * scale_; }
    int deviceHeight() const { return scaleHeight() * scale_; }
    int scale() const { return scale_; }
    // The lines printed since the last Cls.
    const std::vector<std::string>& textLines() const { return text_; }
    // The device pixels that differ from those taken before (all of them
    // the first time, and after a new size or scale), as rectangles ready
    // for the screen; afterwards they count as shown.
    DirtyRegion takeChanged();

    void cls() override;
    void circle(Single x, Single y, Single radius, Long color) override;
    void line(Single x1, Single y1, Single x2, Single y2, Long color) override;
    void box(Single x1, Single y1, Single x2, Single y2, Long color) override;
    void print(const std::string& text) override;

private:
    raster::Pixels target();
    void fill(const raster::PixelRect& r, Long color);
    void touched(const raster::PixelRect& r) { touched_.add(r); }
    std::uint32_t pixel(Long color) const;

    Order order_;
    std::vector<std::uint32_t> buffer_;
    int scale_ = 1;
    std::vector<std::string> text_;
    DirtyRegion touched_; // logical pixels drawn on since the last take
    ShownPicture shown_;
};

} // namespace kug
