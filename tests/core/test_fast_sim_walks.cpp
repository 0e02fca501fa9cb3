// SPDX-License-Identifier: GPL-3.0-or-later
// The fast run places a ball at the centre plus cellSize times the sum of its
// deflections, drawn in one batch per ball; that must be where a walk of the
// same draws, one deflection at a time, ends, with the 16-bit position
// saturating once rather than overflowing. The bins below were worked out by
// such a walk: 57 balls, each from the rounded centre with n - 1 draws of the
// script in turn, a draw r giving 2 * round-half-even(r) - 1.

#include "scripted_random.h"
#include "sim/fast_sim.h"
#include "state/board_state.h"

#include <QTest>

#include <vector>

using namespace kug;
using kug::test::ScriptedRandom;

class TestFastSimWalks : public QObject {
    Q_OBJECT
private slots:
    void sameAsStepByStep_data();
    void sameAsStepByStep();
};

void TestFastSimWalks::sameAsStepByStep_data() {
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("cellSize");
    QTest::addColumn<int>("width");
    QTest::addColumn<std::vector<double>>("script");
    QTest::addColumn<QList<int>>("bins");
    QTest::addColumn<int>("lastDirection");
    const std::vector<double> coins = {0.9, 0.1, 0.5, 0.51, 0.0, 0.75, 0.25, 0.99, 0.5, 0.62, 0.3};
    // 31 draws a ball from a script of 11: the sums alternate between -1 and
    // +1, so the balls land on either side of the centre, bins 15 and 16.
    QList<int> either(32, 0);
    either[14] = 52;
    either[15] = 5;
    QTest::newRow("32 columns") << 32 << 21 << 1750 << coins << either << -1;
    QTest::newRow("2 columns") << 2 << 53 << 233 << coins << QList<int>{31, 26} << -1;
    // 31 steps of 2000 from the centre can pass 32767 on the way
    QTest::newRow("sums beyond 16 bits") << 32 << 2000 << 1000 << coins << either << -1;
    // 500 + 31 * 2000 saturates at 32767, in bin 25 of bins 4000 wide from -63500
    QList<int> saturated(32, 0);
    saturated[24] = 57;
    QTest::newRow("all right, saturating")
        << 32 << 2000 << 1000 << std::vector<double>{0.9} << saturated << 1;
    // 1.5 rounds to 2: a direction of +3, and -0.7 one of -3; the ball ends
    // at the centre, 200, in the middle bin
    QTest::newRow("a draw of 1.5") << 5 << 10 << 400 << std::vector<double>{0.9, 1.5, 0.2, -0.7}
                                   << QList<int>{0, 0, 57, 0, 0} << -3;
}

void TestFastSimWalks::sameAsStepByStep() {
    QFETCH(int, columns);
    QFETCH(int, cellSize);
    QFETCH(int, width);
    QFETCH(std::vector<double>, script);
    QFETCH(QList<int>, bins);
    QFETCH(int, lastDirection);
    BoardState s;
    loadDefaults(s);
    s.binCounts.redim(columns);
    s.cellSize = Integer(cellSize);
    ScriptedRandom random(script);
    const int balls = 57;
    fastsim(s, random, RunSettings{columns, balls, 1}, width);
    QList<int> counted;
    for (int k = 1; k <= columns; ++k)
        counted << s.binCounts(k);
    QCOMPARE(counted, bins);
    QCOMPARE(int(s.hopDir), lastDirection);
    QCOMPARE(random.drawn, std::size_t(balls * (columns - 1)));
}

QTEST_APPLESS_MAIN(TestFastSimWalks)
#include "test_fast_sim_walks.moc"
