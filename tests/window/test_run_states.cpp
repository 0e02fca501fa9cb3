// SPDX-License-Identifier: GPL-3.0-or-later
// Runs driven through the real buttons: the run-state table, the fresh set-up,
// pause and resume, abort, the single and the looping fast run, the end of an
// animated run, what a redraw or a resize does to a finished histogram, and a
// click from the window system after the ticks fell due.

#include "desktop/main_window.h"
#include "window_driver.h"
#include "window_fixture_runs.h"

#include <QSignalSpy>
#include <QTest>

#include <cmath>

using namespace kug;
using namespace kug::test;

namespace {

bool resizeWindow(MainWindow& w, QSize size);

// Carries out a table step: a press of a real button, the end of the run, or
// a resize while the keyboard focus rests on the pause button.
void press(WindowDriver& w, const QString& step) {
    if (step == QLatin1String("end")) {
        tickUntilIdle(*w);
    } else if (step == QLatin1String("resize")) {
        w.widget("stopcmd")->setFocus(Qt::TabFocusReason);
        QVERIFY(resizeWindow(*w, w->size() + QSize(30, 20)));
    } else if (step == QLatin1String("start"))
        w.clickButton("startcmd");
    else if (step == QLatin1String("pause"))
        w.clickButton("stopcmd");
    else if (step == QLatin1String("abort"))
        w.clickButton("fullstopcmd");
    else
        qFatal("unknown step %s", qPrintable(step));
}

// Columns and balls typed into the fields, then the fast switches ticked.
void prepare(WindowDriver& w, const QString& columns, const QString& balls, bool fast = false,
             bool loop = false) {
    w.enterText("stupcitxt", columns);
    w.enterText("kuglicetxt", balls);
    if (fast)
        w.clickCheckBox("brzachk");
    if (loop)
        w.clickCheckBox("petljachk");
}

bool allCountsZero(const MainWindow& w, int columns) {
    for (int i = 1; i <= columns; ++i)
        if (w.state().binCounts(i) != 0)
            return false;
    return true;
}

// Resizes the shown window and lets the platform deliver the resize.
bool resizeWindow(MainWindow& w, QSize size) {
    w.resize(size);
    return QTest::qWaitFor([&] { return w.size() == size; });
}

} // namespace

class TestRunStates : public QObject {
    Q_OBJECT
private slots:
    void transitions_data();
    void transitions();
    void freshStart();
    void pauseAndResume_data();
    void pauseAndResume();
    void abort_data();
    void abort();
    void singleFastRun_data();
    void singleFastRun();
    void loopTicks_data();
    void loopTicks();
    void animatedRunEndsByItself();
    void finishedHistogramSurvives_data();
    void finishedHistogramSurvives();
    void timmyInterval_data();
    void timmyInterval();
    void clickAfterTicksFellDue_data();
    void clickAfterTicksFellDue();
};

// Run states through the window. Each step is a click on a real button; after
// every step the whole row (six controls and needsReset) must be that of the
// state named.
void TestRunStates::transitions_data() {
    QTest::addColumn<bool>("fast");
    QTest::addColumn<bool>("loop");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("states");

    const auto row = [](const char* name, bool fast, bool loop, const char* steps,
                        const char* states) {
        QTest::newRow(name) << fast << loop << QString::fromLatin1(steps).split(QLatin1Char(' '))
                            << QString::fromLatin1(states).split(QLatin1Char(' '));
    };
    // The table itself is the form's; these rows check that real clicks,
    // a disabled button, the ball's timer and a real resize reach it, and
    // where the focus goes in the window.
    row("start, pause, start, abort", false, false, "start pause start abort",
        "Running Paused Running Idle");
    row("idle: pause is disabled", false, false, "pause", "Idle");
    row("running, last ball lands: idle", false, false, "start end", "Running Idle");
    row("running, resize: idle", false, false, "start resize", "Running Idle");
    row("looping, abort, start: looping", true, true, "start abort start", "Looping Idle Looping");
}

