// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/tick_schedule.h"

#include <algorithm>

namespace kug {

void TickSchedule::start(std::int64_t nowNs, std::int64_t intervalNs) {
    interval_ = std::max<std::int64_t>(intervalNs, 1);
    next_ = nowNs + interval_;
}

int TickSchedule::takeDue(std::int64_t nowNs) {
    if (nowNs < next_)
        return 0;
    const std::int64_t due = (nowNs - next_) / interval_ + 1;
    const std::int64_t cap = std::max<std::int64_t>(1, maxCatchUpNs_ / interval_);
    if (due > cap) {
        next_ = nowNs + interval_; // drop the backlog of a long stall
        return static_cast<int>(cap);
    }
    next_ += due * interval_;
    return static_cast<int>(due);
}

} // namespace kug
