// SPDX-License-Identifier: GPL-3.0-or-later
// The form's clock with made-up clock readings: every tick of the ball's
// timer run one by one on a drift-free schedule, woken by a page's frames or
// when the clock asks, at most once a frame; a stall cut to the catch-up; a
// batch cut short when a tick switches its timer off or restarts it; the
// loop's timer at most once a wake-up; the rules for starting and changing
// the timers; which events run the ticks due first.

#include "app/tick_clock.h"

#include <QTest>

#include <cstdint>
#include <string>

using namespace kug;

namespace {

constexpr qint64 ms = 1'000'000;

struct ScriptedSource final : ClockSource {
    std::int64_t at = 0;
    std::optional<std::int64_t> wanted;
    std::int64_t now() const override { return at; }
    void wakeAt(std::optional<std::int64_t> ns) override { wanted = ns; }
};

// A clock whose ticks are counted per timer, in the order they run.
struct Counted {
    ScriptedSource source;
    std::string order; // 'b' a ball tick, 'l' a loop tick
    std::function<void(int)> onBallTick = [](int) {};
    TickClock clock{source, [this](Timer t) {
                        order += t == Timer::Timmy ? 'b' : 'l';
                        if (t == Timer::Timmy)
                            onBallTick(static_cast<int>(order.size()));
                    }};
    void start(Timer timer, int interval, std::int64_t at = 0) {
        source.at = at;
        clock.setInterval(timer, interval);
        clock.setEnabled(timer, true);
    }
};

} // namespace

Q_DECLARE_METATYPE(kug::Timer)

class TestTickClock : public QObject {
    Q_OBJECT
private slots:
    void overASecond_data();
    void overASecond();
    void batchEnds_data();
    void batchEnds();
    void restarts_data();
    void restarts();
    void ballTicksBeforeLoop();
    void eventsRunWhatIsDue();
    void neverBackInTime();
};

// One second of wake-ups: a page's frames every `frame` ns, one of them (the
// first after 300 ms) `late` ns late; or with `frame` 0 whenever the clock
// asks, each `late` ns late, the clock keeping to frames of `period` ns.
void TestTickClock::overASecond_data() {
    QTest::addColumn<Timer>("timer");
    QTest::addColumn<int>("interval");
    QTest::addColumn<qint64>("frame");
    QTest::addColumn<qint64>("period");
    QTest::addColumn<qint64>("late");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("mostInAWake");
    QTest::addColumn<int>("wakes"); // that ran a tick
    // Speed 100: a thousand ticks a second whatever the frame rate, so long
    // as a frame is shorter than the catch-up.
    QTest::newRow("1 ms at 60 Hz")
        << Timer::Timmy << 1 << 16'666'667LL << 0LL << 0LL << 1000 << 17 << 60;
    QTest::newRow("1 ms at 30 Hz")
        << Timer::Timmy << 1 << 33'333'334LL << 0LL << 0LL << 1000 << 34 << 30;
    QTest::newRow("1 ms at 144 Hz")
        << Timer::Timmy << 1 << 6'944'445LL << 0LL << 0LL << 1000 << 7 << 144;
    // A frame that comes 200 ms late (a hidden tab, a busy machine) owes the
    // ticks of 217 ms and runs those of 50: 167 are lost.
    QTest::newRow("1 ms, stall of 200")
        << Timer::Timmy << 1 << 16'666'667LL << 0LL << 200 * ms << 833 << 50 << 48;
    QTest::newRow("50 ms at 60 Hz")
        << Timer::Timmy << 50 << 16'666'667LL << 0LL << 0LL << 20 << 1 << 20;
    QTest::newRow("100 ms at 30 Hz")
        << Timer::Timmy << 100 << 33'333'334LL << 0LL << 0LL << 10 << 1 << 10;
    QTest::newRow("never at 0 ms")
        << Timer::Timmy << 0 << 16'666'667LL << 0LL << 0LL << 0 << 0 << 0;
    // The loop's timer catches nothing up: the frame 350 ms late owes four
    // ticks and runs one, and the period starts again from it.
    QTest::newRow("loop at 60 Hz")
        << Timer::FastTimmy << 100 << 16'666'667LL << 0LL << 0LL << 10 << 1 << 10;
    QTest::newRow("loop, stall of 350")
        << Timer::FastTimmy << 100 << 16'666'667LL << 0LL << 350 * ms << 6 << 1 << 6;
    QTest::newRow("loop at 5 Hz") << Timer::FastTimmy << 100 << 200 * ms << 0LL << 0LL << 5 << 1
                                  << 5;
    // Woken when it asks, on a 50 Hz screen: at the first deadline, then once
    // a frame; a wake-up late by a timer's rounding makes no later one late.
    QTest::newRow("1 ms, frames of 20")
        << Timer::Timmy << 1 << 0LL << 20 * ms << 0LL << 1000 << 20 << 51;
    QTest::newRow("1 ms, frames of 20, 0.7 late")
        << Timer::Timmy << 1 << 0LL << 20 * ms << 700'000LL << 1000 << 20 << 51;
    QTest::newRow("100 ms, frames of 20")
        << Timer::Timmy << 100 << 0LL << 20 * ms << 0LL << 10 << 1 << 10;
    QTest::newRow("loop, frames of 20")
        << Timer::FastTimmy << 100 << 0LL << 20 * ms << 0LL << 10 << 1 << 10;
    // At every deadline: the late wake-ups still keep to the start + k *
    // interval grid.
    QTest::newRow("1 ms, every deadline")
        << Timer::Timmy << 1 << 0LL << 0LL << 0LL << 1000 << 1 << 1000;
    QTest::newRow("1 ms, every deadline, 4.9 late")
        << Timer::Timmy << 1 << 0LL << 0LL << 4'900'000LL << 1000 << 5 << 200;
    QTest::newRow("10 ms, every deadline, 3 late")
        << Timer::Timmy << 10 << 0LL << 0LL << 3 * ms << 100 << 1 << 100;
}

