#include "render/image_surface.h"

#include <QFontMetrics>

#include <cmath>

namespace kug {

namespace {

// Pixel column or row of a coordinate: the pixel whose square holds it.
int pixelOf(Single v) {
    if (!std::isfinite(v))
        return 0;
    return static_cast<int>(std::clamp(std::floor(static_cast<double>(v) + 0.5), -1.0e6, 1.0e6));
}

QRect spanRect(int x1, int y1, int x2, int y2) {
    return QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2)));
}

} // namespace

ImageSurface::ImageSurface(Long backColor) : backColor_(backColor) {}

ImageSurface::~ImageSurface() {
    if (painter_.isActive())
        painter_.end();
}

QColor ImageSurface::toQColor(Long color) {
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

void ImageSurface::setGeometry(QSize size, qreal devicePixelRatio) {
    size = size.expandedTo(QSize(0, 0));
    if (size == size_ && devicePixelRatio == dpr_ && !image_.isNull())
        return;
    if (painter_.isActive())
        painter_.end();
    QImage next(size * devicePixelRatio, QImage::Format_RGB32);
    next.setDevicePixelRatio(devicePixelRatio);
    next.fill(toQColor(backColor_));
    if (!image_.isNull() && !next.isNull()) {
        QPainter p(&next);
        p.drawImage(QPointF(0, 0), image_);
    }
    image_ = next;
    size_ = size;
    dpr_ = devicePixelRatio;
    touched(QRect(QPoint(0, 0), size_));
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
    }
    return painter_;
}

void ImageSurface::touched(const QRect& r) {
    if (onDirty_)
        onDirty_(r);
}

void ImageSurface::cls() {
    if (image_.isNull())
        return;
    painter().fillRect(QRect(QPoint(0, 0), size_), toQColor(backColor_));
    textPos_ = QPointF(0, 0);
    touched(QRect(QPoint(0, 0), size_));
}

void ImageSurface::circle(Single x, Single y, Single radius, Long color) {
    if (image_.isNull() || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(radius))
        return;
    QPainter& p = painter();
    p.setPen(QPen(toQColor(color), 0));
    p.setBrush(fillStyle_ == 0 ? QBrush(toQColor(fillColor_)) : Qt::NoBrush);
    const QPointF centre(x, y);
    p.drawEllipse(centre, radius, radius);
    const int r = static_cast<int>(std::ceil(std::min<Single>(radius, 1.0e6f))) + 2;
    touched(QRect(pixelOf(x) - r, pixelOf(y) - r, 2 * r + 1, 2 * r + 1));
}

void ImageSurface::line(Single x1, Single y1, Single x2, Single y2, Long color) {
    if (image_.isNull())
        return;
    const int px1 = pixelOf(x1), py1 = pixelOf(y1), px2 = pixelOf(x2), py2 = pixelOf(y2);
    QPainter& p = painter();
    if (px1 == px2 || py1 == py2) {
        // An axis-aligned line covers its first pixel but not its last, so a
        // floor one pixel longer than the bin just reaches the right wall.
        const int ex = px2 == px1 ? px2 : px2 - (px2 > px1 ? 1 : -1);
        const int ey = py2 == py1 ? py2 : py2 - (py2 > py1 ? 1 : -1);
        const QRect r = spanRect(px1, py1, ex, ey);
        p.fillRect(r, toQColor(color));
        touched(r);
        return;
    }
    p.setPen(QPen(toQColor(color), 0));
    p.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    touched(spanRect(px1, py1, px2, py2).adjusted(-1, -1, 1, 1));
}

void ImageSurface::box(Single x1, Single y1, Single x2, Single y2, Long color) {
    if (image_.isNull())
        return;
    const QRect r = spanRect(pixelOf(x1), pixelOf(y1), pixelOf(x2), pixelOf(y2));
    painter().fillRect(r, toQColor(color));
    touched(r);
}

void ImageSurface::print(const std::string& text) {
    if (image_.isNull())
        return;
    QPainter& p = painter();
    p.setFont(font_);
    p.setPen(toQColor(textColor_));
    const QFontMetrics metrics(font_);
    const QString s = QString::fromStdString(text);
    const QRect r(textPos_.toPoint(), QSize(metrics.horizontalAdvance(s) + 2, metrics.height()));
    p.drawText(textPos_ + QPointF(0, metrics.ascent()), s);
    textPos_.ry() += metrics.height();
    touched(r);
}

} // namespace kug
