// SPDX-License-Identifier: GPL-3.0-or-later
// The board drawing checked operation by operation: the fitted cell size, the
// pegs, the bins, the bars and the remaining-balls line.

#include "op_text.h"
#include "recording_surface.h"
#include "render/plot_kv.h"
#include "state/board_geometry.h"
#include "state/board_state.h"

#include <QTest>

#include <algorithm>
#include <cmath>

using namespace kug;
using kug::test::boxText;
using kug::test::circleText;
using kug::test::lineText;
using kug::test::Op;
using kug::test::opTexts;
using kug::test::RecordingSurface;

namespace {

constexpr Long black = rgb(0, 0, 0);
constexpr Long red = rgb(255, 0, 0);
constexpr Long green = rgb(150, 200, 150);

BoardState freshBoard(int columns) {
    BoardState s;
    loadDefaults(s);
    s.binCounts.redim(columns);
    s.theoryCounts.redim(columns);
    s.barUnit = 10;
    return s;
}

// The board of `columns`, drawn with or without the fast mode and the theory.
void plot(BoardState& s, Surface& area, int columns, bool fast, bool theory) {
    plotKV(s, area, RunSettings{columns, 1, 1}, Switches{fast, false, false, theory});
}

// Index of the first operation equal to `text` at or after `from`, or -1.
int indexOf(const QStringList& ops, const QString& text, int from = 0) {
    return int(ops.indexOf(text, from));
}

} // namespace

class TestPlotKV : public QObject {
    Q_OBJECT
private slots:
    void workedExample();
    void workedExampleWithLineAndTheory();
    void fillStateAfterDrawing();
    void remainingBallsText_data();
    void remainingBallsText();
    void remainingBallsLinePrinted_data();
    void remainingBallsLinePrinted();
    void fitCellSize_data();
    void fitCellSize();
    void radiusFollowsCellSize();
    void zeroCountDrawsNoBar();
    void theoryBarsOnlyWhenTickedAndPositive_data();
    void theoryBarsOnlyWhenTickedAndPositive();
    void barHeight_data();
    void barHeight();
    void oddWidthPutsAxisOnHalfPixel();
    void latticeGeometry_data();
    void latticeGeometry();
    void columnsBeyondTheArrays();
};

// W = 232, H = 351, n = 2: c = 21, ballRadius 7, one peg at (116, 63), bins at
// x 74 and 116 with walls from 84 to 252, and a red box of 3 balls of 10 units.
void TestPlotKV::workedExample() {
    BoardState s = freshBoard(2);
    s.binCounts(1) = 3;
    RecordingSurface area(232, 351);
    plot(s, area, 2, false, false);

    QCOMPARE(int(s.cellSize), 21);
    QCOMPARE(int(s.ballRadius), 7);
    const QStringList expected = {
        "Cls",
        "FillStyle 0",
        QStringLiteral("FillColor %1").arg(black),
        circleText(116, 63, float(7 / 3.0), black),
        // bin 1
        lineText(74, 84, 74, 252, black),
        lineText(116, 84, 116, 252, black),
        lineText(74, 252, 117, 252, black),
        boxText(75, 251, 115, 221, red),
        // bin 2: the shared wall is drawn again, and no bar for an empty bin
        lineText(116, 84, 116, 252, black),
        lineText(158, 84, 158, 252, black),
        lineText(116, 252, 159, 252, black),
    };
    QCOMPARE(opTexts(area.ops), expected);
}

// The same board with 3 balls still to come and the theory shown: the line is
// printed right after the clear, and in each bin the theoretical bar comes
// before the histogram bar, so the histogram covers it.
void TestPlotKV::workedExampleWithLineAndTheory() {
    BoardState s = freshBoard(2);
    s.binCounts(1) = 3;
    s.binCounts(2) = 1;
    s.theoryCounts(1) = 2;
    s.theoryCounts(2) = 4;
    s.ballsLeft = 3;
    RecordingSurface area(232, 351);
    plot(s, area, 2, false, true);

    const QStringList expected = {
        "Cls",
        QStringLiteral("Print Još 3 kuglice."),
        "FillStyle 0",
        QStringLiteral("FillColor %1").arg(black),
        circleText(116, 63, float(7 / 3.0), black),
        lineText(74, 84, 74, 252, black),
        lineText(116, 84, 116, 252, black),
        lineText(74, 252, 117, 252, black),
        boxText(75, 251, 115, 231, green),
        boxText(75, 251, 115, 221, red),
        lineText(116, 84, 116, 252, black),
        lineText(158, 84, 158, 252, black),
        lineText(116, 252, 159, 252, black),
        boxText(117, 251, 157, 211, green),
        boxText(117, 251, 157, 241, red),
    };
    QCOMPARE(opTexts(area.ops), expected);
}