void TestRunStates::transitions() {
    QFETCH(bool, fast);
    QFETCH(bool, loop);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, states);
    QCOMPARE(steps.size(), states.size());

    WindowDriver w;
    QVERIFY(w.open());
    prepare(w, QStringLiteral("3"), QStringLiteral("5"), fast, loop);
    QCOMPARE(runRow(*w), idleRow);
    const QSignalSpy exits(w.button("exitcmd"), &QPushButton::clicked);
    for (qsizetype i = 0; i < steps.size(); ++i) {
        press(w, steps[i]);
        const QString after = runRow(*w);
        QVERIFY2(
            after == rowNamed(states[i]),
            qPrintable(QStringLiteral("after step %1 (%2): %3").arg(i + 1).arg(steps[i], after)));
        QCOMPARE(w->fastTimmy().interval(), designOf(Timer::FastTimmy).intervalMs);
        // The focus never passes on to exit or abort by itself, and keys that
        // press a button do nothing where it has gone.
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus);
        for (const char* button : {"exitcmd", "stopcmd", "fullstopcmd"})
            QVERIFY2(focus->objectName() != QLatin1String(button), button);
        QTest::keyClick(focus, Qt::Key_Space);
        QTest::keyClick(focus, Qt::Key_Return);
        QCOMPARE(runRow(*w), after);
    }
    QCOMPARE(exits.count(), 0);
}

// A start from Idle sets up a fresh run: arrays sized to the columns and
// empty, the balls to come, the ball at the top centre in its fall.
void TestRunStates::freshStart() {
    WindowDriver w;
    QVERIFY(w.open());
    prepare(w, QStringLiteral("4"), QStringLiteral("3"));
    w.clickButton("startcmd");
    QCOMPARE(runRow(*w), runningRow);

    const BoardState& s = w->state();
    QCOMPARE(s.binCounts.upper(), 4);
    QCOMPARE(s.theoryCounts.upper(), 4);
    QVERIFY(allCountsZero(*w, 4));
    QCOMPARE(s.ballsLeft, Integer{3});
    QCOMPARE(s.ballX, Integer{116}); // round(232 / 2)
    QCOMPARE(s.ballY, Integer{0});
    QCOMPARE(s.fallTick, Integer{0});
    QCOMPARE(s.rowIndex, Integer{0});
    QVERIFY(s.dropping);
    // 4 columns on 232 x 351: cell round(341 / 20) = 17; one ball is
    // (8 * 17 - 1) / round(3 * 0.51) = 135 / 2 = 67.5, to the even 68.
    QCOMPARE(s.cellSize, Integer{17});
    QCOMPARE(s.barUnit, Integer{68});
    QCOMPARE(s.hopCoefB, static_cast<Single>(2 + 2 * std::sqrt(3.0)));
    // Fields cannot change while the parameter frame is disabled.
    QVERIFY(!w.field("stupcitxt")->isEnabled());
}

// Pausing at any point of a ball's road and starting again continues exactly
// there: the run goes on as if it had never been paused (compared with a twin
// window fed the same random numbers).
void TestRunStates::pauseAndResume_data() {
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QString>("phase");
    // 3 columns give cell 19 and a rest limit of 48: a fall of 11 ticks
    // (0, 0, 1, 3, 6, 10, 15, 21, 29, 39, then 51 held at 48), the peg tick
    // that chooses the direction, 19 hop ticks.
    QTest::newRow("mid-fall") << 5 << "falling";
    QTest::newRow("resting on the top peg") << 11 << "resting";
    QTest::newRow("direction chosen") << 12 << "chosen";
    QTest::newRow("mid-hop") << 16 << "hopping";
    QTest::newRow("second ball falling") << 60 << "next ball";
}

void TestRunStates::pauseAndResume() {
    QFETCH(int, ticks);
    QFETCH(QString, phase);
    WindowDriver paused;
    WindowDriver twin;
    // Both prepared before either starts: activating a window runs the event
    // loop, which must not tick a running ball.
    for (WindowDriver* w : {&paused, &twin}) {
        QVERIFY(w->open());
        prepare(*w, QStringLiteral("3"), QStringLiteral("2"));
    }
    for (WindowDriver* w : {&paused, &twin}) {
        w->clickButton("startcmd");
        for (int i = 0; i < ticks; ++i)
            w->window().form().Timmy_Timer();
    }
    const BoardState& s = paused.state();
    QCOMPARE(s.cellSize, Integer{19});
    // The ball is where the row says when the pause comes.
    const QString now = s.dropping    ? (s.ballsLeft == 2 ? "falling" : "next ball")
                        : s.atPeg     ? (s.rowIndex == 0 ? "resting" : "at a lower peg")
                        : s.hopX == 0 ? "chosen"
                                      : "hopping";
    QCOMPARE(now, phase);

    const BallFields before = ballFields(*paused);
    const QImage pictureBefore = picture(*paused);
    paused.clickButton("stopcmd");
    QCOMPARE(runRow(*paused), pausedRow);
    QCOMPARE(ballFields(*paused), before);
    QVERIFY(picture(*paused) == pictureBefore); // the ball stays drawn
    paused.clickButton("startcmd");
    QCOMPARE(runRow(*paused), runningRow);
    QCOMPARE(ballFields(*paused), before); // no fresh set-up
    QCOMPARE(ballFields(*paused), ballFields(*twin));

    paused->form().Timmy_Timer();
    twin->form().Timmy_Timer();
    QCOMPARE(ballFields(*paused), ballFields(*twin));
    QVERIFY(picture(*paused) == picture(*twin));
    QVERIFY(tickUntilIdle(*paused) < 100000);
    QVERIFY(tickUntilIdle(*twin) < 100000);
    for (int i = 1; i <= 3; ++i)
        QCOMPARE(paused->state().binCounts(i), twin->state().binCounts(i));
    QCOMPARE(countSum(*paused), 2);
}

