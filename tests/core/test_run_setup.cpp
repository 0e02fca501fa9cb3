// SPDX-License-Identifier: GPL-3.0-or-later
// The fresh-run set-up a start performs: arrays, bar height, the ball at the
// top centre, the theory, the board and the hop parabola, in that order.

#include "recording_surface.h"
#include "sim/run_setup.h"
#include "state/board_state.h"

#include <QTest>

#include <cmath>

using namespace kug;
using kug::test::Op;
using kug::test::RecordingSurface;

class TestRunSetup : public QObject {
    Q_OBJECT
private slots:
    void freshRun_data();
    void freshRun();
};

// Worked numbers: the bar unit comes from the cell size 30 of the drawing
// before the start, 8 * 30 - 1 = 239 divided by round(0.51 * balls); the new
// drawing fits the cell size to the area of w x 351.
void TestRunSetup::freshRun_data() {
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("balls");
    QTest::addColumn<int>("centre");
    QTest::addColumn<int>("barUnit");
    QTest::addColumn<int>("cellSize");
    QTest::addColumn<QList<int>>("theory");
    QTest::addColumn<QString>("line");
    QTest::newRow("start-up board")
        << 232 << 2 << 1 << 116 << 239 << 21 << QList<int>{0, 0} << "Još 1 kuglica.";
    // 239 / 51 = 4.69; cell round(341 / 22) = round(15.5) = 16
    QTest::newRow("odd width, centre to even 116")
        << 233 << 5 << 100 << 116 << 5 << 16 << QList<int>{6, 25, 38, 25, 6} << "Još 100 kuglica.";
    // 150 * 0.51 = 76.5 gives 76; 239 / 76 = 3.14; cell round(341 / 32) = 11
    QTest::newRow("odd width, centre to even 118")
        << 235 << 10 << 150 << 118 << 3 << 11 << QList<int>{0, 3, 11, 25, 37, 37, 25, 11, 3, 0}
        << "Još 150 kuglica.";
    // 250 * 0.51 = 127.5 gives 128; 239 / 128 = 1.87; cell round(341 / 76) = 4
    QTest::newRow("32 columns") << 1201 << 32 << 250 << 600 << 2 << 4
                                << QList<int>{0,  0,  0,  0,  0,  0,  0,  0,  1,  2,  5,
                                              10, 16, 24, 31, 35, 35, 31, 24, 16, 10, 5,
                                              2,  1,  0,  0,  0,  0,  0,  0,  0,  0}
                                << "Još 250 kuglica.";
}

void TestRunSetup::freshRun() {
    QFETCH(int, w);
    QFETCH(int, columns);
    QFETCH(int, balls);
    QFETCH(int, centre);
    QFETCH(int, barUnit);
    QFETCH(int, cellSize);
    QFETCH(QList<int>, theory);
    QFETCH(QString, line);
    BoardState s;
    loadDefaults(s);
    // Left over from the last drawing at another size and from an earlier run.
    s.cellSize = 30;
    s.binCounts(1) = 9;
    s.hopX = 4;
    s.hopY = -3;
    s.rowIndex = 1;
    s.fallTick = 7;
    s.ballY = 80;
    RecordingSurface area(w, 351);
    freshRunSetup(s, area, RunSettings{columns, Integer(balls), 1}, Switches{});

    QVERIFY(!s.needsReset);
    QCOMPARE(s.binCounts.upper(), columns);
    QCOMPARE(s.theoryCounts.upper(), columns);
    for (int k = 1; k <= columns; ++k)
        QCOMPARE(int(s.binCounts(k)), 0);
    // The bar height comes from the cellSize of the last drawing, before the
    // set-up redraws the board at the current size.
    QCOMPARE(int(s.barUnit), barUnit);
    QCOMPARE(int(s.cellSize), cellSize);
    QCOMPARE(int(s.ballsLeft), balls);
    QCOMPARE(int(s.ballX), centre);
    QCOMPARE(int(s.ballY), 0);
    QCOMPARE(int(s.fallTick), 0);
    QVERIFY(s.dropping);
    QVERIFY(s.atPeg);
    QCOMPARE(s.hopX, 0.0f);
    QCOMPARE(s.hopY, 0.0f);
    QCOMPARE(int(s.rowIndex), 0);
    QList<int> computed;
    for (int k = 1; k <= columns; ++k)
        computed << s.theoryCounts(k);
    QCOMPARE(computed, theory);

    // One board drawing, with the new line of balls to come and no bars.
    QCOMPARE(area.of(Op::Cls).size(), std::size_t(1));
    QCOMPARE(area.of(Op::Box).size(), std::size_t(0));
    QCOMPARE(area.of(Op::Print).size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(area.of(Op::Print)[0].text), line);

    // The parabola belongs to the cellSize now on the board: (4 + 2 sqrt 3) / c
    // and 2 + 2 sqrt 3, a hop c across and 2c down.
    QVERIFY(std::fabs(s.hopCoefA - 7.4641016f / cellSize) < 1e-6f);
    QVERIFY(std::fabs(s.hopCoefB - 5.4641016f) < 1e-6f);
    QCOMPARE(s.hopWidth, float(cellSize));
    QCOMPARE(s.hopDrop, float(-2 * cellSize));
}

QTEST_APPLESS_MAIN(TestRunSetup)
#include "test_run_setup.moc"
