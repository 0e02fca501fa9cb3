// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/frame_timers.h"

namespace kug {

void FrameTimers::restart(Slot& s, std::int64_t nowNs) {
    ++s.generation;
    if (s.intervalMs > 0)
        s.schedule.start(nowNs, std::int64_t{s.intervalMs} * 1'000'000);
}

void FrameTimers::setInterval(Timer timer, int ms, std::int64_t nowNs) {
    Slot& s = slot(timer);
    s.intervalMs = ms;
    if (s.enabled)
        restart(s, nowNs);
}

void FrameTimers::setEnabled(Timer timer, bool on, std::int64_t nowNs) {
    Slot& s = slot(timer);
    if (on == s.enabled && !(on && timer == Timer::FastTimmy))
        return;
    s.enabled = on;
    if (on)
        restart(s, nowNs);
    else
        ++s.generation;
}

int FrameTimers::deliverDue(Slot& s, std::int64_t nowNs, const std::function<void()>& tick) {
    if (!s.enabled || s.intervalMs <= 0)
        return 0;
    const unsigned generation = s.generation;
    int delivered = 0;
    // A tick may stop the timer (the last ball landed) or restart it; the
    // rest of the batch then belongs to a schedule that no longer runs.
    for (int due = s.schedule.takeDue(nowNs); due > 0 && s.generation == generation; --due) {
        tick();
        ++delivered;
    }
    return delivered;
}

int FrameTimers::deliver(std::int64_t nowNs, const std::function<void()>& timmyTick,
                         const std::function<void()>& fastTimmyTick) {
    return deliverDue(timmy_, nowNs, timmyTick) + deliverDue(fastTimmy_, nowNs, fastTimmyTick);
}

} // namespace kug