// An abort from any run clears the counts but redraws nothing; the next board
// drawing (the theory switch) shows empty bins.
void TestRunStates::abort_data() {
    QTest::addColumn<QString>("from");
    QTest::newRow("running") << QStringLiteral("Running");
    QTest::newRow("paused") << QStringLiteral("Paused");
    QTest::newRow("looping") << QStringLiteral("Looping");
}

void TestRunStates::abort() {
    QFETCH(QString, from);
    const bool looping = from == QLatin1String("Looping");
    WindowDriver w;
    QVERIFY(w.open());
    prepare(w, QStringLiteral("3"), QString::fromLatin1(looping ? "20" : "3"), looping, looping);
    w.clickButton("startcmd");
    if (looping) {
        w->form().FastTimmy_Timer();
    } else {
        tickUntilLanded(*w, 1);
        for (int i = 0; i < 5; ++i) // the next ball on its way
            w->form().Timmy_Timer();
    }
    if (from == QLatin1String("Paused"))
        w.clickButton("stopcmd");
    QCOMPARE(runRow(*w), rowNamed(from));
    const int bin = fullestBin(*w);
    QVERIFY(bin > 0);
    QVERIFY(redBarIn(*w, bin));
    const QImage before = picture(*w);

    w.clickButton("fullstopcmd");
    QCOMPARE(runRow(*w), idleRow);
    QVERIFY(allCountsZero(*w, 3));
    QVERIFY(picture(*w) == before); // ball and histogram stay on screen

    w.clickCheckBox("teorijskachk");
    QVERIFY(!redBarIn(*w, bin));
}

// A single fast run happens within the click: back in Idle with the whole
// histogram drawn and its counts kept. Every ball makes n - 1 deflections from
// the centre, the first one of the run included.
void TestRunStates::singleFastRun_data() {
    QTest::addColumn<QString>("columns");
    QTest::addColumn<QString>("balls");
    QTest::addColumn<std::vector<double>>("script");
    QTest::addColumn<QList<int>>("counts");

    QTest::newRow("one ball") << QStringLiteral("2") << QStringLiteral("1")
                              << std::vector<double>{0.9} << QList<int>{0, 1};
    QTest::newRow("2 columns, 0.5 goes left") << QStringLiteral("2") << QStringLiteral("7")
                                              << std::vector<double>{0.5} << QList<int>{7, 0};
    QTest::newRow("2 columns, alternating") << QStringLiteral("2") << QStringLiteral("6")
                                            << std::vector<double>{0.2, 0.8} << QList<int>{3, 3};
    QTest::newRow("5 columns, all right")
        << QStringLiteral("5") << QStringLiteral("30") << std::vector<double>{0.51}
        << QList<int>{0, 0, 0, 0, 30};
    QTest::newRow("5 columns, right then left")
        << QStringLiteral("5") << QStringLiteral("40") << std::vector<double>{0.9, 0.1}
        << QList<int>{0, 0, 40, 0, 0};
    QTest::newRow("5 columns, left then three rights")
        << QStringLiteral("5") << QStringLiteral("3") << std::vector<double>{0.1, 0.9, 0.9, 0.9}
        << QList<int>{0, 0, 0, 3, 0};
    QTest::newRow("4 columns, three rights in four")
        << QStringLiteral("4") << QStringLiteral("4") << std::vector<double>{0.9, 0.9, 0.9, 0.1}
        << QList<int>{0, 0, 3, 1}; // balls take RRR, LRR, RLR, RRL
}

