#include "app/sim_area.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace kug {

SimArea::SimArea(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    surface_.setDirtyHandler([this](const QRect& r) { update(r.translated(contentsRect().topLeft())); });
}

Surface& SimArea::surface() {
    // Read the size from the geometry itself: the board may be drawn before
    // the window is shown, when resize events are still pending.
    syncGeometry();
    surface_.setFont(font());
    return surface_;
}

void SimArea::syncGeometry() {
    surface_.setGeometry(contentsRect().size(), devicePixelRatioF());
}

void SimArea::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event); // the sunken border
    syncGeometry();
    QPainter p(this);
    const QRect inner = contentsRect();
    p.setClipRect(inner.intersected(event->rect()));
    p.drawImage(inner.topLeft(), surface_.image());
}

void SimArea::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    emit doubleClicked();
}

void SimArea::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    syncGeometry();
}

void SimArea::changeEvent(QEvent* event) {
    QFrame::changeEvent(event);
    if (event->type() == QEvent::ScreenChangeInternal)
        syncGeometry();
}

} // namespace kug
