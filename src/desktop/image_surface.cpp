// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/image_surface.h"

#include "render/pixel_raster.h"

#include <QFontMetrics>

#include <cmath>

namespace kug {

namespace {

QRect toQRect(const raster::PixelRect& r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
}

QRgb toQRgb(Long color) {
    return raster::opaque(color);
}

// Device pixels per logical pixel when that is a whole number, else 0.
int wholeScale(qreal devicePixelRatio) {
    const qreal rounded = std::round(devicePixelRatio);
    return rounded >= 1 && rounded <= 16 && rounded == devicePixelRatio ? static_cast<int>(rounded)
                                                                        : 0;
}

// The pixels of a grid `times` / `per` as fine that cover every pixel of `r`
// at least in part.
raster::PixelRect scaledOut(const QRect& r, qreal times, qreal per) {
    const auto down = [=](int v) { return static_cast<int>(std::floor(v * times / per)); };
    const auto up = [=](int v) { return static_cast<int>(std::ceil(v * times / per)); };
    return raster::PixelRect{down(r.left()), down(r.top()), up(r.right() + 1) - 1,
                             up(r.bottom() + 1) - 1};
}

// The board's text lines are black.
constexpr Long textColor = rgb(0, 0, 0);

} // namespace

ImageSurface::ImageSurface(Long backColor) : PixelSurface(backColor) {}

ImageSurface::~ImageSurface() {
    if (painter_.isActive())
        painter_.end();
}

QColor ImageSurface::toQColor(Long color) {
    return QColor::fromRgb(toQRgb(color));
}

void ImageSurface::setGeometry(QSize size, qreal devicePixelRatio) {
    size = size.expandedTo(QSize(0, 0));
    if (size == wholeArea().size() && devicePixelRatio == dpr_ && !image_.isNull())
        return;
    if (painter_.isActive())
        painter_.end();
    QImage next(size * devicePixelRatio, QImage::Format_RGB32);
    next.setDevicePixelRatio(devicePixelRatio);
    next.fill(toQColor(backColor()));
    if (!image_.isNull() && !next.isNull()) {
        QPainter p(&next);
        p.drawImage(QPointF(0, 0), image_);
    }
    image_ = next;
    shown_.forget(); // the screen has nothing of the new picture yet
    setArea(size.width(), size.height());
    dpr_ = devicePixelRatio;
    scale_ = wholeScale(devicePixelRatio);
    if (image_.size() != size * scale_)
        scale_ = 0;
    touched(wholeArea());
}

std::vector<QRect> ImageSurface::shownChanges(const std::vector<QRect>& touched) {
    // The picture is read, never written: the painter may stay open.
    const PixelsView picture{reinterpret_cast<const std::uint32_t*>(image_.constBits()),
                             image_.bytesPerLine() / 4, image_.width(), image_.height()};
    const DirtyRegion changed =
        shown_.changes(picture, touched, [this](const QRect& r) { return scaledOut(r, dpr_, 1); });
    std::vector<QRect> out;
    for (const raster::PixelRect& d : changed.rects())
        out.push_back(toQRect(scaledOut(toQRect(d), 1, dpr_)));
    return out;
}

const QImage& ImageSurface::image() {
    if (painter_.isActive())
        painter_.end();
    return image_;
}

QPainter& ImageSurface::painter() {
    if (!painter_.isActive() && !image_.isNull()) {
        painter_.begin(&image_);
        painter_.setRenderHint(QPainter::Antialiasing, false);
        pen_.reset();
        brush_.reset();
        brushSet_ = false;
    }
    return painter_;
}

raster::Pixels ImageSurface::pixels() {
    // The painter draws into the image's own buffer. Should the image be
    // shared, writing would give it a buffer of its own behind the painter's
    // back, so the painter is ended first.
    if (painter_.isActive() && !image_.isDetached())
        painter_.end();
    return raster::Pixels{reinterpret_cast<std::uint32_t*>(image_.bits()),
                          image_.bytesPerLine() / 4, image_.width(), image_.height()};
}

// The painter keeps its pen and brush; setting them only when they change
// spares a pen and a brush object per call.
void ImageSurface::usePen(Long color) {
    if (pen_ == color)
        return;
    pen_ = color;
    painter_.setPen(QPen(toQColor(color), 0));
}

void ImageSurface::useBrush(std::optional<Long> color) {
    if (brushSet_ && brush_ == color)
        return;
    brushSet_ = true;
    brush_ = color;
    painter_.setBrush(color ? QBrush(toQColor(*color)) : QBrush(Qt::NoBrush));
}

void ImageSurface::fill(const QRect& r, Long color) {
    if (scale_ > 0)
        raster::fillRect(pixels(), scale_, {r.left(), r.top(), r.right(), r.bottom()},
                         toQRgb(color));
    else
        painter().fillRect(r, toQColor(color));
}

void ImageSurface::touched(const QRect& r) {
    // Once the whole area waits for its repaint, the drawing that follows
    // (a whole board after Cls) need not be reported piece by piece.
    if (wholeAreaDirty_ || !onDirty_)
        return;
    wholeAreaDirty_ = r.contains(wholeArea());
    onDirty_(r);
}

void ImageSurface::cls() {
    if (image_.isNull())
        return;
    fill(wholeArea(), backColor());
    textPos_ = QPointF(0, 0);
    touched(wholeArea());
}

void ImageSurface::circle(Single x, Single y, Single radius, Long color) {
    const auto c = image_.isNull() ? std::nullopt : pixelCircle(x, y, radius);
    if (!c)
        return;
    if (scale_ > 0) {
        raster::circle(pixels(), scale_, c->cx, c->cy, c->r, toQRgb(color),
                       c->fill ? std::optional<QRgb>(toQRgb(*c->fill)) : std::nullopt);
    } else if (c->r == 0) {
        painter().fillRect(QRect(c->cx, c->cy, 1, 1), toQColor(color)); // the outline of a dot
    } else {
        QPainter& p = painter();
        usePen(color);
        useBrush(c->fill);
        p.drawEllipse(QRect(c->cx - c->r, c->cy - c->r, 2 * c->r, 2 * c->r));
    }
    touched(toQRect(c->bounds()));
}

void ImageSurface::line(Single x1, Single y1, Single x2, Single y2, Long color) {
    if (image_.isNull())
        return;
    const int px1 = pixelOf(x1), py1 = pixelOf(y1), px2 = pixelOf(x2), py2 = pixelOf(y2);
    if (const auto axis = raster::axisLine(px1, py1, px2, py2)) {
        const QRect r = toQRect(*axis);
        fill(r, color);
        touched(r);
        return;
    }
    QPainter& p = painter();
    usePen(color);
    p.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    touched(toQRect(raster::spanRect(px1, py1, px2, py2)).adjusted(-1, -1, 1, 1));
}

void ImageSurface::box(Single x1, Single y1, Single x2, Single y2, Long color) {
    if (image_.isNull())
        return;
    const QRect r = toQRect(boxRect(x1, y1, x2, y2));
    fill(r, color);
    touched(r);
}

void ImageSurface::print(const std::string& text) {
    if (image_.isNull())
        return;
    QPainter& p = painter();
    p.setFont(font_);
    p.setPen(toQColor(textColor));
    pen_.reset(); // the text pen is not a line pen
    const QFontMetrics metrics(font_);
    // The line is reported up to the area's right edge: measuring the text's
    // width would cost more than drawing it, and the board draws its text
    // only after a Cls, which reports the whole area anyway.
    const QRect r(textPos_.toPoint(),
                  QPoint(scaleWidth() - 1, textPos_.toPoint().y() + metrics.height() - 1));
    p.drawText(textPos_ + QPointF(0, metrics.ascent()), QString::fromStdString(text));
    textPos_.ry() += metrics.height();
    touched(r);
}

} // namespace kug