// Every peg is preceded by its own fill style and colour, and the area is left
// with a solid fill in the line colour for whoever draws next.
void TestPlotKV::fillStateAfterDrawing() {
    BoardState s = freshBoard(6);
    s.lineColor = rgb(1, 2, 3);
    RecordingSurface area(400, 500);
    plot(s, area, 6, false, false);
    const auto& ops = area.ops;
    int pegs = 0;
    for (std::size_t i = 0; i < ops.size(); ++i) {
        if (ops[i].kind != Op::Circle)
            continue;
        ++pegs;
        QVERIFY(i >= 2);
        QCOMPARE(ops[i - 2].kind, Op::FillStyle);
        QCOMPARE(ops[i - 2].color, 0L);
        QCOMPARE(ops[i - 1].kind, Op::FillColor);
        QCOMPARE(ops[i - 1].color, long(rgb(1, 2, 3)));
        QCOMPARE(ops[i].color, long(rgb(1, 2, 3)));
    }
    QCOMPARE(pegs, 15);
    QCOMPARE(area.of(Op::FillStyle).back().color, 0L);
    QCOMPARE(area.of(Op::FillColor).back().color, long(rgb(1, 2, 3)));
    QCOMPARE(ops.front().kind, Op::Cls);
    QCOMPARE(area.of(Op::Cls).size(), std::size_t(1));
}

void TestPlotKV::remainingBallsText_data() {
    QTest::addColumn<int>("ballsLeft");
    QTest::addColumn<QString>("line");
    QTest::newRow("0") << 0 << QString();
    QTest::newRow("-1") << -1 << QString();
    QTest::newRow("-32768") << -32768 << QString();
    QTest::newRow("1") << 1 << QStringLiteral("Još 1 kuglica.");
    for (int b : {2, 3, 4})
        QTest::addRow("%d", b) << b << QStringLiteral("Još %1 kuglice.").arg(b);
    for (int b = 5; b <= 20; ++b)
        QTest::addRow("%d", b) << b << QStringLiteral("Još %1 kuglica.").arg(b);
    QTest::newRow("21") << 21 << QStringLiteral("Još 21 kuglica.");
    for (int b : {22, 23, 24})
        QTest::addRow("%d", b) << b << QStringLiteral("Još %1 kuglice.").arg(b);
    QTest::newRow("25") << 25 << QStringLiteral("Još 25 kuglica.");
    QTest::newRow("112") << 112 << QStringLiteral("Još 112 kuglice.");
    QTest::newRow("111") << 111 << QStringLiteral("Još 111 kuglica.");
    QTest::newRow("250") << 250 << QStringLiteral("Još 250 kuglica.");
    QTest::newRow("32767") << 32767 << QStringLiteral("Još 32767 kuglica.");
}

void TestPlotKV::remainingBallsText() {
    QFETCH(int, ballsLeft);
    QFETCH(QString, line);
    QCOMPARE(QString::fromStdString(kug::remainingBallsText(Integer(ballsLeft))), line);
}

void TestPlotKV::remainingBallsLinePrinted_data() {
    QTest::addColumn<int>("ballsLeft");
    QTest::addColumn<bool>("fast");
    QTest::addColumn<QString>("line");
    QTest::newRow("animated 0") << 0 << false << QString();
    QTest::newRow("animated -2") << -2 << false << QString();
    QTest::newRow("animated 1") << 1 << false << QStringLiteral("Još 1 kuglica.");
    QTest::newRow("animated 22") << 22 << false << QStringLiteral("Još 22 kuglice.");
    QTest::newRow("fast 1") << 1 << true << QString();
    QTest::newRow("fast 22") << 22 << true << QString();
    QTest::newRow("fast 250") << 250 << true << QString();
}

