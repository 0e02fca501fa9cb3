// SPDX-License-Identifier: GPL-3.0-or-later
// The animated ball tick by tick: the fall onto the top peg, the choice at a
// peg, the hop along the parabola, the landing and the end of a run.

#include "op_text.h"
#include "recording_surface.h"
#include "render/plot_kv.h"
#include "scripted_random.h"
#include "sim/animated_ball.h"
#include "sim/run_setup.h"
#include "state/board_geometry.h"
#include "state/board_state.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <numeric>

using namespace kug;
using kug::test::circleText;
using kug::test::Op;
using kug::test::opTexts;
using kug::test::RecordingSurface;
using kug::test::ScriptedRandom;

namespace {

constexpr Long red = rgb(255, 0, 0);
constexpr Long blue = rgb(0, 0, 255);
constexpr Long background = rgb(0x12, 0x34, 0x56);

// A ball resting on a peg at (x, y) of a board with cells of `c`, far from the
// bottom row, with the hop parabola prepared for c.
BoardState ballAtPeg(int c, int x = 1000, int y = 300) {
    BoardState s;
    loadDefaults(s);
    s.cellSize = Integer(c);
    s.ballRadius = toInteger(c / 3.0);
    computeHopConstants(s);
    s.ballX = Integer(x);
    s.ballY = Integer(y);
    s.dropping = false;
    s.atPeg = true;
    return s;
}

const RunSettings farFromBottom{32, 2, 1};
const Switches plain{};

// A run set up on a w x h board as a start does it.
struct Run {
    Run(int w, int h, int columns, int balls, std::vector<double> script)
        : area(w, h, background), random(std::move(script)), settings{columns, Integer(balls), 1} {
        loadDefaults(s);
        plotKV(s, area, settings, plain); // the board on screen before the start
        freshRunSetup(s, area, settings, plain);
        area.ops.clear();
    }
    TickOutcome tick() { return ballTick(s, area, random, settings, plain); }
    // Ticks until a ball lands; returns that tick's outcome.
    TickOutcome untilLanding() {
        for (int i = 0; i < 100000; ++i)
            if (const TickOutcome o = tick(); o != TickOutcome::Moved)
                return o;
        return TickOutcome::Moved;
    }
    BoardState s;
    RecordingSurface area;
    ScriptedRandom random;
    RunSettings settings;
};

int countsTotal(const BoardState& s) {
    int total = 0;
    for (int k = 1; k <= s.binCounts.upper(); ++k)
        total += s.binCounts(k);
    return total;
}

QString outcomeText(TickOutcome o) {
    switch (o) {
    case TickOutcome::Moved:
        return "Moved";
    case TickOutcome::Landed:
        return "Landed";
    case TickOutcome::RunEnded:
        return "RunEnded";
    }
    return {};
}

} // namespace

class TestAnimatedBall : public QObject {
    Q_OBJECT
private slots:
    void fallPositions();
    void restLimit_data();
    void restLimit();
    void hop_data();
    void hop();
    void direction_data();
    void direction();
    void twoColumnBins_data();
    void twoColumnBins();
    void binIsOnePlusRightHops_data();
    void binIsOnePlusRightHops();
    void landingTickDrawsOneNumber();
    void fullRun();
    void eraseAndDraw_data();
    void eraseAndDraw();
    void pauseMidHop();
    void hopCoefficients();
};

void TestAnimatedBall::fallPositions() {
    BoardState s;
    loadDefaults(s);
    s.cellSize = 1000; // rest limit 2555: far below
    s.ballRadius = 333;
    s.ballX = 500;
    s.dropping = true;
    RecordingSurface area(1000, 4000, background);
    ScriptedRandom random({0.9});
    const QList<int> expected{0, 0, 1, 3, 6, 10, 15, 21, 29, 39, 51, 65, 82, 102, 124};
    QList<int> got;
    int previous = 0;
    for (int t = 1; t <= expected.size(); ++t) {
        area.ops.clear();
        QCOMPARE(ballTick(s, area, random, farFromBottom, plain), TickOutcome::Moved);
        QVERIFY(s.dropping);
        QCOMPARE(int(s.fallTick), t);
        got << s.ballY;
        const auto circles = area.of(Op::Circle);
        QCOMPARE(circles.size(), std::size_t(2));
        QCOMPARE(circleText(circles[0].a, circles[0].b, circles[0].c, circles[0].color),
                 circleText(500, float(previous), 333, background));
        QCOMPARE(circleText(circles[1].a, circles[1].b, circles[1].c, circles[1].color),
                 circleText(500, float(s.ballY), 333, red));
        previous = s.ballY;
    }
    QCOMPARE(got, expected);
    QCOMPARE(random.drawn, std::size_t(0));
}

