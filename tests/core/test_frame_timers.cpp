// SPDX-License-Identifier: GPL-3.0-or-later
// The web page's two timers, woken once per animation frame, with made-up
// frame times: every tick of the ball's timer delivered one by one, a batch
// cut short when a tick switches the timer off, the loop's timer at most once
// a frame, and the desktop timers' rules for starting and changing them.

#include "web/frame_timers.h"

#include <QTest>

#include <cstdint>
#include <string>

using namespace kug;

namespace {
constexpr qint64 ms = 1'000'000;
}

Q_DECLARE_METATYPE(kug::Timer)

class TestFrameTimers : public QObject {
    Q_OBJECT
private slots:
    void framesOverASecond_data();
    void framesOverASecond();
    void tickSwitchesTimerOff();
    void restarts_data();
    void restarts();
    void ballTicksBeforeLoop();
};

// Frames every `frame` ns (rounded up) until a second has passed, one of
// them `stall` ns late.
void TestFrameTimers::framesOverASecond_data() {
    QTest::addColumn<Timer>("timer");
    QTest::addColumn<int>("interval");
    QTest::addColumn<qint64>("frame");
    QTest::addColumn<qint64>("stall");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("mostInAFrame");
    // Speed 100: a thousand ticks a second whatever the frame rate, so long
    // as a frame is shorter than the catch-up.
    QTest::newRow("1 ms at 60 Hz") << Timer::Timmy << 1 << 16'666'667LL << 0LL << 1000 << 17;
    QTest::newRow("1 ms at 30 Hz") << Timer::Timmy << 1 << 33'333'334LL << 0LL << 1000 << 34;
    QTest::newRow("1 ms at 144 Hz") << Timer::Timmy << 1 << 6'944'445LL << 0LL << 1000 << 7;
    // A frame that comes 200 ms late (a hidden tab, a busy machine) owes the
    // ticks of 217 ms and delivers those of 50: 167 are lost.
    QTest::newRow("1 ms, stall of 200")
        << Timer::Timmy << 1 << 16'666'667LL << 200 * ms << 833 << 50;
    QTest::newRow("50 ms at 60 Hz") << Timer::Timmy << 50 << 16'666'667LL << 0LL << 20 << 1;
    QTest::newRow("100 ms at 30 Hz") << Timer::Timmy << 100 << 33'333'334LL << 0LL << 10 << 1;
    QTest::newRow("never at 0 ms") << Timer::Timmy << 0 << 16'666'667LL << 0LL << 0 << 0;
    // The loop's timer catches nothing up: the frame 350 ms late owes four
    // ticks and delivers one, and the period starts again from it.
    QTest::newRow("loop at 60 Hz") << Timer::FastTimmy << 100 << 16'666'667LL << 0LL << 10 << 1;
    QTest::newRow("loop, stall of 350")
        << Timer::FastTimmy << 100 << 16'666'667LL << 350 * ms << 6 << 1;
    QTest::newRow("loop at 5 Hz") << Timer::FastTimmy << 100 << 200 * ms << 0LL << 5 << 1;
}

void TestFrameTimers::framesOverASecond() {
    QFETCH(Timer, timer);
    QFETCH(int, interval);
    QFETCH(qint64, frame);
    QFETCH(qint64, stall);
    QFETCH(int, ticks);
    QFETCH(int, mostInAFrame);
    FrameTimers timers;
    timers.setInterval(timer, interval, 0);
    timers.setEnabled(timer, true, 0);
    int timmy = 0, fast = 0, most = 0;
    qint64 now = 0;
    bool stalled = stall == 0;
    while (now < 1000 * ms) {
        now += frame;
        if (!stalled && now >= 300 * ms) {
            now += stall;
            stalled = true;
        }
        const int before = timmy + fast;
        const int delivered = timers.deliver(
            now, [&] { ++timmy; }, [&] { ++fast; });
        QCOMPARE(delivered, timmy + fast - before);
        most = std::max(most, delivered);
    }
    QCOMPARE(timer == Timer::Timmy ? timmy : fast, ticks);
    QCOMPARE(timer == Timer::Timmy ? fast : timmy, 0);
    QCOMPARE(most, mostInAFrame);
}

// The last ball lands on the fifth tick of a frame that owes seventeen: the
// other twelve are not delivered, then or later.
void TestFrameTimers::tickSwitchesTimerOff() {
    FrameTimers timers;
    timers.setInterval(Timer::Timmy, 1, 0);
    timers.setEnabled(Timer::Timmy, true, 0);
    int ticks = 0;
    const auto tick = [&] {
        if (++ticks == 5)
            timers.setEnabled(Timer::Timmy, false, 17 * ms);
    };
    QCOMPARE(timers.deliver(17 * ms, tick, [] {}), 5);
    QVERIFY(!timers.anyEnabled());
    QCOMPARE(timers.deliver(34 * ms, tick, [] {}), 0);
    QCOMPARE(ticks, 5);
}

// What a call does to a running timer's schedule: the ticks a frame at 25 ms
// delivers after the call at 10 ms, with the timer started at 0.
void TestFrameTimers::restarts_data() {
    QTest::addColumn<Timer>("timer");
    QTest::addColumn<QString>("call");
    QTest::addColumn<int>("ticks");
    // Switched on again: the desktop's ball timer keeps its schedule...
    QTest::newRow("ball timer on again") << Timer::Timmy << "on" << 2;
    // ...its ordinary timer starts its period afresh.
    QTest::newRow("loop timer started again") << Timer::FastTimmy << "on" << 1;
    // A new interval counts from now.
    QTest::newRow("ball timer, new interval") << Timer::Timmy << "interval" << 1;
    QTest::newRow("loop timer, new interval") << Timer::FastTimmy << "interval" << 1;
    // Off and on again: a fresh start.
    QTest::newRow("ball timer off and on") << Timer::Timmy << "off on" << 1;
    QTest::newRow("ball timer off") << Timer::Timmy << "off" << 0;
}

void TestFrameTimers::restarts() {
    QFETCH(Timer, timer);
    QFETCH(QString, call);
    QFETCH(int, ticks);
    FrameTimers timers;
    timers.setInterval(timer, 12, 0);
    timers.setEnabled(timer, true, 0);
    for (const QString& step : call.split(' ')) {
        if (step == "on")
            timers.setEnabled(timer, true, 10 * ms);
        else if (step == "off")
            timers.setEnabled(timer, false, 10 * ms);
        else
            timers.setInterval(timer, 12, 10 * ms);
    }
    // Due at 12 and 24 on the first schedule, at 22 on a new one from 10.
    int delivered = 0;
    timers.deliver(
        25 * ms, [&] { ++delivered; }, [&] { ++delivered; });
    QCOMPARE(delivered, ticks);
}

// Both due in one frame: the ball's ticks first, then the loop's, as one
// frame delivers them (the form never runs both, but the order is fixed).
void TestFrameTimers::ballTicksBeforeLoop() {
    FrameTimers timers;
    timers.setInterval(Timer::Timmy, 5, 0);
    timers.setInterval(Timer::FastTimmy, 10, 0);
    timers.setEnabled(Timer::Timmy, true, 0);
    timers.setEnabled(Timer::FastTimmy, true, 0);
    std::string order;
    QCOMPARE(timers.deliver(
                 16 * ms, [&] { order += 'b'; }, [&] { order += 'l'; }),
             4);
    QCOMPARE(order, std::string("bbbl"));
}

QTEST_APPLESS_MAIN(TestFrameTimers)
#include "test_frame_timers.moc"
