// SPDX-License-Identifier: GPL-3.0-or-later
// The fast simulation with scripted directions: n - 1 deflections per ball,
// bin 1 + the number of right deflections, fresh counts on every call.

#include "scripted_random.h"
#include "sim/fast_sim.h"
#include "state/board_state.h"

#include <QTest>

#include <vector>

using namespace kug;
using kug::test::ScriptedRandom;

namespace {

// A cycle of numbers that is no multiple of any row count, with exact halves.
const std::vector<double> mixed = {0.9,  0.1, 0.5,   0.51, 0.0, 0.75, 0.25, 0.99, 0.5,
                                   0.62, 0.3, 0.501, 0.49, 0.8, 0.05, 0.7,  0.2};

BoardState board(int columns, int cellSize) {
    BoardState s;
    loadDefaults(s);
    s.binCounts.redim(columns);
    s.cellSize = Integer(cellSize);
    return s;
}

// The bins the script gives when every ball takes n - 1 numbers in turn.
QList<int> expectedBins(const std::vector<double>& script, int columns, int balls) {
    QList<int> counts(columns, 0);
    std::size_t pos = 0;
    for (int b = 0; b < balls; ++b) {
        int rights = 0;
        for (int row = 1; row < columns; ++row, pos = (pos + 1) % script.size())
            rights += script[pos] > 0.5;
        ++counts[rights];
    }
    return counts;
}

QList<int> counts(const BoardState& s, int columns) {
    QList<int> out;
    for (int k = 1; k <= columns; ++k)
        out << s.binCounts(k);
    return out;
}

} // namespace

class TestFastSim : public QObject {
    Q_OBJECT
private slots:
    void binsFromDeflections_data();
    void binsFromDeflections();
    void twoColumnsFirstBallDeflected_data();
    void twoColumnsFirstBallDeflected();
    void oneBall();
    void countsStartFromZero();
};

void TestFastSim::binsFromDeflections_data() {
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("cellSize");
    QTest::addColumn<double>("width");
    QTest::addColumn<int>("balls");
    QTest::newRow("2 cols 1 ball") << 2 << 21 << 232.0 << 1;
    QTest::newRow("2 cols 100 balls") << 2 << 21 << 232.0 << 100;
    QTest::newRow("3 cols odd width") << 3 << 20 << 233.0 << 50;
    QTest::newRow("3 cols centre right of axis") << 3 << 20 << 235.0 << 50;
    QTest::newRow("5 cols 7 balls") << 5 << 27 << 400.0 << 7;
    QTest::newRow("10 cols 250 balls") << 10 << 11 << 600.0 << 250;
    QTest::newRow("18 cols, rows = script length") << 18 << 6 << 300.0 << 40;
    QTest::newRow("32 cols 100 balls") << 32 << 3 << 232.0 << 100;
    QTest::newRow("32 cols 262 balls odd width") << 32 << 12 << 1201.0 << 262;
    QTest::newRow("large board 32767 balls") << 32 << 20 << 2000.0 << 32767;
}

void TestFastSim::binsFromDeflections() {
    QFETCH(int, columns);
    QFETCH(int, cellSize);
    QFETCH(double, width);
    QFETCH(int, balls);
    BoardState s = board(columns, cellSize);
    ScriptedRandom random(mixed);
    fastsim(s, random, RunSettings{columns, Integer(balls), 1}, int(width));
    QCOMPARE(random.drawn, std::size_t(columns - 1) * std::size_t(balls));
    QCOMPARE(counts(s, columns), expectedBins(mixed, columns, balls));
    QCOMPARE(int(s.ballsLeft), 0);
    QCOMPARE(int(s.rowIndex), 0);
}

void TestFastSim::twoColumnsFirstBallDeflected_data() {
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("r");
    QTest::addColumn<int>("bin");
    // 233: the rounded centre 116 lies left of the axis 116.5; 235: 118 lies
    // right of 117.5. Neither decides the bin of a deflected ball.
    for (double w : {232.0, 233.0, 235.0}) {
        QTest::addRow("W %g left", w) << w << 0.1 << 1;
        QTest::addRow("W %g 0.5", w) << w << 0.5 << 1;
        QTest::addRow("W %g right", w) << w << 0.9 << 2;
    }
}

// The very first ball after a start is deflected like every other one rather
// than counted from the centre.
void TestFastSim::twoColumnsFirstBallDeflected() {
    QFETCH(double, width);
    QFETCH(double, r);
    QFETCH(int, bin);
    BoardState s = board(2, 21);
    s.ballX = toInteger(width / 2); // where a fresh start puts it
    ScriptedRandom random({r});
    fastsim(s, random, RunSettings{2, 1, 1}, int(width));
    QCOMPARE(random.drawn, std::size_t(1));
    QCOMPARE(int(s.binCounts(bin)), 1);
    QCOMPARE(int(s.binCounts(3 - bin)), 0);
}

void TestFastSim::oneBall() {
    BoardState s = board(10, 11);
    ScriptedRandom random({0.7, 0.7, 0.2, 0.7, 0.2, 0.2, 0.7, 0.7, 0.7});
    fastsim(s, random, RunSettings{10, 1, 1}, 600);
    QCOMPARE(random.drawn, std::size_t(9));
    QCOMPARE(counts(s, 10), (QList<int>{0, 0, 0, 0, 0, 0, 1, 0, 0, 0}));
    QCOMPARE(int(s.ballsLeft), 0);
}

// Every call is a fresh run: counts left from before (an interrupted run, the
// previous loop tick) are dropped, and the new ones stay for the picture.
void TestFastSim::countsStartFromZero() {
    BoardState s = board(5, 27);
    for (int k = 1; k <= 5; ++k)
        s.binCounts(k) = Integer(100 * k);
    ScriptedRandom random(mixed);
    fastsim(s, random, RunSettings{5, 40, 1}, 400);
    const QList<int> first = counts(s, 5);
    QCOMPARE(first, expectedBins(mixed, 5, 40));

    // the loop's next tick: the script continues, the counts do not accumulate
    fastsim(s, random, RunSettings{5, 40, 1}, 400);
    const QList<int> second = counts(s, 5);
    int total = 0;
    for (int c : second)
        total += c;
    QCOMPARE(total, 40);
    std::vector<double> rotated(mixed.begin() + (40 * 4) % mixed.size(), mixed.end());
    rotated.insert(rotated.end(), mixed.begin(), mixed.begin() + (40 * 4) % mixed.size());
    QCOMPARE(second, expectedBins(rotated, 5, 40));
    QCOMPARE(int(s.ballsLeft), 0);
    QCOMPARE(random.drawn, std::size_t(2 * 40 * 4));
}

QTEST_APPLESS_MAIN(TestFastSim)
#include "test_fast_sim.moc"