// The line is printed once, right after the clear, and never in fast mode.
void TestPlotKV::remainingBallsLinePrinted() {
    QFETCH(int, ballsLeft);
    QFETCH(bool, fast);
    QFETCH(QString, line);
    BoardState s = freshBoard(3);
    s.ballsLeft = Integer(ballsLeft);
    RecordingSurface area(232, 351);
    plot(s, area, 3, fast, false);
    const auto prints = area.of(Op::Print);
    if (line.isEmpty()) {
        QVERIFY(prints.empty());
        return;
    }
    QCOMPARE(prints.size(), std::size_t(1));
    QCOMPARE(area.ops.at(1).kind, Op::Print);
    QCOMPARE(QString::fromStdString(prints.front().text), line);
}

void TestPlotKV::fitCellSize_data() {
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("cellSize");
    // 2 columns, W = 232: the width gives 53, which needs 16 * 53 + 10 = 858.
    QTest::newRow("tall narrow keeps width") << 232 << 1000 << 2 << 53;
    QTest::newRow("needed one below H") << 232 << 859 << 2 << 53;
    QTest::newRow("needed equals H") << 232 << 858 << 2 << 53;
    // From here on the height decides; (H - 10) / 16 rounds back to 53 just
    // below the boundary and drops only further down.
    QTest::newRow("needed one above H") << 232 << 857 << 2 << 53;
    QTest::newRow("height 52.5 to even") << 232 << 850 << 2 << 52;
    QTest::newRow("height 52.4375") << 232 << 849 << 2 << 52;
    QTest::newRow("worked example") << 232 << 351 << 2 << 21;
    QTest::newRow("height 20.5 to even") << 232 << 338 << 2 << 20;
    QTest::newRow("height 21.5 to even") << 232 << 354 << 2 << 22;
    QTest::newRow("wide low") << 1000 << 300 << 2 << 18;
    QTest::newRow("width 52.5 to even") << 230 << 2000 << 2 << 52;
    QTest::newRow("width 53.5 to even") << 234 << 2000 << 2 << 54;
    // 32 columns, W = 1000: width gives 15, needing 76 * 15 + 10 = 1150.
    QTest::newRow("32 tall keeps width") << 1000 << 2000 << 32 << 15;
    QTest::newRow("32 needed equals H") << 1000 << 1150 << 32 << 15;
    QTest::newRow("32 needed above H") << 1000 << 1149 << 32 << 15;
    QTest::newRow("32 wide low") << 1000 << 700 << 32 << 9;
    // 10 columns, W = 500: width gives 24, needing 32 * 24 + 10 = 778.
    QTest::newRow("10 wide low") << 500 << 500 << 10 << 15;
    QTest::newRow("10 needed equals H") << 500 << 778 << 10 << 24;
    QTest::newRow("10 needed above H, far") << 500 << 761 << 10 << 23;
}

// The height-based c is taken exactly when (2(n - 2) + 16)c + 10 > H. At the
// boundary itself both rules give the same c (the height-based one is c - 1/m
// rounded), so the rows check each side of it against the rule that applies.
void TestPlotKV::fitCellSize() {
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, columns);
    QFETCH(int, cellSize);
    QCOMPARE(int(BoardGeometry::fitted(w, h, columns).cell()), cellSize);

    BoardState s = freshBoard(columns);
    RecordingSurface area(w, h);
    plot(s, area, columns, false, false);
    QCOMPARE(int(s.cellSize), cellSize);
}

void TestPlotKV::radiusFollowsCellSize() {
    // c / 3 with halves to even: 21 -> 7, 22 -> 7.33 -> 7, 23 -> 7.67 -> 8.
    struct Case {
        int h, c, r;
    };
    for (const Case k : {Case{351, 21, 7}, Case{362, 22, 7}, Case{378, 23, 8}, Case{26, 1, 0}}) {
        BoardState s = freshBoard(2);
        RecordingSurface area(2000, k.h);
        plot(s, area, 2, false, false);
        QCOMPARE(int(s.cellSize), k.c);
        QCOMPARE(int(s.ballRadius), k.r);
        QCOMPARE(area.of(Op::Circle).at(0).c, float(k.r / 3.0));
    }
}

