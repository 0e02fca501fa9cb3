// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The animated ball's timer: ticks every `interval` milliseconds on a
// drift-free schedule, so that 1 ms really gives a thousand ticks a second.
// Ticks that fell due while the event loop was busy are delivered one by one
// as ordinary ticks, stopping as soon as the timer is switched off.

#include "sim/tick_schedule.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace kug {

class BallTimer final : public QObject {
    Q_OBJECT
public:
    explicit BallTimer(QObject* parent = nullptr);

    // An interval of 0 or less never ticks.
    void setInterval(int ms);
    int interval() const { return interval_; }
    void setEnabled(bool on);
    bool isEnabled() const { return enabled_; }

signals:
    void timeout();

private:
    void restart();
    void wake();
    void arm();
    std::int64_t now() const { return clock_.nsecsElapsed(); }

    QTimer wakeUp_;
    QElapsedTimer clock_;
    TickSchedule schedule_;
    int interval_ = 0;
    bool enabled_ = false;
};

} // namespace kug
