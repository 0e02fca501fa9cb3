// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/pixel_raster.h"

#include <algorithm>
#include <cmath>

namespace kug::raster {

namespace {

using Coord = long long; // device coordinates of far-off circles overflow int

// Direct access to the rows of an RGB32 image, clipping every span.
class Rows {
public:
    explicit Rows(QImage& image)
        : bits_(image.bits()), stride_(image.bytesPerLine()), width_(image.width()),
          height_(image.height()) {}

    Coord height() const { return height_; }

    void span(Coord y, Coord x0, Coord x1, QRgb color) const {
        if (y < 0 || y >= height_)
            return;
        x0 = std::max<Coord>(x0, 0);
        x1 = std::min<Coord>(x1, width_ - 1);
        if (x0 > x1)
            return;
        auto* row = reinterpret_cast<QRgb*>(bits_ + y * stride_);
        std::fill(row + x0, row + x1 + 1, color);
    }

private:
    uchar* bits_;
    Coord stride_;
    Coord width_;
    Coord height_;
};

Coord isqrt(Coord v) {
    Coord s = static_cast<Coord>(std::sqrt(static_cast<double>(v)));
    while (s * s > v)
        --s;
    while ((s + 1) * (s + 1) <= v)
        ++s;
    return s;
}

// Half the width of the circle's row dy: x^2 + dy^2 <= R^2 + R, that is
// within R + 1/2 of the centre; -1 above and below the circle.
Coord halfWidth(Coord radius, Coord dy) {
    if (dy < -radius || dy > radius)
        return -1;
    return isqrt(radius * radius + radius - dy * dy);
}

} // namespace

void fillRect(QImage& image, int scale, const QRect& r, QRgb color) {
    if (image.isNull() || r.isEmpty())
        return;
    const Rows rows(image);
    const Coord x0 = Coord{r.left()} * scale;
    const Coord x1 = (Coord{r.right()} + 1) * scale - 1;
    const Coord y0 = std::max<Coord>(Coord{r.top()} * scale, 0);
    const Coord y1 = std::min<Coord>((Coord{r.bottom()} + 1) * scale - 1, rows.height() - 1);
    for (Coord y = y0; y <= y1; ++y)
        rows.span(y, x0, x1, color);
}

void circle(QImage& image, int scale, int cx, int cy, int r, QRgb outline,
            std::optional<QRgb> fill) {
    if (image.isNull() || r < 0)
        return;
    const Rows rows(image);
    const Coord radius = Coord{r} * scale;
    const Coord x = Coord{cx} * scale;
    const Coord y = Coord{cy} * scale;
    const Coord top = std::max(-radius, -y);
    const Coord bottom = std::min(radius, rows.height() - 1 - y);
    Coord above = halfWidth(radius, top - 1);
    Coord here = halfWidth(radius, top);
    for (Coord dy = top; dy <= bottom; ++dy) {
        const Coord below = halfWidth(radius, dy + 1);
        // A pixel is on the edge when a neighbour across a side lies outside.
        const Coord inner = std::min({above, below, here - 1});
        if (inner < 0) {
            rows.span(y + dy, x - here, x + here, outline);
        } else {
            rows.span(y + dy, x - here, x - inner - 1, outline);
            rows.span(y + dy, x + inner + 1, x + here, outline);
            if (fill)
                rows.span(y + dy, x - inner, x + inner, *fill);
        }
        above = here;
        here = below;
    }
}

} // namespace kug::raster
