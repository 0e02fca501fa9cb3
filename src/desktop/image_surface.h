// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The drawing surface over a retained image: the board survives the area being
// covered and uncovered, is kept at the screen's device pixel ratio, and every
// operation reports the rectangle it touched; of those, only the pixels that
// differ from what the screen was last given are repainted.

#include "render/pixel_surface.h"
#include "render/shown_picture.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>

#include <functional>
#include <optional>
#include <vector>

namespace kug {

class ImageSurface final : public PixelSurface {
public:
    using DirtyHandler = std::function<void(const QRect&)>;

    explicit ImageSurface(Long backColor = rgb(255, 255, 255));
    ~ImageSurface() override;

    // Logical size of the inner area and the device pixel ratio to draw at.
    // The image keeps its picture (cropped or extended) until the next Cls.
    void setGeometry(QSize size, qreal devicePixelRatio);
    void setFont(const QFont& font) { font_ = font; }
    void setDirtyHandler(DirtyHandler handler) { onDirty_ = std::move(handler); }
    // The area has been repainted: changes are reported again from now on.
    void markPainted() { wholeAreaDirty_ = false; }

    // The finished picture; ends any drawing still under way.
    const QImage& image();
    // The picture as drawn so far, for copying to the screen, without ending
    // the drawing: the painter draws straight into the image and buffers
    // nothing, so every finished operation is already in it.
    const QImage& openImage() const { return image_; }
    // Of the rectangles (logical pixels) reported since the last call, what
    // differs from what the screen was given before, in logical pixels; the
    // caller hands it to the screen.
    std::vector<QRect> shownChanges(const std::vector<QRect>& touched);

    void cls() override;
    void circle(Single x, Single y, Single radius, Long color) override;
    void line(Single x1, Single y1, Single x2, Single y2, Long color) override;
    void box(Single x1, Single y1, Single x2, Single y2, Long color) override;
    void print(const std::string& text) override;

    static QColor toQColor(Long color);

private:
    QPainter& painter();
    // The image's pixels for writing directly, alongside the painter.
    raster::Pixels pixels();
    void fill(const QRect& r, Long color);
    void usePen(Long color);
    void useBrush(std::optional<Long> color); // none: circles are not filled
    void touched(const QRect& r);
    QRect wholeArea() const { return QRect(0, 0, scaleWidth(), scaleHeight()); }

    QImage image_;
    QPainter painter_;
    qreal dpr_ = 1;
    int scale_ = 0; // whole device pixels per pixel, or 0: the painter draws everything
    QFont font_;
    QPointF textPos_;
    ShownPicture shown_; // in device pixels
    DirtyHandler onDirty_;
    bool wholeAreaDirty_ = false;
    // What the active painter holds, so that it is set only on a change.
    std::optional<Long> pen_;
    std::optional<Long> brush_;
    bool brushSet_ = false;
};

} // namespace kug