void TestRunStates::singleFastRun() {
    QFETCH(QString, columns);
    QFETCH(QString, balls);
    QFETCH(std::vector<double>, script);
    QFETCH(QList<int>, counts);

    ScriptedRandom* random = nullptr;
    WindowDriver w(script, &random);
    QVERIFY(w.open());
    prepare(w, columns, balls, true);
    w.clickButton("startcmd");
    QCOMPARE(runRow(*w), idleRow);

    const int n = columns.toInt();
    const int b = balls.toInt();
    QCOMPARE(w->state().ballsLeft, Integer{0});
    QCOMPARE(random->drawn, std::size_t(b) * std::size_t(n - 1));
    QList<int> seen;
    for (int i = 1; i <= n; ++i)
        seen << w->state().binCounts(i);
    QCOMPARE(seen, counts);
    for (int i = 1; i <= n; ++i)
        QCOMPARE(redBarIn(*w, i), counts[i - 1] > 0);
}

// Every tick of the loop is one complete run of exactly b balls, counted from
// zero, whether the tick comes from the handler or from the clock.
void TestRunStates::loopTicks_data() {
    QTest::addColumn<QString>("columns");
    QTest::addColumn<QString>("balls");
    QTest::newRow("2 columns, 1 ball") << QStringLiteral("2") << QStringLiteral("1");
    QTest::newRow("10 columns, 100 balls") << QStringLiteral("10") << QStringLiteral("100");
    QTest::newRow("32 columns, 250 balls") << QStringLiteral("32") << QStringLiteral("250");
}

void TestRunStates::loopTicks() {
    QFETCH(QString, columns);
    QFETCH(QString, balls);
    const int n = columns.toInt();
    const int b = balls.toInt();

    ScriptedRandom* random = nullptr;
    WindowDriver w({0.3, 0.8, 0.6, 0.9, 0.1, 0.4, 0.7}, &random);
    QVERIFY(w.open());
    prepare(w, columns, balls, true, true);
    QCOMPARE(w.field("kuglicetxt")->text(), balls);
    w.clickButton("startcmd");
    QCOMPARE(runRow(*w), loopingRow);
    QCOMPARE(countSum(*w), 0); // the first run comes with the first tick

    for (int tick = 1; tick <= 4; ++tick) {
        const std::size_t drawnBefore = random->drawn;
        std::uint64_t runs = 1;
        if (tick % 2 == 1) {
            w->form().FastTimmy_Timer();
        } else {
            const std::uint64_t ran = w->clock().ticksRun();
            QTRY_VERIFY(w->clock().ticksRun() > ran);
            runs = w->clock().ticksRun() - ran;
        }
        QCOMPARE(countSum(*w), b);
        QCOMPARE(random->drawn - drawnBefore, runs * std::size_t(b) * std::size_t(n - 1));
        QCOMPARE(runRow(*w), loopingRow);
        QVERIFY(redBarIn(*w, fullestBin(*w)));
    }
    w.clickButton("fullstopcmd");
    QCOMPARE(runRow(*w), idleRow);
}

// The last ball landing ends the run by itself: Idle, Timmy off, the
// histogram and its counts kept for the user to look at.
void TestRunStates::animatedRunEndsByItself() {
    WindowDriver w;
    QVERIFY(w.open());
    prepare(w, QStringLiteral("3"), QStringLiteral("4"));
    w.clickButton("startcmd");
    QCOMPARE(runRow(*w), runningRow);
    tickUntilLanded(*w, 3);
    QCOMPARE(runRow(*w), runningRow); // not before the last ball
    QVERIFY(tickUntilIdle(*w) < 100000);

    QCOMPARE(runRow(*w), idleRow);
    QCOMPARE(w->state().ballsLeft, Integer{0});
    QCOMPARE(countSum(*w), 4);
    for (int i = 1; i <= 3; ++i)
        QCOMPARE(redBarIn(*w, i), w->state().binCounts(i) > 0);
    // The next start is a fresh run of the same size.
    w.clickButton("startcmd");
    QCOMPARE(runRow(*w), runningRow);
    QCOMPARE(countSum(*w), 0);
    QCOMPARE(w->state().ballsLeft, Integer{4});
}

// A finished histogram, animated or fast, stays on the board through the
// redraw of the theory switch and through a resize.
void TestRunStates::finishedHistogramSurvives_data() {
    QTest::addColumn<bool>("fast");
    QTest::addColumn<bool>("resize");
    QTest::newRow("animated, theory switch") << false << false;
    QTest::newRow("animated, resize") << false << true;
    QTest::newRow("fast, theory switch") << true << false;
    QTest::newRow("fast, resize") << true << true;
}

