#pragma once
// The drawing surface over a retained image: the board survives the area being
// covered and uncovered, is kept at the screen's device pixel ratio, and every
// operation reports the rectangle it touched so that only that is repainted.

#include "render/surface.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>

#include <functional>

namespace kug {

class ImageSurface final : public Surface {
public:
    using DirtyHandler = std::function<void(const QRect&)>;

    explicit ImageSurface(Long backColor = rgb(255, 255, 255));
    ~ImageSurface() override;

    // Logical size of the inner area and the device pixel ratio to draw at.
    // The image keeps its picture (cropped or extended) until the next Cls.
    void setGeometry(QSize size, qreal devicePixelRatio);
    void setFont(const QFont& font) { font_ = font; }
    void setTextColor(Long color) { textColor_ = color; }
    void setDirtyHandler(DirtyHandler handler) { onDirty_ = std::move(handler); }

    // The finished picture; ends any drawing still under way.
    const QImage& image();

    int scaleWidth() const override { return size_.width(); }
    int scaleHeight() const override { return size_.height(); }
    Long backColor() const override { return backColor_; }
    void cls() override;
    void setFillStyle(int style) override { fillStyle_ = style; }
    void setFillColor(Long color) override { fillColor_ = color; }
    void circle(Single x, Single y, Single radius, Long color) override;
    void line(Single x1, Single y1, Single x2, Single y2, Long color) override;
    void box(Single x1, Single y1, Single x2, Single y2, Long color) override;
    void print(const std::string& text) override;

    static QColor toQColor(Long color);

private:
    QPainter& painter();
    void touched(const QRect& r);

    QImage image_;
    QPainter painter_;
    QSize size_;
    qreal dpr_ = 1;
    QFont font_;
    Long backColor_;
    Long textColor_ = rgb(0, 0, 0);
    Long fillColor_ = rgb(0, 0, 0);
    int fillStyle_ = 1; // transparent until a caller asks for solid
    QPointF textPos_;
    DirtyHandler onDirty_;
};

} // namespace kug
