// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tick_clock.h"

namespace kug {

namespace {

constexpr std::int64_t nsPerMs = 1'000'000;

} // namespace

std::int64_t TickClock::now() {
    latest_ = std::max(latest_, source_.now());
    return latest_;
}

void TickClock::restart(Slot& s) {
    ++s.generation;
    if (s.intervalMs > 0)
        s.next = now() + std::int64_t{s.intervalMs} * nsPerMs;
}

void TickClock::setInterval(Timer timer, int ms) {
    Slot& s = slot(timer);
    s.intervalMs = ms;
    if (s.enabled)
        restart(s);
    askForWakeUp();
}

void TickClock::setEnabled(Timer timer, bool on) {
    Slot& s = slot(timer);
    if (on == s.enabled && !(on && timer == Timer::FastTimmy))
        return;
    s.enabled = on;
    if (on)
        restart(s);
    else
        ++s.generation;
    askForWakeUp();
}

int TickClock::takeDue(Slot& s, std::int64_t now) {
    if (now < s.next)
        return 0;
    const std::int64_t interval = std::int64_t{s.intervalMs} * nsPerMs;
    const std::int64_t due = (now - s.next) / interval + 1;
    const std::int64_t cap = std::max<std::int64_t>(1, s.catchUpNs / interval);
    if (due > cap) {
        s.next = now + interval; // the backlog of a long stall is dropped
        return static_cast<int>(cap);
    }
    s.next += due * interval;
    return static_cast<int>(due);
}

int TickClock::runSlot(Timer timer, std::int64_t now) {
    Slot& s = slot(timer);
    if (!s.ticks())
        return 0;
    const unsigned generation = s.generation;
    int ran = 0;
    // A tick may stop its timer (the last ball landed) or restart it; the
    // rest of the batch then belongs to a schedule that no longer runs.
    for (int due = takeDue(s, now); due > 0 && s.generation == generation; --due) {
        tick_(timer);
        ++ran;
    }
    return ran;
}

int TickClock::runDue() {
    return runDue(now());
}

int TickClock::runDue(std::int64_t now) {
    // The handlers a tick causes never run the clock again: a tick runs to
    // its end before the next one.
    if (running_)
        return 0;
    latest_ = std::max(latest_, now);
    running_ = true;
    const int ran = runSlot(Timer::Timmy, latest_) + runSlot(Timer::FastTimmy, latest_);
    running_ = false;
    ticksRun_ += static_cast<std::uint64_t>(ran);
    if (ran > 0)
        keepToFrames(latest_);
    askForWakeUp();
    return ran;
}

void TickClock::keepToFrames(std::int64_t now) {
    // A catch-up between two frames (a user's event) leaves the frames where
    // they are. The frames keep to a grid of the period, so that a wake-up a
    // little late (a timer rounds to whole milliseconds) does not make every
    // later frame late too; one more than half a period late starts the grid
    // again from now.
    if (framePeriod_ == 0 || now < frameDue_)
        return;
    frameDue_ += framePeriod_;
    if (frameDue_ < now + framePeriod_ / 2)
        frameDue_ = now + framePeriod_;
}

std::optional<std::int64_t> TickClock::nextWake() const {
    std::optional<std::int64_t> deadline;
    for (const Slot* s : {&timmy_, &fastTimmy_})
        if (s->ticks())
            deadline = deadline ? std::min(*deadline, s->next) : s->next;
    if (!deadline)
        return std::nullopt;
    return std::max(*deadline, frameDue_);
}

void TickClock::askForWakeUp() {
    // Within a batch the wish is made once, at its end.
    if (!running_)
        source_.wakeAt(nextWake());
}

TickClock::Event::Event(TickClock& clock, bool catchUp) : clock_(clock) {
    if (catchUp && clock.depth_ == 0)
        clock.runDue();
    ++clock.depth_;
}

} // namespace kug
