// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/pixel_raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace kug::raster {

namespace {

using Coord = long long; // device coordinates of far-off circles overflow int

// Fills n >= 1 pixels from p. The ball's rows are a few pixels to a few
// dozen wide, where a general fill spends more on getting ready than on
// writing: four pixels at a time, the last four overlapping those before,
// take a handful of stores.
void fillSpan(std::uint32_t* p, Coord n, std::uint32_t color) {
    if (n > 32) {
        std::fill(p, p + n, color);
        return;
    }
    if (n < 4) {
        p[0] = color;
        if (n > 1)
            p[1] = color;
        if (n > 2)
            p[2] = color;
        return;
    }
    const std::uint32_t four[4] = {color, color, color, color};
    for (Coord i = 0; i < n - 4; i += 4)
        std::memcpy(p + i, four, sizeof four);
    std::memcpy(p + n - 4, four, sizeof four);
}

// Direct access to the rows of the pixels, clipping every span unless told
// that the spans lie within the pixels.
class Rows {
public:
    explicit Rows(const Pixels& p)
        : bits_(p.bits), stride_(p.stride), width_(p.width), height_(p.height) {}

    Coord width() const { return width_; }
    Coord height() const { return height_; }

    void span(Coord y, Coord x0, Coord x1, std::uint32_t color) const {
        if (y < 0 || y >= height_)
            return;
        x0 = std::max<Coord>(x0, 0);
        x1 = std::min<Coord>(x1, width_ - 1);
        if (x0 <= x1)
            inside(y, x0, x1, color);
    }

    // A span known to lie within the pixels: the rows of a circle that lies
    // wholly inside need none of the clipping.
    void inside(Coord y, Coord x0, Coord x1, std::uint32_t color) const {
        fillSpan(bits_ + y * stride_ + x0, x1 - x0 + 1, color);
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

// Up to this radius (in device pixels) the shape of a circle's rows is
// worked out once and kept: the ball is drawn twice a tick at the same radius.
constexpr Coord tableRadius = 511;

// Row |dy| = d of a circle reaches `reach[d]` pixels to either side of its
// centre, and the inside `inner[d]` of them (-1: the row is all edge).
struct RowShapes {
    Coord radius = -1;
    Coord reach[tableRadius + 2];
    Coord inner[tableRadius + 1];
};

// The rows of a circle of radius R <= tableRadius. Going away from the
// middle row a row is never wider than the one before, so each reach is
// found from the last by stepping down, without a square root.
const RowShapes& rowShapes(Coord radius) {
    thread_local RowShapes shapes;
    if (shapes.radius == radius)
        return shapes;
    Coord s = radius;
    Coord limit = radius * radius + radius;
    for (Coord d = 0; d <= radius; ++d) {
        while (s * s > limit)
            --s;
        shapes.reach[d] = s;
        limit -= 2 * d + 1;
    }
    shapes.reach[radius + 1] = -1;
    // A pixel is on the edge when a neighbour across a side lies outside:
    // the row further from the middle is the narrower one.
    for (Coord d = 0; d <= radius; ++d)
        shapes.inner[d] = std::min(shapes.reach[d + 1], shapes.reach[d] - 1);
    shapes.radius = radius;
    return shapes;
}

// The row shapes of a circle too large for the table, worked out row after
// row from the top: each row's reach is needed by the rows above and below.
class RollingShapes {
public:
    RollingShapes(Coord radius, Coord top)
        : radius_(radius), above_(halfWidth(radius, top - 1)), here_(halfWidth(radius, top)) {}

    // Reach and inside of row dy, the row after the one asked before.
    std::pair<Coord, Coord> next(Coord dy) {
        const Coord below = halfWidth(radius_, dy + 1);
        const std::pair<Coord, Coord> row{here_, std::min({above_, below, here_ - 1})};
        above_ = here_;
        here_ = below;
        return row;
    }

private:
    Coord radius_;
    Coord above_;
    Coord here_;
};

// Paints the rows top..bottom (from the centre row, all within the pixels)
// of the circle around (x, y) whose row dy `shape(dy)` gives as its reach
// and inside; `within` says the circle lies within the pixels' columns.
template <class Shape>
void paintRows(const Rows& rows, bool within, Coord x, Coord y, Coord top, Coord bottom,
               Shape shape, std::uint32_t outline, std::optional<std::uint32_t> fill) {
    const auto span = [&](Coord row, Coord x0, Coord x1, std::uint32_t color) {
        if (within)
            rows.inside(row, x0, x1, color);
        else
            rows.span(row, x0, x1, color);
    };
    // With the inside in the edge's colour a row is one span; the ball and
    // its erase without a trail, clear of the area's sides, take this loop
    // with nothing else to decide a row.
    const bool oneColor = fill && *fill == outline;
    if (within && oneColor) {
        for (Coord dy = top; dy <= bottom; ++dy) {
            const Coord reach = shape(dy).first;
            rows.inside(y + dy, x - reach, x + reach, outline);
        }
        return;
    }
    for (Coord dy = top; dy <= bottom; ++dy) {
        const auto [reach, inner] = shape(dy);
        if (inner < 0 || oneColor) {
            span(y + dy, x - reach, x + reach, outline);
            continue;
        }
        span(y + dy, x - reach, x - inner - 1, outline);
        span(y + dy, x + inner + 1, x + reach, outline);
        if (fill)
            span(y + dy, x - inner, x + inner, *fill);
    }
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
    const bool within = x - radius >= 0 && x + radius < rows.width();
    if (radius <= tableRadius) {
        const RowShapes& shapes = rowShapes(radius);
        const auto shape = [&shapes](Coord dy) {
            const Coord d = dy < 0 ? -dy : dy;
            return std::pair<Coord, Coord>{shapes.reach[d], shapes.inner[d]};
        };
        paintRows(rows, within, x, y, top, bottom, shape, outline, fill);
        return;
    }
    RollingShapes rolling(radius, top);
    const auto shape = [&rolling](Coord dy) { return rolling.next(dy); };
    paintRows(rows, within, x, y, top, bottom, shape, outline, fill);
}

} // namespace kug::raster
