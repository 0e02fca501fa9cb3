// SPDX-License-Identifier: GPL-3.0-or-later
// The fresh-run set-up a start performs: arrays, bar height, the ball at the
// top centre, the theory, the board and the hop parabola, in that order.

#include "recording_surface.h"
#include "render/theory_fill.h"
#include "sim/run_setup.h"
#include "state/board_state.h"
#include "state/parameter_rules.h"

#include <QTest>

using namespace kug;
using kug::test::Op;
using kug::test::RecordingSurface;

class TestRunSetup : public QObject {
    Q_OBJECT
private slots:
    void freshRun_data();
    void freshRun();
};

void TestRunSetup::freshRun_data() {
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("balls");
    QTest::addColumn<int>("centre");
    QTest::newRow("start-up board") << 232 << 2 << 1 << 116;
    QTest::newRow("odd width, centre to even 116") << 233 << 5 << 100 << 116;
    QTest::newRow("odd width, centre to even 118") << 235 << 10 << 150 << 118;
    QTest::newRow("32 columns") << 1201 << 32 << 250 << 600;
}

void TestRunSetup::freshRun() {
    QFETCH(int, w);
    QFETCH(int, columns);
    QFETCH(int, balls);
    QFETCH(int, centre);
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
    const PlotInputs in{columns, false, false};
    freshRunSetup(s, area, in, balls);

    QVERIFY(!s.needsReset);
    QCOMPARE(s.binCounts.upper(), columns);
    QCOMPARE(s.theoryCounts.upper(), columns);
    for (int k = 1; k <= columns; ++k)
        QCOMPARE(int(s.binCounts(k)), 0);
    // The bar height comes from the cellSize of the last drawing, before the
    // set-up redraws the board at the current size.
    QCOMPARE(s.barUnit, barUnitFor(30, balls));
    QCOMPARE(s.cellSize, fitCellSize(w, 351, columns));
    QVERIFY(s.cellSize != 30);
    QCOMPARE(int(s.ballsLeft), balls);
    QCOMPARE(int(s.ballX), centre);
    QCOMPARE(int(s.ballY), 0);
    QCOMPARE(int(s.fallTick), 0);
    QVERIFY(s.dropping);
    QVERIFY(s.atPeg);
    QCOMPARE(s.hopX, 0.0f);
    QCOMPARE(s.hopY, 0.0f);
    QCOMPARE(int(s.rowIndex), 0);

    BoardState theory;
    loadDefaults(theory);
    theory.theoryCounts.redim(columns);
    theoryfill(theory, columns, balls);
    for (int k = 1; k <= columns; ++k)
        QCOMPARE(s.theoryCounts(k), theory.theoryCounts(k));

    // One board drawing, with the new line of balls to come and no bars.
    QCOMPARE(area.of(Op::Cls).size(), std::size_t(1));
    QCOMPARE(area.of(Op::Box).size(), std::size_t(0));
    QCOMPARE(area.of(Op::Print).size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(area.of(Op::Print)[0].text),
             QString::fromStdString(remainingBallsText(Integer(balls))));

    // The parabola belongs to the cellSize now on the board.
    BoardState hop;
    hop.cellSize = s.cellSize;
    computeHopConstants(hop);
    QCOMPARE(s.hopCoefA, hop.hopCoefA);
    QCOMPARE(s.hopCoefB, hop.hopCoefB);
    QCOMPARE(s.hopWidth, float(s.cellSize));
}

QTEST_APPLESS_MAIN(TestRunSetup)
#include "test_run_setup.moc"
