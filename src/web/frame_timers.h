// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The form's two timers for a front end that wakes once per screen frame, as
// a web page does from requestAnimationFrame: browsers clamp their own timers
// to 4 ms and more, so a frame hands out whatever fell due since the last one.
//
// The ball's timer keeps the desktop's drift-free schedule (every tick due is
// delivered, one by one) with a catch-up long enough to cover a frame or
// three; the fast loop's timer behaves like the desktop's ordinary timer: at
// most one tick per wake-up, the period counted again from its last due time.
// Toolkit-free, with the clock passed in, so that it can be tested natively.

#include "app/form_view.h"
#include "sim/tick_schedule.h"

#include <cstdint>
#include <functional>

namespace kug {

class FrameTimers {
public:
    // A frame at 60 Hz lasts 17 ms and a slow one three times that; a wake-up
    // must cover it, or the ball would lose the ticks of every frame but one.
    static constexpr std::int64_t ballCatchUpNs = 50'000'000;

    // An interval of 0 or less never ticks. A new interval of a running timer
    // counts from now.
    void setInterval(Timer timer, int ms, std::int64_t nowNs);
    // Switching the ball's timer on when it is on changes nothing; starting
    // the loop's timer always starts its period afresh, as the desktop's does.
    void setEnabled(Timer timer, bool on, std::int64_t nowNs);
    bool isEnabled(Timer timer) const { return slot(timer).enabled; }
    bool anyEnabled() const { return timmy_.enabled || fastTimmy_.enabled; }

    // Delivers what fell due by `nowNs`: the ball's ticks one by one while the
    // timer stays on with the same interval, then at most one tick of the
    // loop. Returns the number of ticks delivered.
    int deliver(std::int64_t nowNs, const std::function<void()>& timmyTick,
                const std::function<void()>& fastTimmyTick);

private:
    struct Slot {
        explicit Slot(std::int64_t catchUpNs) : schedule(catchUpNs) {}
        TickSchedule schedule;
        int intervalMs = 0;
        bool enabled = false;
        // Bumped on every restart: ticks of an older schedule are not delivered.
        unsigned generation = 0;
    };
    Slot& slot(Timer timer) { return timer == Timer::Timmy ? timmy_ : fastTimmy_; }
    const Slot& slot(Timer timer) const { return timer == Timer::Timmy ? timmy_ : fastTimmy_; }
    static void restart(Slot& s, std::int64_t nowNs);
    static int deliverDue(Slot& s, std::int64_t nowNs, const std::function<void()>& tick);

    Slot timmy_{ballCatchUpNs};
    // No catch-up: one tick however late the wake-up.
    Slot fastTimmy_{0};
};

} // namespace kug