void TestAnimatedBall::restLimit_data() {
    QTest::addColumn<int>("cellSize");
    QTest::addColumn<int>("ballRadius");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("restY");
    QTest::addColumn<double>("limit");
    QTest::newRow("cellSize 100") << 100 << 33 << 20 << 255 << 255.0; // 300 - 11 - 33 - 1
    QTest::newRow("cellSize 200") << 200 << 67 << 25 << 510 << 509.0 + 2.0 / 3;
    QTest::newRow("cellSize 21") << 21 << 7 << 12 << 53 << 52.0 + 2.0 / 3;
}

// The fall ends on the tick that passes the rest limit: the ball is put on
// the limit, drawn there, and waits at the top peg.
void TestAnimatedBall::restLimit() {
    QFETCH(int, cellSize);
    QFETCH(int, ballRadius);
    QFETCH(int, ticks);
    QFETCH(int, restY);
    QFETCH(double, limit);
    BoardState s;
    loadDefaults(s);
    s.cellSize = Integer(cellSize);
    s.ballRadius = Integer(ballRadius);
    s.ballX = 300;
    s.dropping = true;
    s.atPeg = false;
    RecordingSurface area(600, 2000, background);
    ScriptedRandom random({0.1});
    int t = 0;
    while (s.dropping && t < 1000) {
        area.ops.clear();
        ballTick(s, area, random, farFromBottom, plain);
        ++t;
    }
    QCOMPARE(t, ticks);
    QCOMPARE(int(s.ballY), restY);
    QVERIFY(s.atPeg);
    QCOMPARE(area.of(Op::Circle).back().b, float(restY));
    QCOMPARE(BoardGeometry(600, 32, Integer(cellSize)).restLimit(Integer(ballRadius)), limit);
}

void TestAnimatedBall::hop_data() {
    QTest::addColumn<int>("cellSize");
    QTest::addColumn<double>("r");
    QTest::addColumn<int>("dir");
    for (int c : {1, 2, 3, 7, 13, 21, 22, 53, 100, 200, 333}) {
        QTest::addRow("cellSize %d left", c) << c << 0.25 << -1;
        QTest::addRow("cellSize %d right", c) << c << 0.75 << 1;
    }
}

// One tick at the peg chooses the direction; then exactly cellSize ticks move
// the ball one unit sideways each along the parabola, which rises cellSize
// above the peg and ends cellSize to the side and 2 * cellSize lower.
void TestAnimatedBall::hop() {
    QFETCH(int, cellSize);
    QFETCH(double, r);
    QFETCH(int, dir);
    const int c = cellSize;
    const int x0 = 1000, y0 = 300;
    BoardState s = ballAtPeg(c, x0, y0);
    RecordingSurface area(2000, 3000, background);
    ScriptedRandom random({r});

    QCOMPARE(ballTick(s, area, random, farFromBottom, plain), TickOutcome::Moved);
    QVERIFY(area.ops.empty()); // the peg tick draws nothing
    QCOMPARE(random.drawn, std::size_t(1));
    QCOMPARE(int(s.hopDir), dir);
    QVERIFY(!s.atPeg);

    float highest = 0;
    float lastX = float(x0), lastY = float(y0);
    int ticks = 0;
    while (!s.atPeg && ticks < 10000) {
        area.ops.clear();
        ballTick(s, area, random, farFromBottom, plain);
        ++ticks;
        const auto circles = area.of(Op::Circle);
        QCOMPARE(circles.size(), std::size_t(2));
        QCOMPARE(circles[0].a, lastX); // erased where it was drawn last
        QCOMPARE(circles[0].b, lastY);
        QCOMPARE(circles[1].a, float(x0 + dir * ticks));
        lastX = circles[1].a;
        lastY = circles[1].b;
        highest = std::min(highest, lastY - float(y0));
    }
    QCOMPARE(ticks, c);
    QCOMPARE(int(s.ballX), x0 + dir * c);
    QCOMPARE(int(s.ballY), y0 + 2 * c);
    QCOMPARE(int(s.rowIndex), 1);
    QCOMPARE(s.hopX, 0.0f);
    QCOMPARE(s.hopY, 0.0f);
    QVERIFY2(std::fabs(lastY - float(y0 + 2 * c)) < 0.01f, qPrintable(QString::number(lastY)));
    QCOMPARE(random.drawn, std::size_t(1));
    if (c >= 7) {
        // the apex lies between two ticks, less than 2 / c below its true height
        QVERIFY2(highest >= -c - 0.01f && highest <= -c + 2.0f / c,
                 qPrintable(QString::number(highest)));
    }
}

