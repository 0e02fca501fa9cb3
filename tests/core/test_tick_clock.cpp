// SPDX-License-Identifier: GPL-3.0-or-later
// The form's clock with made-up clock readings: every tick of the ball's
// timer run one by one on a drift-free schedule, woken by a page's frames or
// when the clock asks, at most once a frame; a stall cut to the catch-up; the
// loop's timer at most once a wake-up; what starting and changing a timer do,
// from outside or from a tick (which cuts its batch short); which events run
// the ticks due first; a reading that never goes back.

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

// A clock whose ticks are written down in the order they run: 'b' the
// ball's, 'l' the loop's.
struct Counted {
    ScriptedSource source;
    std::string order;
    std::function<void()> onTick = [] {};
    TickClock clock{source, [this](Timer t) {
                        order += t == Timer::Timmy ? 'b' : 'l';
                        onTick();
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
    void calls_data();
    void calls();
    void ballTicksBeforeLoop();
    void eventsRunWhatIsDue();
    void neverBackInTime();
};

// One second of wake-ups: a page's frames every `frame` ns, one of them (the
// first after 300 ms) `late` ns late; or with `frame` 0 whenever the clock
// asks, each `late` ns late, the clock keeping to frames of `period` ns.
void TestTickClock::overASecond_data() {
    for (const char* column : {"interval", "frame", "period", "late", "ticks", "most", "wakes"})
        QTest::addColumn<qint64>(column); // `most` in one wake-up, `wakes` that ran a tick
    QTest::addColumn<Timer>("timer");
    const auto add = [](const char* name, Timer timer, QList<qint64> row) {
        QTestData& data = QTest::newRow(name);
        for (qint64 v : row)
            data << v;
        data << timer;
    };
    const Timer ball = Timer::Timmy, loop = Timer::FastTimmy;
    const qint64 hz60 = 16'666'667, hz30 = 33'333'334;
    // Speed 100: a thousand ticks a second whatever the frame rate, so long
    // as a frame is shorter than the catch-up.
    add("1 ms at 60 Hz", ball, {1, hz60, 0, 0, 1000, 17, 60});
    add("1 ms at 30 Hz", ball, {1, hz30, 0, 0, 1000, 34, 30});
    // A frame that comes 200 ms late (a hidden tab, a busy machine) owes the
    // ticks of 217 ms and runs those of 50: 167 are lost.
    add("1 ms, stall of 200", ball, {1, hz60, 0, 200 * ms, 833, 50, 48});
    add("50 ms at 60 Hz", ball, {50, hz60, 0, 0, 20, 1, 20});
    add("never at 0 ms", ball, {0, hz60, 0, 0, 0, 0, 0});
    // The loop's timer catches nothing up: the frame 350 ms late owes four
    // ticks and runs one, and the period starts again from it.
    add("loop at 60 Hz", loop, {100, hz60, 0, 0, 10, 1, 10});
    add("loop, stall of 350", loop, {100, hz60, 0, 350 * ms, 6, 1, 6});
    add("loop at 5 Hz", loop, {100, 200 * ms, 0, 0, 5, 1, 5});
    // Woken when it asks, on a 50 Hz screen: at the first deadline, then once
    // a frame; a wake-up late by a timer's rounding makes no later one late.
    add("1 ms, frames of 20", ball, {1, 0, 20 * ms, 0, 1000, 20, 51});
    add("1 ms, frames of 20, 0.7 late", ball, {1, 0, 20 * ms, 700'000, 1000, 20, 51});
    add("100 ms, frames of 20", ball, {100, 0, 20 * ms, 0, 10, 1, 10});
    // At every deadline: late wake-ups keep to the start + k * interval grid.
    add("1 ms, every deadline", ball, {1, 0, 0, 0, 1000, 1, 1000});
    add("1 ms, every deadline, 4.9 late", ball, {1, 0, 0, 4'900'000, 1000, 5, 200});
}

void TestTickClock::overASecond() {
    QFETCH(Timer, timer);
    QFETCH(qint64, interval);
    QFETCH(qint64, frame);
    QFETCH(qint64, period);
    QFETCH(qint64, late);
    QFETCH(qint64, ticks);
    QFETCH(qint64, most);
    QFETCH(qint64, wakes);
    Counted c;
    c.clock.setFramePeriod(period);
    c.start(timer, int(interval));
    qint64 mostRun = 0, woken = 0;
    const auto wake = [&](qint64 at) {
        c.source.at = at;
        const qint64 ran = c.clock.runDue();
        mostRun = std::max(mostRun, ran);
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
    QCOMPARE(qint64(std::count(c.order.begin(), c.order.end(), timer == Timer::Timmy ? 'b' : 'l')),
             ticks);
    QCOMPARE(c.clock.ticksRun(), std::uint64_t(ticks)); // and none of the other timer
    QCOMPARE(mostRun, most);
    QCOMPARE(woken, wakes);
    // Nothing to wait for from a timer that never ticks.
    QCOMPARE(c.source.wanted.has_value(), interval > 0);
}

// A timer of 12 ms started at 0 and a call at 10 ms, or inside the first tick
// of the wake-up at 37 ms (which owes those due at 12, 24 and 36): the ticks
// that wake-up runs, and one at 61 ms.
void TestTickClock::calls_data() {
    QTest::addColumn<Timer>("timer");
    QTest::addColumn<QString>("call");
    QTest::addColumn<bool>("inTick");
    QTest::addColumn<int>("at37");
    QTest::addColumn<int>("at61");
    const auto add = [](const char* name, Timer timer, const char* call, bool inTick, int at37,
                        int at61) {
        QTest::newRow(name) << timer << QString::fromLatin1(call) << inTick << at37 << at61;
    };
    const Timer ball = Timer::Timmy, loop = Timer::FastTimmy;
    // Switched on again, the ball's timer keeps its schedule; the loop's
    // starts its period afresh (due at 22 and 34; one tick a wake-up).
    add("ball timer on again", ball, "on", false, 3, 2);
    add("loop timer started again", loop, "on", false, 1, 1);
    // A new interval counts from now, as does switching off and on.
    add("ball timer, new interval", ball, "interval", false, 2, 2);
    add("loop timer, new interval", loop, "interval", false, 1, 1);
    add("ball timer off and on", ball, "off on", false, 2, 2);
    add("ball timer off", ball, "off", false, 0, 0);
    // The last ball lands: the rest of the batch is not run, then or later.
    add("switched off by a tick", ball, "off", true, 1, 0);
    // A new interval from a tick counts from then: due at 49 and 61.
    add("new interval from a tick", ball, "interval", true, 1, 2);
    // A handler the tick causes runs no ticks of its own.
    add("an event inside a tick", ball, "event", true, 3, 2);
}

void TestTickClock::calls() {
    QFETCH(Timer, timer);
    QFETCH(QString, call);
    QFETCH(bool, inTick);
    QFETCH(int, at37);
    QFETCH(int, at61);
    Counted c;
    c.start(timer, 12);
    const auto make = [&] {
        for (const QString& step : call.split(' ')) {
            if (step == "on" || step == "off")
                c.clock.setEnabled(timer, step == "on");
            else if (step == "interval")
                c.clock.setInterval(timer, 12);
            else
                TickClock::Event(c.clock); // a handler's event, at once over
        }
    };
    c.onTick = [&] {
        if (inTick && c.order.size() == 1)
            make();
    };
    c.source.at = 10 * ms;
    if (!inTick)
        make();
    c.source.at = 37 * ms;
    QCOMPARE(c.clock.runDue(), at37);
    c.source.at = 61 * ms;
    QCOMPARE(c.clock.runDue(), at61);
    QCOMPARE(c.source.wanted.has_value(), call != "off");
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
