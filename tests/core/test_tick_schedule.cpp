// SPDX-License-Identifier: GPL-3.0-or-later
// The drift-free tick schedule behind the animated ball's timer, driven with
// made-up clock readings (nanoseconds).

#include "sim/tick_schedule.h"

#include <QTest>

#include <cstdint>

using namespace kug;

namespace {
constexpr qint64 ms = 1'000'000;
}

class TestTickSchedule : public QObject {
    Q_OBJECT
private slots:
    void wakeUps_data();
    void wakeUps();
    void noDriftOverManyLateWakeUps_data();
    void noDriftOverManyLateWakeUps();
    void neverZeroInterval_data();
    void neverZeroInterval();
};

void TestTickSchedule::wakeUps_data() {
    QTest::addColumn<qint64>("interval");
    QTest::addColumn<QList<qint64>>("wakeUps");   // after the start
    QTest::addColumn<QList<int>>("ticks");        // handed out at each wake-up
    QTest::addColumn<QList<qint64>>("deadlines"); // next deadline after it
    QTest::addColumn<qint64>("cap");                // most catch-up at one wake-up
    QTest::newRow("on time") << 10 * ms << QList<qint64>{10 * ms, 20 * ms, 30 * ms}
                             << QList<int>{1, 1, 1} << QList<qint64>{20 * ms, 30 * ms, 40 * ms} << 5 * ms;
    QTest::newRow("early wake-up") << 10 * ms << QList<qint64>{9 * ms, 10 * ms} << QList<int>{0, 1}
                                   << QList<qint64>{10 * ms, 20 * ms} << 5 * ms;
    // a late wake-up does not push the later deadlines back
    QTest::newRow("late by 3 ms") << 10 * ms << QList<qint64>{13 * ms, 20 * ms, 31 * ms}
                                  << QList<int>{1, 1, 1}
                                  << QList<qint64>{20 * ms, 30 * ms, 40 * ms} << 5 * ms;
    QTest::newRow("two due together") << 2 * ms << QList<qint64>{4500'000, 6 * ms}
                                      << QList<int>{2, 1} << QList<qint64>{6 * ms, 8 * ms} << 5 * ms;
    QTest::newRow("1 ms, 5 due") << 1 * ms << QList<qint64>{5 * ms, 6 * ms} << QList<int>{5, 1}
                                 << QList<qint64>{6 * ms, 7 * ms} << 5 * ms;
    // beyond 5 ms worth of ticks: the cap, then a new start from the wake-up
    QTest::newRow("1 ms, stall of 40")
        << 1 * ms << QList<qint64>{40 * ms + 300'000, 41 * ms} << QList<int>{5, 0}
        << QList<qint64>{41 * ms + 300'000, 41 * ms + 300'000} << 5 * ms;
    QTest::newRow("1 ms, 6 due") << 1 * ms << QList<qint64>{6 * ms} << QList<int>{5}
                                 << QList<qint64>{7 * ms} << 5 * ms;
    QTest::newRow("100 ms, stall")
        << 100 * ms << QList<qint64>{350 * ms, 449 * ms, 450 * ms} << QList<int>{1, 0, 1}
        << QList<qint64>{450 * ms, 450 * ms, 550 * ms} << 5 * ms;
    // a browser's frame: every tick of a 17 ms frame at 1 ms, and a stall
    // beyond its 50 ms cut to 50 and started anew
    QTest::newRow("browser frame of 17")
        << 1 * ms << QList<qint64>{17 * ms} << QList<int>{17} << QList<qint64>{18 * ms} << 50 * ms;
    QTest::newRow("browser stall of 80")
        << 1 * ms << QList<qint64>{80 * ms} << QList<int>{50} << QList<qint64>{81 * ms} << 50 * ms;
}

void TestTickSchedule::wakeUps() {
    QFETCH(qint64, interval);
    QFETCH(QList<qint64>, wakeUps);
    QFETCH(QList<int>, ticks);
    QFETCH(QList<qint64>, deadlines);
    QFETCH(qint64, cap);
    const qint64 start = 7'000'000'000;
    TickSchedule schedule(cap);
    schedule.start(start, interval);
    QCOMPARE(schedule.nextDeadline(), start + interval);
    QList<int> gotTicks;
    QList<qint64> gotDeadlines;
    for (qint64 w : wakeUps) {
        gotTicks << schedule.takeDue(start + w);
        gotDeadlines << schedule.nextDeadline() - start;
    }
    QCOMPARE(gotTicks, ticks);
    QCOMPARE(gotDeadlines, deadlines);
}

void TestTickSchedule::noDriftOverManyLateWakeUps_data() {
    QTest::addColumn<qint64>("interval");
    QTest::addColumn<qint64>("lateness"); // every wake-up comes this late
    QTest::newRow("1 ms, 0.7 ms late") << 1 * ms << qint64(700'000);
    QTest::newRow("1 ms, 4.9 ms late") << 1 * ms << qint64(4'900'000);
    QTest::newRow("10 ms, 9 ms late") << 10 * ms << qint64(9 * ms);
    QTest::newRow("37 us, 1 ms late") << qint64(37'000) << 1 * ms;
}

// Waking up late every time, the ticks handed out still add up to the number
// of deadlines passed, and every deadline stays on the start + k * interval grid.
void TestTickSchedule::noDriftOverManyLateWakeUps() {
    QFETCH(qint64, interval);
    QFETCH(qint64, lateness);
    const qint64 start = 123'456'789;
    TickSchedule schedule;
    schedule.start(start, interval);
    long long total = 0;
    qint64 now = start;
    for (int i = 0; i < 2000; ++i) {
        now = schedule.nextDeadline() + lateness;
        total += schedule.takeDue(now);
        QCOMPARE((schedule.nextDeadline() - start) % interval, qint64(0));
        QVERIFY(schedule.nextDeadline() > now);
        QVERIFY(schedule.nextDeadline() <= now + interval);
    }
    QCOMPARE(total, (now - start) / interval);
}

void TestTickSchedule::neverZeroInterval_data() {
    QTest::addColumn<qint64>("interval");
    QTest::newRow("0") << qint64(0);
    QTest::newRow("-5") << qint64(-5);
}

void TestTickSchedule::neverZeroInterval() {
    QFETCH(qint64, interval);
    TickSchedule schedule;
    schedule.start(1000, interval);
    QVERIFY(schedule.interval() >= 1);
    QVERIFY(schedule.nextDeadline() > 1000);
    QCOMPARE(schedule.takeDue(999), 0);
    const int due = schedule.takeDue(1000 + 3);
    QVERIFY(due >= 1);
    QVERIFY(schedule.nextDeadline() > 1003);
}

QTEST_APPLESS_MAIN(TestTickSchedule)
#include "test_tick_schedule.moc"