void TestPlotKV::zeroCountDrawsNoBar() {
    BoardState s = freshBoard(5);
    s.theoryCounts(3) = 4;
    RecordingSurface area(400, 500);
    plot(s, area, 5, false, false);
    QVERIFY(area.of(Op::Box).empty());

    s.binCounts(4) = 1;
    area.ops.clear();
    plot(s, area, 5, false, false);
    const auto boxes = area.of(Op::Box);
    QCOMPARE(boxes.size(), std::size_t(1));
    // One ball of barUnit 10: ten units above the row just over the floor.
    QCOMPARE(boxes[0].b - boxes[0].d, 10.0f);
    QCOMPARE(boxes[0].color, long(red));
}

void TestPlotKV::theoryBarsOnlyWhenTickedAndPositive_data() {
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<int>("theory");
    QTest::addColumn<bool>("drawn");
    QTest::newRow("ticked, positive") << true << 2 << true;
    QTest::newRow("ticked, zero") << true << 0 << false;
    QTest::newRow("ticked, negative") << true << -3 << false;
    QTest::newRow("unticked, positive") << false << 2 << false;
}

void TestPlotKV::theoryBarsOnlyWhenTickedAndPositive() {
    QFETCH(bool, ticked);
    QFETCH(int, theory);
    QFETCH(bool, drawn);
    BoardState s = freshBoard(2);
    s.theoryCounts(2) = Integer(theory);
    RecordingSurface area(232, 351);
    plot(s, area, 2, false, ticked);
    const auto boxes = area.of(Op::Box);
    if (!drawn) {
        QVERIFY(boxes.empty());
        return;
    }
    QCOMPARE(boxes.size(), std::size_t(1));
    QCOMPARE(kug::test::opText(boxes[0]), boxText(117, 251, 157, 231, green));
}

void TestPlotKV::barHeight_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("barUnit");
    QTest::addColumn<int>("height"); // -1: taller than the area, clipped
    QTest::newRow("one ball") << 1 << 10 << 10;
    QTest::newRow("full bin") << 1 << 167 << 167;
    QTest::newRow("above the walls") << 20 << 10 << 200;
    QTest::newRow("up to the top row") << 1 << 251 << 251;
    QTest::newRow("beyond the top") << 1 << 300 << -1;
    QTest::newRow("16-bit product 33400") << 200 << 167 << -1;
    QTest::newRow("16-bit wrap to 464") << 1000 << 66 << -1;
    QTest::newRow("30000 x 167") << 30000 << 167 << -1;
    QTest::newRow("32767 x 32767") << 32767 << 32767 << -1;
}

// The bar starts one unit above the floor (y 251) and grows upwards by
// count x barUnit, computed beyond 16 bits; a bar taller than the area is
// limited to it instead of wrapping round or vanishing.
void TestPlotKV::barHeight() {
    QFETCH(int, count);
    QFETCH(int, barUnit);
    QFETCH(int, height);
    BoardState s = freshBoard(2);
    s.binCounts(1) = Integer(count);
    s.barUnit = Integer(barUnit);
    RecordingSurface area(232, 351);
    plot(s, area, 2, false, false);
    const auto boxes = area.of(Op::Box);
    QCOMPARE(boxes.size(), std::size_t(1));
    const Op& bar = boxes[0];
    QCOMPARE(bar.a, 75.0f);
    QCOMPARE(bar.b, 251.0f);
    QCOMPARE(bar.c, 115.0f);
    if (height >= 0) {
        QCOMPARE(bar.d, float(251 - height));
        return;
    }
    QVERIFY2(bar.d <= 0.0f, qPrintable(QString::number(bar.d)));  // reaches the top edge
    QVERIFY2(bar.d >= -2.0f, qPrintable(QString::number(bar.d))); // but stays at the area
}

