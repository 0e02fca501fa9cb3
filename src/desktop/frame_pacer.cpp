// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/frame_pacer.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace kug {

FramePacer::FramePacer(QWidget* widget) : QObject(widget), widget_(widget) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &FramePacer::present);
}

bool FramePacer::framesFromCompositor() {
    static const bool wayland =
        QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    return wayland;
}

std::int64_t FramePacer::framePeriodNs() const {
    const QScreen* screen = widget_->screen();
    const qreal hz = screen ? screen->refreshRate() : 60;
    // A rate a screen cannot have (0, or absurd) counts as 60 Hz.
    return std::llround(1e9 / (hz >= 10 && hz <= 1000 ? hz : 60));
}

int FramePacer::framePeriodMs() const {
    return static_cast<int>(framePeriodNs() / 1'000'000);
}

void FramePacer::changed(const QRect& r) {
    if (r.isEmpty())
        return;
    const bool first = pending_.isEmpty();
    pending_.add(raster::PixelRect{r.left(), r.top(), r.right(), r.bottom()});
    if (first && !batch_)
        schedule();
}

void FramePacer::schedule() {
    QWindow* window = widget_->window()->windowHandle();
    if (framesFromCompositor() && window) {
        if (!frameRequested_) {
            frameRequested_ = true;
            window->installEventFilter(this);
            window->requestUpdate();
        }
        return;
    }
    // The first change after a quiet spell goes out at once; later ones wait
    // until a frame has passed since the last.
    const qint64 since = sincePresent_.isValid() ? sincePresent_.elapsed() : framePeriodMs();
    timer_.start(static_cast<int>(std::max<qint64>(0, framePeriodMs() - since)));
}

bool FramePacer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::UpdateRequest && frameRequested_) {
        frameRequested_ = false;
        watched->removeEventFilter(this);
        present();
    }
    return false; // the window goes on with its own update
}

void FramePacer::presentNow() {
    batch_ = false;
    timer_.stop();
    present();
}

void FramePacer::present() {
    if (pending_.isEmpty())
        return;
    sincePresent_.start();
    std::vector<QRect> changed;
    for (const raster::PixelRect& r : pending_.rects())
        changed.emplace_back(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
    pending_.clear();
    QRegion region;
    if (narrowing_) {
        region = narrowing_(changed);
    } else {
        for (const QRect& r : changed)
            region += r;
    }
    if (!region.isEmpty())
        widget_->repaint(region);
}

} // namespace kug
