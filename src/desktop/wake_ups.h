// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop's side of the form's clock (tick_clock.h): its reading, its
// wake-ups, and the order of ticks and input.
//
// Wake-ups: one precise single-shot timer at the time the clock asks for (the
// later of the next tick's deadline and the next frame); on Wayland, when the
// deadline falls within the next frame, the compositor's callback for the
// frame just sent instead, with the timer two frames later should the
// callback not come (a hidden window gets none, and its run goes on). After
// each wake-up the picture goes to the screen at once: one wake-up and one
// repaint a frame.
//
// Order: an event filter on the window runs the ticks due before its input,
// resize, state and focus events reach the widgets, and delivers the event
// inside one event of the clock, so that no tick lands between a button's
// accepting a click and its handler.

#include "app/tick_clock.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QWidget;
class QWindow;

namespace kug {

class FramePacer;

class WakeUps final : public QObject {
    Q_OBJECT
public:
    WakeUps(QWidget& window, TickClock& clock, FramePacer& pacer);

    std::int64_t now() const { return elapsed_.nsecsElapsed(); }
    void wakeAt(std::optional<std::int64_t> ns);
    // The window is going: no more wake-ups, and its last events no longer
    // reach the clock, which goes with the form before this object does.
    void stop();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchWindow();
    void wake();
    void arm();
    void startTimer(std::int64_t at);
    // The screen's refresh period, read again when the window moves to another screen.
    void measureFrames();

    QWidget& window_;
    TickClock& clock_;
    FramePacer& pacer_;
    QElapsedTimer elapsed_;
    QTimer timer_{this}; // a child, so that it counts among the window's timers
    QWindow* watched_ = nullptr;
    std::int64_t framePeriod_ = 0;
    std::optional<std::int64_t> wanted_; // the clock's wish
    bool waking_ = false;                // inside wake(): arm once, at its end
    bool presented_ = false;             // the last wake-up sent a frame
    bool frameAwaited_ = false;          // an update request to the window is under way
    bool stopped_ = false;
};

} // namespace kug