void TestPlotKV::oddWidthPutsAxisOnHalfPixel() {
    BoardState s = freshBoard(2);
    s.binCounts(2) = 1;
    RecordingSurface area(233, 351);
    plot(s, area, 2, false, false);
    QCOMPARE(int(s.cellSize), 21);
    const QStringList ops = opTexts(area.ops);
    QVERIFY(indexOf(ops, circleText(116.5f, 63, float(7 / 3.0), black)) >= 0);
    QVERIFY(indexOf(ops, lineText(74.5f, 84, 74.5f, 252, black)) >= 0);
    QVERIFY(indexOf(ops, lineText(116.5f, 84, 116.5f, 252, black)) >= 0);
    QVERIFY(indexOf(ops, lineText(158.5f, 84, 158.5f, 252, black)) >= 0);
    QVERIFY(indexOf(ops, lineText(116.5f, 252, 159.5f, 252, black)) >= 0);
    QVERIFY(indexOf(ops, boxText(117.5f, 251, 157.5f, 241, red)) >= 0);
}

void TestPlotKV::latticeGeometry_data() {
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("columns");
    QTest::newRow("3 columns") << 232 << 351 << 3;
    QTest::newRow("5 columns, odd width") << 401 << 600 << 5;
    QTest::newRow("10 columns") << 800 << 500 << 10;
    QTest::newRow("32 columns") << 1200 << 900 << 32;
}

// Pegs form a triangle centred on W / 2, rows 2c apart from y = 3c; the bins
// span W / 2 - nc .. W / 2 + nc under it, one c below the last row, and every
// inner wall stands exactly below a peg of the last row.
void TestPlotKV::latticeGeometry() {
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, columns);
    const int n = columns;
    BoardState s = freshBoard(n);
    RecordingSurface area(w, h);
    plot(s, area, n, false, false);
    const double c = s.cellSize;
    const double half = w / 2.0;
    const auto pegs = area.of(Op::Circle);
    QCOMPARE(int(pegs.size()), n * (n - 1) / 2);
    std::size_t p = 0;
    for (int i = 1; i <= n - 1; ++i) {
        const double y = (2 * i + 1) * c;
        for (int j = 1; j <= i; ++j, ++p) {
            QCOMPARE(pegs[p].b, float(y));
            QCOMPARE(pegs[p].a, float(half - (i - 1) * c + 2 * (j - 1) * c));
        }
    }
    const double lastRowY = (2 * (n - 1) + 1) * c;
    const double top = lastRowY + c;
    const auto lines = area.of(Op::Line);
    QCOMPARE(int(lines.size()), 3 * n);
    for (int k = 1; k <= n; ++k) {
        const Op& left = lines[3 * (k - 1)];
        const Op& right = lines[3 * (k - 1) + 1];
        const Op& floor = lines[3 * (k - 1) + 2];
        const double x = half - n * c + 2 * (k - 1) * c;
        QCOMPARE(left.a, float(x));
        QCOMPARE(left.b, float(top));
        QCOMPARE(left.d, float(top + 8 * c));
        QCOMPARE(right.a, float(x + 2 * c));
        QCOMPARE(floor.b, float(top + 8 * c));
        QCOMPARE(floor.c, float(x + 2 * c + 1));
        if (k > 1) {
            // an inner wall: a peg of the last row stands right above it
            const bool pegAbove = std::any_of(pegs.end() - (n - 1), pegs.end(), [&](const Op& g) {
                return g.a == left.a && g.b == float(lastRowY);
            });
            QVERIFY2(pegAbove, qPrintable(QStringLiteral("bin %1").arg(k)));
        }
    }
    QVERIFY(lines.front().a >= 0);
    QVERIFY(lines.back().c <= w);
    QVERIFY(lines.back().d <= h);
}

// Arrays shorter than the column count (sized for an earlier board) never make
// the drawing fail: the bins beyond them are drawn empty.
void TestPlotKV::columnsBeyondTheArrays() {
    BoardState s = freshBoard(2);
    s.binCounts(2) = 1;
    s.theoryCounts(2) = 1;
    RecordingSurface area(400, 500);
    plot(s, area, 5, false, true);
    QCOMPARE(area.of(Op::Line).size(), std::size_t(15));
    QCOMPARE(area.of(Op::Box).size(), std::size_t(2));
}

QTEST_APPLESS_MAIN(TestPlotKV)
#include "test_plot_kv.moc"
