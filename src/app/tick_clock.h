// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The form's two timers on one clock, for every front end: `Timmy`, the
// animated ball's, on a drift-free schedule (deadlines start + k * interval,
// so that 1 ms really gives a thousand ticks a second), and `FastTimmy`, the
// fast loop's, which like an ordinary timer gives at most one tick however
// late it comes.
//
// A front end wakes the clock when the clock asks it to (runDue) and then
// shows the picture once. The clock asks for the next tick's deadline, but
// never for more wake-ups than the screen shows frames: at speed 100 one
// wake-up runs the 16 or 17 ticks that fell due since the last frame, one by
// one, and a screen could show no tick in between anyway. Ticks and the
// user's events keep their order in time: an event handled at its outermost
// level first runs every tick due by its moment (Event).

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>

namespace kug {

enum class Timer { Timmy, FastTimmy };

// A timer as the window is created: its interval and whether it is on.
struct TimerDesign {
    Timer timer;
    int intervalMs;
    bool enabled;
};
// The ball's timer is on with interval 0, so that it never ticks until
// start-up gives it its interval and stops it; the loop's is off, and once a
// loop starts it ticks every 100 ms.
inline constexpr TimerDesign designedTimers[] = {
    {.timer = Timer::Timmy, .intervalMs = 0, .enabled = true},
    {.timer = Timer::FastTimmy, .intervalMs = 100, .enabled = false},
};

constexpr const TimerDesign& designOf(Timer timer) {
    return designedTimers[static_cast<int>(timer)];
}

// What a front end gives the clock: its reading and its wake-up.
class ClockSource {
public:
    virtual ~ClockSource() = default;
    // Nanoseconds on a clock that never jumps.
    virtual std::int64_t now() const = 0;
    // The clock wants to run again at `ns`, replacing any earlier wish; with
    // none, not until a timer is switched on again.
    virtual void wakeAt(std::optional<std::int64_t> ns) = 0;
};

class TickClock {
public:
    using Tick = std::function<void(Timer)>;

    // A frame at 60 Hz lasts 17 ms, a slow one three times that: a wake-up's
    // catch-up must cover it, or the ball would lose the ticks of every frame
    // but one. A longer stall (a busy machine, a hidden page) is dropped, and
    // the schedule starts again from then, so that the ball does not jump.
    static constexpr std::int64_t catchUpNs = 50'000'000;

    TickClock(ClockSource& source, Tick tick) : source_(source), tick_(std::move(tick)) {}

    // An interval of 0 or less never ticks. A new interval of a running timer
    // counts from now.
    void setInterval(Timer timer, int ms);
    int interval(Timer timer) const { return slot(timer).intervalMs; }
    // Switching the ball's timer on when it is on changes nothing; starting
    // the loop's timer always starts its period afresh, as starting an
    // ordinary timer does.
    void setEnabled(Timer timer, bool on);
    bool isEnabled(Timer timer) const { return slot(timer).enabled; }
    // The screen's refresh period: while a timer runs, the wake-ups keep to
    // the frames of this period, at most one a frame. 0: one at every deadline.
    void setFramePeriod(std::int64_t ns) { framePeriod_ = std::max<std::int64_t>(ns, 0); }

    // Runs what fell due by `now` (by the source's reading when none): the
    // ball's ticks one by one while its timer stays on with the same
    // schedule, then at most one tick of the loop; then asks for the next
    // wake-up. Returns the number of ticks run.
    int runDue();
    int runDue(std::int64_t now);
    // When the clock wants to run next: the later of the next deadline and
    // the next frame; none while both timers are off.
    std::optional<std::int64_t> nextWake() const;
    // The source's reading, or the latest the clock has seen if that is later:
    // a browser's frame time may lie before its clock's reading.
    std::int64_t now();
    // Every tick run so far, for the benchmarks.
    std::uint64_t ticksRun() const { return ticksRun_; }

    // One user event, from its start to its end. At the outermost level it
    // first runs the ticks due by now; inside it (a handler that another
    // caused, or a front end's own handling of the event) none runs, so that
    // a tick never lands between an event's acceptance and its handler.
    class Event {
    public:
        explicit Event(TickClock& clock, bool catchUp = true);
        ~Event() { --clock_.depth_; }
        Event(const Event&) = delete;
        Event& operator=(const Event&) = delete;

    private:
        TickClock& clock_;
    };

    // A modal box's event loop, run from inside a handler: the events it
    // delivers are outermost again.
    class OwnLoop {
    public:
        explicit OwnLoop(TickClock& clock) : clock_(clock), depth_(clock.depth_) {
            clock.depth_ = 0;
        }
        ~OwnLoop() { clock_.depth_ = depth_; }
        OwnLoop(const OwnLoop&) = delete;
        OwnLoop& operator=(const OwnLoop&) = delete;

    private:
        TickClock& clock_;
        int depth_;
    };

private:
    struct Slot {
        explicit Slot(std::int64_t catchUp) : catchUpNs(catchUp) {}
        std::int64_t catchUpNs;
        int intervalMs = 0;
        bool enabled = false;
        std::int64_t next = 0; // the next deadline
        // Bumped on every restart and stop: ticks of an older schedule are not run.
        unsigned generation = 0;
        bool ticks() const { return enabled && intervalMs > 0; }
    };
    Slot& slot(Timer timer) { return timer == Timer::Timmy ? timmy_ : fastTimmy_; }
    const Slot& slot(Timer timer) const { return timer == Timer::Timmy ? timmy_ : fastTimmy_; }
    void restart(Slot& s);
    static int takeDue(Slot& s, std::int64_t now);
    int runSlot(Timer timer, std::int64_t now);
    void keepToFrames(std::int64_t now);
    void askForWakeUp();

    ClockSource& source_;
    Tick tick_;
    Slot timmy_{catchUpNs};
    Slot fastTimmy_{0}; // no catch-up: one tick however late the wake-up
    std::int64_t framePeriod_ = 0;
    std::int64_t frameDue_ = 0; // the earliest wake-up by the screen's frames
    std::int64_t latest_ = 0;   // the latest reading seen
    std::uint64_t ticksRun_ = 0;
    int depth_ = 0;        // events under way
    bool running_ = false; // inside runDue
};

// One of the clock's timers as the controls' timers are read: an interval and
// an enabled state.
class ClockTimer {
public:
    ClockTimer(const TickClock& clock, Timer timer) : clock_(clock), timer_(timer) {}
    int interval() const { return clock_.interval(timer_); }
    bool isEnabled() const { return clock_.isEnabled(timer_); }

private:
    const TickClock& clock_;
    Timer timer_;
};

} // namespace kug
