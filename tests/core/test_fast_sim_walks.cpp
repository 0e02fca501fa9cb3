// SPDX-License-Identifier: GPL-3.0-or-later
// The fast run places a ball at the centre plus cellSize times the sum of its
// deflections, drawn in one batch per ball; that must be where a walk of the
// same draws, one deflection at a time, ends, with the 16-bit position
// saturating once rather than overflowing.

#include "scripted_random.h"
#include "sim/animated_ball.h"
#include "sim/fast_sim.h"
#include "state/board_state.h"

#include <QTest>

#include <algorithm>
#include <limits>
#include <vector>

using namespace kug;
using kug::test::ScriptedRandom;

namespace {

Integer clamp16(long v) {
    return Integer(std::clamp<long>(v, std::numeric_limits<Integer>::min(),
                                    std::numeric_limits<Integer>::max()));
}

struct Expected {
    QList<int> bins;
    int lastDirection = 0;
};

// Every ball from the rounded centre, n - 1 draws, one deflection at a time.
Expected walkEveryStep(const std::vector<double>& script, int columns, int balls, double width,
                       Integer cellSize) {
    Expected e;
    e.bins = QList<int>(columns, 0);
    const Integer centre = toInteger(width / 2);
    std::size_t pos = 0;
    for (int b = 0; b < balls; ++b) {
        long x = centre;
        for (int row = 1; row < columns; ++row, pos = (pos + 1) % script.size()) {
            e.lastDirection = directionFor(script[pos]);
            x += long{cellSize} * e.lastDirection;
        }
        ++e.bins[binFor(clamp16(x), width, columns, cellSize) - 1];
    }
    return e;
}

} // namespace

class TestFastSimWalks : public QObject {
    Q_OBJECT
private slots:
    void sameAsStepByStep_data();
    void sameAsStepByStep();
};

void TestFastSimWalks::sameAsStepByStep_data() {
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("cellSize");
    QTest::addColumn<double>("width");
    QTest::addColumn<std::vector<double>>("script");
    const std::vector<double> coins = {0.9, 0.1, 0.5, 0.51, 0.0, 0.75, 0.25, 0.99, 0.5, 0.62, 0.3};
    QTest::newRow("32 columns") << 32 << 21 << 1750.0 << coins;
    QTest::newRow("2 columns") << 2 << 53 << 233.0 << coins;
    // 31 steps of 2000 from the centre can pass 32767
    QTest::newRow("sums beyond 16 bits") << 32 << 2000 << 1000.0 << coins;
    QTest::newRow("all right, saturating")
        << 32 << 2000 << 1000.0 << std::vector<double>{0.9};
    // 1.5 rounds to 2: a direction of +3
    QTest::newRow("a draw of 1.5")
        << 5 << 10 << 400.0 << std::vector<double>{0.9, 1.5, 0.2, -0.7};
}

void TestFastSimWalks::sameAsStepByStep() {
    QFETCH(int, columns);
    QFETCH(int, cellSize);
    QFETCH(double, width);
    QFETCH(std::vector<double>, script);
    BoardState s;
    loadDefaults(s);
    s.binCounts.redim(columns);
    s.cellSize = Integer(cellSize);
    ScriptedRandom random(script);
    const int balls = 57;
    fastsim(s, random, columns, balls, width);
    const Expected e = walkEveryStep(script, columns, balls, width, Integer(cellSize));
    QList<int> bins;
    for (int k = 1; k <= columns; ++k)
        bins << s.binCounts(k);
    QCOMPARE(bins, e.bins);
    QCOMPARE(int(s.hopDir), e.lastDirection);
    QCOMPARE(random.drawn, std::size_t(balls * (columns - 1)));
}

QTEST_APPLESS_MAIN(TestFastSimWalks)
#include "test_fast_sim_walks.moc"
