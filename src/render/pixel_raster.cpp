// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/pixel_raster.h"

#include <algorithm>
#include <cmath>

namespace kug::raster {

namespace {

using Coord = long long; // device coordinates of far-off circles overflow int

// Direct access to the rows of the pixels, clipping every span.
class Rows {
public:
    explicit Rows(const Pixels& p)
        : bits_(p.bits), stride_(p.stride), width_(p.width), height_(p.height) {}

    Coord height() const { return height_; }

    void span(Coord y, Coord x0, Coord x1, std::uint32_t color) const {
        if (y < 0 || y >= height_)
            return;
        x0 = std::max<Coord>(x0, 0);
        x1 = std::min<Coord>(x1, width_ - 1);
        if (x0 > x1)
            return;
        std::uint32_t* row = bits_ + y * stride_;
        std::fill(row + x0, row + x1 + 1, color);
    }

private:
    std::uint32_t* bits_;
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

int nearestPixel(float v, bool tiesDown) {
    if (!std::isfinite(v))
        return 0;
    const double d = v;
    const double p = tiesDown ? std::ceil(d - 0.5) : std::floor(d + 0.5);
    return static_cast<int>(std::clamp(p, -1.0e6, 1.0e6));
}

bool tiesDownFor(int width) {
    const double axis = width / 2.0;
    // The ball's rounding: to nearest, halves to even.
    return std::nearbyint(axis) < axis;
}

PixelRect spanRect(int x1, int y1, int x2, int y2) {
    return PixelRect{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

std::optional<PixelRect> axisLine(int x1, int y1, int x2, int y2) {
    if (x1 != x2 && y1 != y2)
        return std::nullopt;
    const int ex = x2 == x1 ? x2 : x2 - (x2 > x1 ? 1 : -1);
    const int ey = y2 == y1 ? y2 : y2 - (y2 > y1 ? 1 : -1);
    return spanRect(x1, y1, ex, ey);
}

PixelRect circleBounds(int cx, int cy, int r) {
    return PixelRect{cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1};
}

std::uint32_t opaque(std::int32_t packed) {
    const auto c = static_cast<std::uint32_t>(packed);
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

void fillRect(const Pixels& pixels, int scale, const PixelRect& r, std::uint32_t color) {
    if (pixels.bits == nullptr || r.isEmpty())
        return;
    const Rows rows(pixels);
    const Coord x0 = Coord{r.left} * scale;
    const Coord x1 = (Coord{r.right} + 1) * scale - 1;
    const Coord y0 = std::max<Coord>(Coord{r.top} * scale, 0);
    const Coord y1 = std::min<Coord>((Coord{r.bottom} + 1) * scale - 1, rows.height() - 1);
    for (Coord y = y0; y <= y1; ++y)
        rows.span(y, x0, x1, color);
}

void circle(const Pixels& pixels, int scale, int cx, int cy, int r, std::uint32_t outline,
            std::optional<std::uint32_t> fill) {
    if (pixels.bits == nullptr || r < 0)
        return;
    const Rows rows(pixels);
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
