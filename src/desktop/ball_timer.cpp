// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/ball_timer.h"

namespace kug {

BallTimer::BallTimer(QObject* parent) : QObject(parent) {
    wakeUp_.setSingleShot(true);
    wakeUp_.setTimerType(Qt::PreciseTimer);
    connect(&wakeUp_, &QTimer::timeout, this, &BallTimer::wake);
    clock_.start();
}

void BallTimer::setInterval(int ms) {
    interval_ = ms;
    if (enabled_)
        restart(); // a new interval counts from now
}

void BallTimer::setEnabled(bool on) {
    if (on == enabled_)
        return;
    enabled_ = on;
    if (on)
        restart();
    else
        wakeUp_.stop();
}

void BallTimer::restart() {
    wakeUp_.stop();
    if (interval_ <= 0)
        return;
    schedule_.start(now(), std::int64_t{interval_} * 1'000'000);
    arm();
}

void BallTimer::arm() {
    const std::int64_t wait = schedule_.nextDeadline() - now();
    const auto ms = wait <= 0 ? 0 : static_cast<int>((wait + 999'999) / 1'000'000);
    wakeUp_.start(ms);
}

void BallTimer::wake() {
    const int generation = interval_;
    for (int due = schedule_.takeDue(now()); due > 0 && enabled_ && interval_ == generation; --due)
        emit timeout();
    if (enabled_ && interval_ > 0 && !wakeUp_.isActive())
        arm();
}

} // namespace kug