void TestAnimatedBall::direction_data() {
    QTest::addColumn<double>("r");
    QTest::addColumn<int>("dir");
    QTest::newRow("0") << 0.0 << -1;
    QTest::newRow("0.25") << 0.25 << -1;
    QTest::newRow("just below 0.5") << std::nextafter(0.5, 0.0) << -1;
    QTest::newRow("0.5 goes left") << 0.5 << -1;
    QTest::newRow("just above 0.5") << std::nextafter(0.5, 1.0) << 1;
    QTest::newRow("0.75") << 0.75 << 1;
    QTest::newRow("just below 1") << std::nextafter(1.0, 0.0) << 1;
}

void TestAnimatedBall::direction() {
    QFETCH(double, r);
    QFETCH(int, dir);
    QCOMPARE(int(directionFor(r)), dir);
    BoardState s = ballAtPeg(21);
    RecordingSurface area(2000, 1000);
    ScriptedRandom random({r});
    ballTick(s, area, random, farFromBottom, plain);
    QCOMPARE(int(s.hopDir), dir);
    ballTick(s, area, random, farFromBottom, plain);
    QCOMPARE(s.hopX, float(dir));
}

void TestAnimatedBall::twoColumnBins_data() {
    QTest::addColumn<int>("w");
    QTest::addColumn<double>("r");
    QTest::addColumn<int>("bin");
    for (int w : {232, 233, 235}) {
        QTest::addRow("W %d left", w) << w << 0.2 << 1;
        QTest::addRow("W %d r 0.5", w) << w << 0.5 << 1;
        QTest::addRow("W %d right", w) << w << 0.8 << 2;
    }
}

// With 2 columns a ball makes one hop: to bin 1 after a left hop, to bin 2
// after a right hop, whichever side of W / 2 the rounded centre lies.
void TestAnimatedBall::twoColumnBins() {
    QFETCH(int, w);
    QFETCH(double, r);
    QFETCH(int, bin);
    Run run(w, 351, 2, 1, {r});
    QCOMPARE(run.untilLanding(), TickOutcome::RunEnded);
    QCOMPARE(int(run.s.binCounts(bin)), 1);
    QCOMPARE(countsTotal(run.s), 1);
}

void TestAnimatedBall::binIsOnePlusRightHops_data() {
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("w");
    QTest::addColumn<QList<double>>("script");
    QTest::addColumn<int>("bin");
    QTest::newRow("3 cols LL") << 3 << 232 << QList<double>{0.1, 0.2} << 1;
    QTest::newRow("3 cols LR") << 3 << 232 << QList<double>{0.1, 0.9} << 2;
    QTest::newRow("3 cols RL") << 3 << 233 << QList<double>{0.9, 0.5} << 2;
    QTest::newRow("3 cols RR") << 3 << 235 << QList<double>{0.6, 0.7} << 3;
    QTest::newRow("5 cols RLRR") << 5 << 400 << QList<double>{0.9, 0.3, 0.8, 0.7} << 4;
    QTest::newRow("5 cols all left") << 5 << 401 << QList<double>{0.5, 0.5, 0.5, 0.5} << 1;
    QTest::newRow("10 cols all right") << 10 << 600 << QList<double>(9, 0.99) << 10;
    QTest::newRow("32 cols all right") << 32 << 1201 << QList<double>(31, 0.99) << 32;
    QTest::newRow("32 cols all left") << 32 << 1200 << QList<double>(31, 0.01) << 1;
    QList<double> alternate;
    for (int i = 0; i < 31; ++i)
        alternate << (i % 2 ? 0.2 : 0.8);
    QTest::newRow("32 cols alternating") << 32 << 1203 << alternate << 17;
}