void TestTickClock::overASecond() {
    QFETCH(Timer, timer);
    QFETCH(int, interval);
    QFETCH(qint64, frame);
    QFETCH(qint64, period);
    QFETCH(qint64, late);
    QFETCH(int, ticks);
    QFETCH(int, mostInAWake);
    QFETCH(int, wakes);
    Counted c;
    c.clock.setFramePeriod(period);
    c.start(timer, interval);
    int most = 0, woken = 0;
    const auto wake = [&](qint64 at) {
        c.source.at = at;
        const std::size_t before = c.order.size();
        const int ran = c.clock.runDue();
        QCOMPARE(std::size_t(ran), c.order.size() - before);
        most = std::max(most, ran);
        woken += ran > 0 ? 1 : 0;
    };
    if (frame > 0) {
        bool stalled = late == 0;
        for (qint64 now = 0; now < 1000 * ms;) {
            now += frame;
            if (!stalled && now >= 300 * ms) {
                now += late;
                stalled = true;
            }
            wake(now);
        }
    } else {
        while (c.source.wanted && *c.source.wanted <= 1000 * ms)
            wake(*c.source.wanted + late);
    }
    const auto count = [&](char k) { return int(std::count(c.order.begin(), c.order.end(), k)); };
    QCOMPARE(count(timer == Timer::Timmy ? 'b' : 'l'), ticks);
    QCOMPARE(count(timer == Timer::Timmy ? 'l' : 'b'), 0);
    QCOMPARE(most, mostInAWake);
    QCOMPARE(woken, wakes);
    QCOMPARE(c.clock.ticksRun(), std::uint64_t(ticks));
    // Nothing to wait for from a timer that never ticks.
    QCOMPARE(c.source.wanted.has_value(), interval > 0);
}

// The ball's timer at 1 ms; at 17 ms a wake-up owes seventeen ticks, and the
// fifth does something to its timer.
void TestTickClock::batchEnds_data() {
    QTest::addColumn<QString>("fifth");
    QTest::addColumn<int>("ran");   // by that wake-up
    QTest::addColumn<int>("later"); // by one at 34 ms
    // The last ball lands: none of the other twelve runs, then or later, and
    // the clock asks for no wake-up.
    QTest::newRow("switched off") << "off" << 5 << 0;
    // A new interval (2 ms) counts from then: 19, 21, ... 33.
    QTest::newRow("new interval") << "interval" << 5 << 8;
    // A handler the tick causes runs no ticks of its own.
    QTest::newRow("an event inside") << "event" << 17 << 17;
}