void TestRunStates::finishedHistogramSurvives() {
    QFETCH(bool, fast);
    QFETCH(bool, resize);
    WindowDriver w({0.9, 0.2, 0.7, 0.3, 0.6, 0.55, 0.1});
    QVERIFY(w.open());
    prepare(w, QStringLiteral("4"), QStringLiteral("6"), fast);
    w.clickButton("startcmd");
    if (!fast)
        QVERIFY(tickUntilIdle(*w) < 100000);
    QCOMPARE(runRow(*w), idleRow);
    QList<int> counts;
    for (int i = 1; i <= 4; ++i)
        counts << w->state().binCounts(i);
    QCOMPARE(countSum(*w), 6);
    const Integer cellBefore = w->state().cellSize;

    if (resize) {
        QVERIFY(resizeWindow(*w, QSize(520, 440)));
        QVERIFY(w->state().cellSize != cellBefore); // really redrawn at the new size
    } else {
        w.clickCheckBox("teorijskachk");
        QVERIFY(w.box("teorijskachk")->isChecked());
    }
    QCOMPARE(runRow(*w), idleRow);
    for (int i = 1; i <= 4; ++i) {
        QCOMPARE(w->state().binCounts(i), counts[i - 1]);
        QCOMPARE(redBarIn(*w, i), counts[i - 1] > 0);
    }
}

// Timmy is the drift-free ball timer, ticking every 101 - speed ms.
void TestRunStates::timmyInterval_data() {
    QTest::addColumn<QString>("speed");
    QTest::addColumn<int>("interval");
    QTest::newRow("slowest") << QStringLiteral("1") << 100;
    QTest::newRow("middle") << QStringLiteral("37") << 64;
    QTest::newRow("fastest") << QStringLiteral("100") << 1;
    QTest::newRow("99") << QStringLiteral("99") << 2;
    QTest::newRow("below the bounds") << QStringLiteral("0") << 100;
    QTest::newRow("above the bounds") << QStringLiteral("250") << 1;
    QTest::newRow("half to even") << QStringLiteral("50.5") << 51;
}

void TestRunStates::timmyInterval() {
    QFETCH(QString, speed);
    QFETCH(int, interval);
    WindowDriver w;
    QVERIFY(w.open());
    const ClockTimer timer = w->timmy();

    w.enterText("brzinatxt", speed);
    QCOMPARE(timer.interval(), interval);
    QVERIFY(!timer.isEnabled());
    w.clickButton("startcmd");
    QVERIFY(timer.isEnabled());
    QCOMPARE(timer.interval(), interval);
    w.clickButton("fullstopcmd");
    QVERIFY(!timer.isEnabled());
}

// At speed 100 the event loop sleeps through 40 ms; then a click on pause
// comes through the window system. The ticks due run before the click reaches
// the button: the one ball of a short run lands (at 35 ms) and the pause
// button, disabled, takes no click; in a longer run the pause comes after them.
void TestRunStates::clickAfterTicksFellDue_data() {
    QTest::addColumn<QString>("balls");
    QTest::addColumn<QString>("state");
    QTest::newRow("the run ends first") << QStringLiteral("1") << QStringLiteral("Idle");
    QTest::newRow("paused after the ticks") << QStringLiteral("5") << QStringLiteral("Paused");
}

void TestRunStates::clickAfterTicksFellDue() {
    QFETCH(QString, balls);
    QFETCH(QString, state);
    WindowDriver w;
    QVERIFY(w.open());
    prepare(w, QStringLiteral("2"), balls);
    w.enterText("brzinatxt", QStringLiteral("100"));
    w.clickButton("startcmd");
    QPushButton* pause = w.button("stopcmd");
    std::uint64_t ticksAtClick = 0;
    connect(pause, &QPushButton::clicked, this, [&] { ticksAtClick = w->clock().ticksRun(); });
    const std::uint64_t before = w->clock().ticksRun();
    QTest::qSleep(40);
    QTest::mouseClick(w->windowHandle(), Qt::LeftButton, {},
                      pause->mapTo(&*w, pause->rect().center()));
    QCOMPARE(runRow(*w), rowNamed(state));
    if (state == QLatin1String("Idle"))
        QCOMPARE(ticksAtClick, std::uint64_t(0)); // no click reached the button
    else
        QVERIFY(ticksAtClick >= before + 40);
}

QTEST_MAIN(TestRunStates)
#include "test_run_states.moc"
