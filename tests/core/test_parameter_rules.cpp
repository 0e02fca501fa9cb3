// SPDX-License-Identifier: GPL-3.0-or-later
// The derived parameters: the ball limit, the height of one ball in a bar and
// the tick interval of the animated ball.

#include "state/parameter_rules.h"

#include <QTest>

#include <cmath>

using namespace kug;

class TestParameterRules : public QObject {
    Q_OBJECT
private slots:
    void maxBalls_data();
    void maxBalls();
    void maxBallsEvenNeighbour();
    void barUnit_data();
    void barUnit();
    void barUnitKeepsFullRunInReach();
    void timerInterval_data();
    void timerInterval();
};

void TestParameterRules::maxBalls_data() {
    QTest::addColumn<int>("cellSize");
    QTest::addColumn<int>("maxBalls");
    QTest::newRow("21") << 21 << 250; // 1.5 * 167 = 250.5
    QTest::newRow("22") << 22 << 262; // 1.5 * 175 = 262.5
    QTest::newRow("1") << 1 << 10;    // 1.5 * 7 = 10.5
    QTest::newRow("2") << 2 << 22;    // 1.5 * 15 = 22.5
    QTest::newRow("53") << 53 << 634; // 1.5 * 423 = 634.5
}

void TestParameterRules::maxBalls() {
    QFETCH(int, cellSize);
    QFETCH(int, maxBalls);
    QCOMPARE(int(maxBallsFor(Integer(cellSize))), maxBalls);
}

// 8c - 1 is odd, so 1.5 times it always ends in .5: the result is always the
// even one of its two neighbours.
void TestParameterRules::maxBallsEvenNeighbour() {
    for (int c = 1; c <= 2000; ++c) {
        const double exact = 1.5 * (8 * c - 1);
        const int got = maxBallsFor(Integer(c));
        QVERIFY2(got % 2 == 0 && std::fabs(got - exact) == 0.5,
                 qPrintable(QStringLiteral("cellSize %1 gives %2").arg(c).arg(got)));
    }
}

void TestParameterRules::barUnit_data() {
    QTest::addColumn<int>("cellSize");
    QTest::addColumn<double>("balls");
    QTest::addColumn<int>("barUnit");
    // cellSize 21: the inner height of a bin is 167.
    QTest::newRow("1 ball") << 21 << 1.0 << 167;    // d = round(0.51) = 1
    QTest::newRow("2 balls") << 21 << 2.0 << 167;   // d = round(1.02) = 1
    QTest::newRow("3 balls") << 21 << 3.0 << 84;    // 167 / 2 = 83.5 -> 84
    QTest::newRow("10 balls") << 21 << 10.0 << 33;  // 167 / 5 = 33.4
    QTest::newRow("32 balls") << 21 << 32.0 << 10;  // 167 / 16 = 10.44
    QTest::newRow("100 balls") << 21 << 100.0 << 3; // 167 / 51 = 3.27
    QTest::newRow("150 balls") << 21 << 150.0 << 2; // d = round(76.5) = 76: 2.197
    QTest::newRow("218 balls") << 21 << 218.0 << 2; // 167 / 111 = 1.505
    QTest::newRow("219 balls") << 21 << 219.0 << 1; // 167 / 112 = 1.49
    QTest::newRow("250 balls") << 21 << 250.0 << 1; // d = round(127.5) = 128: 1.30
    // the divisor's half goes to the even 76, not 77: 191 / 76 = 2.51 but 191 / 77 = 2.48
    QTest::newRow("cellSize 24, 150 balls") << 24 << 150.0 << 3;
    QTest::newRow("quotient rounds to 0") << 1 << 30.0 << 1;     // 7 / 15
    QTest::newRow("cellSize 22, 3 balls") << 22 << 3.0 << 88;    // 175 / 2 = 87.5 -> 88
    QTest::newRow("cellSize 22, 262 balls") << 22 << 262.0 << 1; // 175 / 134
    // Only a field that was never validated could give a zero divisor.
    QTest::newRow("0 balls") << 21 << 0.0 << 1;
}

void TestParameterRules::barUnit() {
    QFETCH(int, cellSize);
    QFETCH(double, balls);
    QFETCH(int, barUnit);
    QCOMPARE(int(barUnitFor(Integer(cellSize), balls)), barUnit);
}

// With the largest accepted count, the full run stands at about twice the
// inner height of a bin at most, and the one-ball bar fills the bin exactly.
void TestParameterRules::barUnitKeepsFullRunInReach() {
    for (int c = 1; c <= 200; ++c) {
        const int h = 8 * c - 1;
        QCOMPARE(int(barUnitFor(Integer(c), 1)), h);
        const int maxBalls = maxBallsFor(Integer(c));
        QVERIFY(barUnitFor(Integer(c), maxBalls) * maxBalls <= 3 * h);
    }
}

void TestParameterRules::timerInterval_data() {
    QTest::addColumn<double>("speed");
    QTest::addColumn<int>("interval");
    QTest::newRow("1") << 1.0 << 100;
    QTest::newRow("50") << 50.0 << 51;
    QTest::newRow("99") << 99.0 << 2;
    QTest::newRow("100") << 100.0 << 1;
}

void TestParameterRules::timerInterval() {
    QFETCH(double, speed);
    QFETCH(int, interval);
    QCOMPARE(int(timerIntervalFor(speed)), interval);
}

QTEST_APPLESS_MAIN(TestParameterRules)
#include "test_parameter_rules.moc"
