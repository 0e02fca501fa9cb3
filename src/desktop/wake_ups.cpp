// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/wake_ups.h"

#include "desktop/frame_pacer.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <utility>

namespace kug {

namespace {

// The window's events that lead to the form's handlers.
bool reachesHandlers(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::TouchBegin:
    case QEvent::TouchEnd:
    case QEvent::Drop:
    case QEvent::Resize:
    case QEvent::WindowStateChange:
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        return true;
    default:
        return false;
    }
}

} // namespace

WakeUps::WakeUps(QWidget& window, TickClock& clock, FramePacer& pacer)
    : QObject(&window), window_(window), clock_(clock), pacer_(pacer) {
    elapsed_.start();
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &WakeUps::wake);
    measureFrames();
    // The native window is made when the widget is first shown.
    window.installEventFilter(this);
    watchWindow();
}

void WakeUps::measureFrames() {
    framePeriod_ = pacer_.framePeriodNs();
    clock_.setFramePeriod(framePeriod_);
}

void WakeUps::watchWindow() {
    QWindow* handle = window_.windowHandle();
    if (!handle || handle == watched_)
        return;
    watched_ = handle;
    handle->installEventFilter(this);
    connect(handle, &QWindow::screenChanged, this, &WakeUps::measureFrames);
    measureFrames();
}

bool WakeUps::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_) {
        if (event->type() == QEvent::WinIdChange)
            watchWindow();
        return false;
    }
    if (watched != watched_)
        return false;
    if (event->type() == QEvent::UpdateRequest) {
        if (frameAwaited_)
            wake();
        return false; // the window goes on with its own update
    }
    if (!reachesHandlers(event->type()))
        return false;
    // The ticks due by now first; then the event itself, delivered from here
    // as the application would have (every filter before this one has had
    // it), but within the clock's event, so that nothing it causes runs more.
    const TickClock::Event order(clock_);
    watched->event(event);
    return true;
}

void WakeUps::wakeAt(std::optional<std::int64_t> ns) {
    wanted_ = stopped_ ? std::nullopt : ns;
    if (!waking_)
        arm();
}

void WakeUps::stop() {
    stopped_ = true;
    wakeAt(std::nullopt);
    window_.removeEventFilter(this);
    if (watched_)
        watched_->removeEventFilter(this);
    watched_ = nullptr;
}

void WakeUps::wake() {
    timer_.stop();
    frameAwaited_ = false;
    waking_ = true;
    pacer_.beginBatch();
    clock_.runDue();
    presented_ = pacer_.isWaiting();
    pacer_.presentNow();
    waking_ = false;
    arm();
}

void WakeUps::arm() {
    const bool afterFrame = std::exchange(presented_, false);
    if (!wanted_) {
        timer_.stop();
        frameAwaited_ = false;
        return;
    }
    if (afterFrame && watched_ && FramePacer::framesFromCompositor() &&
        *wanted_ <= now() + framePeriod_) {
        // The callback of the frame just sent comes with the compositor's
        // next frame; a window it does not show gets none.
        frameAwaited_ = true;
        watched_->requestUpdate();
        startTimer(now() + 2 * framePeriod_);
        return;
    }
    startTimer(*wanted_);
}

void WakeUps::startTimer(std::int64_t at) {
    const std::int64_t wait = at - now();
    // Whole milliseconds, rounded up: a wake-up before the deadline would find nothing due.
    timer_.start(wait <= 0 ? 0 : static_cast<int>((wait + 999'999) / 1'000'000));
}

} // namespace kug
