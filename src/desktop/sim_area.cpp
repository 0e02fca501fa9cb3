// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/sim_area.h"

#include "app/controls.h"
#include "desktop/double_click.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace kug {

SimArea::SimArea(QWidget* parent) : QFrame(parent), pacer_(new FramePacer(this)) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(drawingAreaBorder);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    surface_.setFont(font());
    // A ball at the area's edge reports a margin beyond it; the border around
    // the picture never changes.
    surface_.setDirtyHandler([this](const QRect& r) {
        const QRect inner = contentsRect();
        pacer_->changed(r.translated(inner.topLeft()).intersected(inner));
    });
    // Of what the drawing touched, only what differs from the screen is
    // repainted: a landing draws the whole board, but changes a bar, a line
    // of text and the ball's way.
    pacer_->setNarrowing([this](const std::vector<QRect>& touched) {
        const QPoint origin = contentsRect().topLeft();
        std::vector<QRect> inPicture;
        for (const QRect& r : touched)
            inPicture.push_back(r.translated(-origin));
        surface_.markPainted(); // what is drawn from now on goes to the next frame
        QRegion region;
        for (const QRect& r : surface_.shownChanges(inPicture))
            region += r.translated(origin);
        return region;
    });
    descriptionRelease_.setSingleShot(true);
    descriptionRelease_.setInterval(DescriptionHold::holdMs);
    connect(&descriptionRelease_, &QTimer::timeout, this,
            [this] { publishDescription(descriptionHold_.release()); });
}

void SimArea::describe(const QString& text) {
    publishDescription(descriptionHold_.offer(text.toStdString()));
}

void SimArea::publishDescription(const std::optional<std::string>& text) {
    if (!text)
        return;
    setAccessibleDescription(QString::fromStdString(*text)); // raises DescriptionChanged
    descriptionRelease_.start();
}

void SimArea::requestAbout() {
    QMetaObject::invokeMethod(
        this, [this] { emit doubleClicked(); }, Qt::QueuedConnection);
}

Surface& SimArea::surface() {
    // Read the size from the geometry itself: the board may be drawn before
    // the window is shown, when resize events are still pending.
    syncGeometry();
    return surface_;
}

void SimArea::syncGeometry() {
    surface_.setGeometry(contentsRect().size(), devicePixelRatioF());
}

void SimArea::paintEvent(QPaintEvent* event) {
    const QRect inner = contentsRect();
    // A moving ball dirties a few pixels well inside the border; the sunken
    // border is drawn only when the repaint reaches it.
    if (!inner.contains(event->rect()))
        QFrame::paintEvent(event);
    syncGeometry();
    surface_.markPainted();
    // Only the dirty rectangles are copied from the picture, and the picture
    // stays open for drawing: ending and restarting its painter on every tick
    // would cost more than the ball itself.
    const QImage& picture = surface_.openImage();
    const qreal dpr = picture.devicePixelRatio();
    QPainter p(this);
    for (const QRect& dirty : event->region()) {
        const QRect target = dirty.intersected(inner);
        if (target.isEmpty())
            continue;
        const QRect source = target.translated(-inner.topLeft());
        p.drawImage(target, picture,
                    QRectF(source.x() * dpr, source.y() * dpr, source.width() * dpr,
                           source.height() * dpr));
    }
}

void SimArea::mouseDoubleClickEvent(QMouseEvent* event) {
    if (takeDoubleClick(event))
        emit doubleClicked();
}

void SimArea::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    syncGeometry();
}

bool SimArea::event(QEvent* event) {
    const bool handled = QFrame::event(event);
    // A window moved to a screen of another scale: the picture is made again
    // at the new device pixel ratio at once, keeping what it shows, and the
    // next drawing uses the new pixels. (The event never reaches
    // changeEvent().)
    if (event->type() == QEvent::ScreenChangeInternal)
        syncGeometry();
    return handled;
}

void SimArea::changeEvent(QEvent* event) {
    QFrame::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        surface_.setFont(font());
}

} // namespace kug