void TestAnimatedBall::binIsOnePlusRightHops() {
    QFETCH(int, columns);
    QFETCH(int, w);
    QFETCH(QList<double>, script);
    QFETCH(int, bin);
    script << 0.4; // the landing tick's number
    Run run(w, 900, columns, 2, std::vector<double>(script.begin(), script.end()));
    QCOMPARE(run.untilLanding(), TickOutcome::Landed);
    QCOMPARE(int(run.s.binCounts(bin)), 1);
    QCOMPARE(countsTotal(run.s), 1);
    QCOMPARE(run.random.drawn, std::size_t(columns));
}

// Each peg of the ball's way draws one number, and so does the landing tick,
// although the direction drawn there is never used.
void TestAnimatedBall::landingTickDrawsOneNumber() {
    Run run(400, 600, 5, 3, {0.3, 0.6, 0.1, 0.9, 0.7});
    for (int ball = 1; ball <= 3; ++ball) {
        std::size_t before = run.random.drawn;
        TickOutcome o = TickOutcome::Moved;
        while (o == TickOutcome::Moved) {
            before = run.random.drawn;
            o = run.tick();
        }
        QCOMPARE(run.random.drawn - before, std::size_t(1));
        QCOMPARE(run.random.drawn, std::size_t(5 * ball));
        QVERIFY(run.s.dropping); // the next ball starts with its fall
    }
}

// A whole run of 4 balls on 3 columns: the board is redrawn exactly once per
// landed ball, with the remaining-balls line of that moment; the last landing
// ends the run and its counts stay for later redraws.
void TestAnimatedBall::fullRun() {
    // ball 1: L R -> bin 2; ball 2: R R -> bin 3; ball 3: L L -> bin 1; ball 4: R L -> bin 2
    Run run(232, 351, 3, 4, {0.1, 0.9, 0.0, 0.8, 0.7, 0.2, 0.3, 0.5, 0.9, 0.9, 0.1, 0.4});
    QCOMPARE(int(run.s.ballsLeft), 4);
    QList<QString> outcomes;
    int ticks = 0;
    for (; ticks < 10000; ++ticks) {
        run.area.ops.clear();
        const Integer before = run.s.ballsLeft;
        const bool wasAtPeg = !run.s.dropping && run.s.atPeg;
        const TickOutcome o = run.tick();
        const auto cls = run.area.of(Op::Cls);
        if (o == TickOutcome::Moved) {
            QVERIFY(cls.empty());
            QCOMPARE(run.area.ops.size(), std::size_t(wasAtPeg ? 0 : 6));
            continue;
        }
        outcomes << outcomeText(o);
        QCOMPARE(cls.size(), std::size_t(1));
        QCOMPARE(run.area.ops.front().kind, Op::Cls);
        QCOMPARE(int(run.s.ballsLeft), before - 1);
        const auto prints = run.area.of(Op::Print);
        const std::string line = remainingBallsText(run.s.ballsLeft);
        QCOMPARE(prints.size(), std::size_t(line.empty() ? 0 : 1));
        if (!line.empty())
            QCOMPARE(prints[0].text, line);
        QCOMPARE(int(run.s.ballX), 116); // W / 2
        QCOMPARE(int(run.s.ballY), 0);
        QVERIFY(run.s.dropping);
        QCOMPARE(int(run.s.fallTick), 0);
        QCOMPARE(int(run.s.rowIndex), 0);
        if (o == TickOutcome::RunEnded)
            break;
    }
    QCOMPARE(outcomes, (QList<QString>{"Landed", "Landed", "Landed", "RunEnded"}));
    QCOMPARE(int(run.s.ballsLeft), 0);
    QCOMPARE(int(run.s.binCounts(1)), 1);
    QCOMPARE(int(run.s.binCounts(2)), 2);
    QCOMPARE(int(run.s.binCounts(3)), 1);
    QCOMPARE(run.random.drawn, std::size_t(12));

    // The finished histogram survives a later redraw (a theory toggle, a resize).
    run.area.ops.clear();
    plotKV(run.s, run.area, run.settings, Switches{false, false, false, true});
    const auto bars = run.area.of(Op::Box);
    int redBars = 0;
    for (const Op& b : bars)
        redBars += b.color == red;
    QCOMPARE(redBars, 3);
}

void TestAnimatedBall::eraseAndDraw_data() {
    QTest::addColumn<bool>("trail");
    QTest::addColumn<bool>("hopping");
    QTest::addColumn<qlonglong>("outline");
    QTest::newRow("falling, trail") << true << false << qlonglong(blue);
    QTest::newRow("falling, no trail") << false << false << qlonglong(background);
    QTest::newRow("hopping, trail") << true << true << qlonglong(blue);
    QTest::newRow("hopping, no trail") << false << true << qlonglong(background);
}