void TestTickClock::batchEnds() {
    QFETCH(QString, fifth);
    QFETCH(int, ran);
    QFETCH(int, later);
    Counted c;
    c.start(Timer::Timmy, 1);
    c.onBallTick = [&](int n) {
        if (n == 5 && fifth == "off")
            c.clock.setEnabled(Timer::Timmy, false);
        if (n == 5 && fifth == "interval")
            c.clock.setInterval(Timer::Timmy, 2);
        if (n == 5 && fifth == "event") {
            const TickClock::Event nested(c.clock);
        }
    };
    c.source.at = 17 * ms;
    QCOMPARE(c.clock.runDue(), ran);
    c.source.at = 34 * ms;
    QCOMPARE(c.clock.runDue(), later);
    QCOMPARE(c.source.wanted.has_value(), fifth != "off");
}

// What a call does to a running timer's schedule: the ticks a wake-up at
// 25 ms runs after the call at 10 ms, with the timer started at 0.
void TestTickClock::restarts_data() {
    QTest::addColumn<Timer>("timer");
    QTest::addColumn<QString>("call");
    QTest::addColumn<int>("ticks");
    // Switched on again: the ball's timer keeps its schedule...
    QTest::newRow("ball timer on again") << Timer::Timmy << "on" << 2;
    // ...the loop's starts its period afresh.
    QTest::newRow("loop timer started again") << Timer::FastTimmy << "on" << 1;
    // A new interval counts from now.
    QTest::newRow("ball timer, new interval") << Timer::Timmy << "interval" << 1;
    QTest::newRow("loop timer, new interval") << Timer::FastTimmy << "interval" << 1;
    // Off and on again: a fresh start.
    QTest::newRow("ball timer off and on") << Timer::Timmy << "off on" << 1;
    QTest::newRow("ball timer off") << Timer::Timmy << "off" << 0;
}

void TestTickClock::restarts() {
    QFETCH(Timer, timer);
    QFETCH(QString, call);
    QFETCH(int, ticks);
    Counted c;
    c.start(timer, 12);
    c.source.at = 10 * ms;
    for (const QString& step : call.split(' ')) {
        if (step == "on")
            c.clock.setEnabled(timer, true);
        else if (step == "off")
            c.clock.setEnabled(timer, false);
        else
            c.clock.setInterval(timer, 12);
    }
    // Due at 12 and 24 on the first schedule, at 22 on a new one from 10.
    c.source.at = 25 * ms;
    QCOMPARE(c.clock.runDue(), ticks);
}

// Both due in one wake-up: the ball's ticks first, then the loop's (the form
// never runs both, but the order is fixed).
void TestTickClock::ballTicksBeforeLoop() {
    Counted c;
    c.start(Timer::Timmy, 5);
    c.start(Timer::FastTimmy, 10);
    c.source.at = 16 * ms;
    QCOMPARE(c.clock.runDue(), 4);
    QCOMPARE(c.order, std::string("bbbl"));
}

// An event at its outermost level runs the ticks due by its moment first;
// one inside another runs none, nor one the page's handler opens after the
// page ran them; a modal box's own loop is outermost again.
void TestTickClock::eventsRunWhatIsDue() {
    Counted c;
    c.start(Timer::Timmy, 1);
    c.source.at = 10'500'000;
    {
        const TickClock::Event outer(c.clock);
        QCOMPARE(c.order.size(), std::size_t(10));
        c.source.at = 12'500'000;
        {
            const TickClock::Event inner(c.clock);
            QCOMPARE(c.order.size(), std::size_t(10));
        }
        {
            const TickClock::OwnLoop modal(c.clock);
            const TickClock::Event inLoop(c.clock);
            QCOMPARE(c.order.size(), std::size_t(12));
        }
        c.source.at = 13'500'000;
        const TickClock::Event afterLoop(c.clock);
        QCOMPARE(c.order.size(), std::size_t(12));
    }
    const TickClock::Event handled(c.clock, false);
    QCOMPARE(c.order.size(), std::size_t(12));
}

// A frame's time may lie before the clock's reading at the last event: the
// clock goes on from the later one.
void TestTickClock::neverBackInTime() {
    Counted c;
    c.start(Timer::Timmy, 1);
    c.source.at = 20'300'000;
    QCOMPARE(c.clock.runDue(), 20);
    QCOMPARE(c.clock.runDue(19'900'000), 0);
    QCOMPARE(c.clock.now(), qint64(20'300'000));
    QCOMPARE(c.clock.runDue(36'600'000), 16);
    c.source.at = 30 * ms;
    QCOMPARE(c.clock.now(), qint64(36'600'000));
}

QTEST_APPLESS_MAIN(TestTickClock)
#include "test_tick_clock.moc"
