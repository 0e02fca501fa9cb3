// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A drift-free tick schedule against a monotonic clock: deadlines are
// start + k * interval, so a late wake-up does not push later ticks back. Ticks
// that fell due while the event loop was busy are handed out on the next
// wake-up, but never more than a few milliseconds' worth: after a long stall
// (a modal box, a busy machine) the schedule restarts from now instead of
// letting the ball jump.

#include <cstdint>

namespace kug {

class TickSchedule {
public:
    // Most catch-up a single wake-up may deliver, in nanoseconds: a desktop's
    // timer wakes every millisecond, so a few are plenty; a browser's frames
    // come every 16 ms and more, so one wake-up must cover at least a frame.
    static constexpr std::int64_t desktopCatchUpNs = 5'000'000;

    explicit TickSchedule(std::int64_t maxCatchUpNs = desktopCatchUpNs)
        : maxCatchUpNs_(maxCatchUpNs) {}

    void start(std::int64_t nowNs, std::int64_t intervalNs);
    // Ticks due at `nowNs` (0 if none); the schedule moves past them.
    int takeDue(std::int64_t nowNs);
    std::int64_t nextDeadline() const { return next_; }
    std::int64_t interval() const { return interval_; }

private:
    std::int64_t maxCatchUpNs_;
    std::int64_t next_ = 0;
    std::int64_t interval_ = 1;
};

} // namespace kug