// The erase is a circle filled with the background, outlined in blue with the
// trail on and in the background without it; the draw is a filled red disc.
void TestAnimatedBall::eraseAndDraw() {
    QFETCH(bool, trail);
    QFETCH(bool, hopping);
    QFETCH(qlonglong, outline);
    BoardState s = ballAtPeg(21, 116, 53);
    const Switches switches{false, false, trail, false};
    RecordingSurface area(232, 351, background);
    ScriptedRandom random({0.9});
    if (hopping) {
        ballTick(s, area, random, farFromBottom, switches); // at the peg: goes right
        ballTick(s, area, random, farFromBottom, switches); // first hop tick
    } else {
        s.dropping = true;
        s.ballY = 3;
        s.fallTick = 3;
    }
    const float x = float(s.ballX + s.hopX), y = float(s.ballY + s.hopY);
    area.ops.clear();
    ballTick(s, area, random, farFromBottom, switches);
    const float nx = float(s.ballX + s.hopX), ny = float(s.ballY + s.hopY);
    QVERIFY(nx != x || ny != y);
    const QStringList expected = {
        "FillStyle 0",
        QStringLiteral("FillColor %1").arg(background),
        circleText(x, y, 7, long(outline)),
        "FillStyle 0",
        QStringLiteral("FillColor %1").arg(red),
        circleText(nx, ny, 7, red),
    };
    QCOMPARE(opTexts(area.ops), expected);
}

// A pause is simply no tick: the state alone carries the ball, so the ticks
// after it go on with the same hop in the direction chosen before it. On a
// 400 x 600 board of 5 columns the cell is 27: the ball starts at x 200, hops
// right to 227 and, from there, left; paused 13 ticks into that hop, it goes
// on to 213 and ends the hop on the peg at 200, two rows below the first.
void TestAnimatedBall::pauseMidHop() {
    Run run(400, 600, 5, 2, {0.9, 0.2, 0.6, 0.4, 0.8, 0.1, 0.7});
    QCOMPARE(int(run.s.cellSize), 27);
    QCOMPARE(int(run.s.ballX), 200);
    while (run.s.rowIndex < 1 || !run.s.atPeg)
        run.tick();
    QCOMPARE(int(run.s.ballX), 227);
    run.tick(); // the peg: 0.2, so the next hop goes left
    for (int i = 0; i < 13; ++i)
        run.tick();
    QCOMPARE(run.s.hopX, -13.0f);
    const int restY = run.s.ballY;

    run.area.ops.clear();
    run.tick(); // the first tick after the pause
    const auto circles = run.area.of(Op::Circle);
    QCOMPARE(circles.size(), std::size_t(2));
    QCOMPARE(circles[0].a, 214.0f); // erased where the pause left it
    QCOMPARE(circles[1].a, 213.0f);
    QCOMPARE(run.s.hopX, -14.0f);
    for (int i = 0; i < 13; ++i)
        QCOMPARE(run.tick(), TickOutcome::Moved);
    QVERIFY(run.s.atPeg);
    QCOMPARE(int(run.s.ballX), 200);
    QCOMPARE(int(run.s.ballY), restY + 2 * 27);
    QCOMPARE(int(run.s.rowIndex), 2);
}

// hopCoefB = 2 + 2 sqrt 3 whatever the board size; hopCoefA = (4 + 2 sqrt 3) / c.
void TestAnimatedBall::hopCoefficients() {
    const float b = float(2 + 2 * std::sqrt(3.0));
    const double a = 4 + 2 * std::sqrt(3.0);
    for (int c = 1; c <= 400; ++c) {
        BoardState s;
        s.cellSize = Integer(c);
        computeHopConstants(s);
        QCOMPARE(s.hopCoefB, b);
        QVERIFY2(std::fabs(s.hopCoefA * c - a) < 1e-5 * a, qPrintable(QString::number(c)));
        QCOMPARE(s.hopWidth, float(c));
        QCOMPARE(s.hopDrop, float(-2 * c));
        QCOMPARE(s.hopRise, float(c));
    }
}

QTEST_APPLESS_MAIN(TestAnimatedBall)
#include "test_animated_ball.moc"
