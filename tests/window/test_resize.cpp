// SPDX-License-Identifier: GPL-3.0-or-later
// The window layout through the real window: the minimum inner size of
// 421 x 305 per axis (the stored minimum, widened by what the frames grew and
// tall enough for the whole button frame), minimising and restoring in the middle of a run,
// maximising and large sizes, and what a resize leaves of a run.

#include "design_font.h"
#include "field_fixture_picture.h"
#include "window_driver.h"
#include "window_fixture_runs.h"

#include <QGroupBox>
#include <QTest>
#include <QTimer>

using namespace kug;
using namespace kug::test;

namespace {

// How the size is changed: by the program, through the native window as a
// window manager does, or with the native minimum lifted, as by a window
// manager that ignores it.
enum class Route { Widget, NativeWindow, NoNativeMinimum };

// How the window is minimised, restored or maximised.
enum class StateChange { ShowCall, SetWindowState };

} // namespace

Q_DECLARE_METATYPE(Route)
Q_DECLARE_METATYPE(StateChange)

class TestResize : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { pinDesignFont(); }
    void minimumPerAxis_data();
    void minimumPerAxis();
    void minimisedMidRun_data();
    void minimisedMidRun();
    void largeWindow_data();
    void largeWindow();
    void resizeMidRunKeepsHistogram_data();
    void resizeMidRunKeepsHistogram();

private:
    static void verifyIdle(WindowDriver& fx);
    static void verifyLayout(WindowDriver& fx);
    // Ticks the animated ball by hand until `landed` balls are in the bins.
    static bool runUntilLanded(WindowDriver& fx, int landed);
    static int landedBalls(const BoardState& s);
};

void TestResize::verifyIdle(WindowDriver& fx) {
    QCOMPARE(runRow(fx.window()), idleRow);
    QVERIFY(fx.field("stupcitxt")->isEnabled());
}

// Frames 5 pixels from the right edge, the drawing area 10 pixels left of
// the parameter frame and as tall as the inner area, the board fitted to it.
void TestResize::verifyLayout(WindowDriver& fx) {
    const QWidget* params = fx.widget("params");
    const QWidget* gumbi = fx.widget("gumbi");
    const int w = fx.window().width();
    QCOMPARE(params->x() + params->width(), w - 5);
    QCOMPARE(gumbi->x() + gumbi->width(), w - 5);
    QCOMPARE(params->y(), 5);
    QCOMPARE(gumbi->y(), params->y() + params->height());
    QCOMPARE(fx.area()->geometry(), QRect(0, 0, params->x() - 10, fx.window().height()));
    // Every button is wholly inside the window, also at the minimum size.
    for (Control c : controlsIn(Control::gumbi)) {
        const char* name = designOf(c).name;
        const QWidget* button = fx.widget(name);
        const QRect inWindow(button->mapTo(&fx.window(), QPoint(0, 0)), button->size());
        QVERIFY2(fx.window().rect().contains(inWindow), name);
    }
    const QImage picture = fx.picture();
    QCOMPARE(picture.size(), fx.area()->contentsRect().size());
    // Bins are 2c wide in the picture for the refitted c.
    const auto walls = binWalls(picture, black);
    QCOMPARE(int(walls.size()), 3);
    QCOMPARE(walls[1] - walls[0], 2 * fx.state().cellSize);
}

int TestResize::landedBalls(const BoardState& s) {
    int sum = 0;
    for (int k = 1; k <= s.binCounts.upper(); ++k)
        sum += s.binCounts(k);
    return sum;
}

bool TestResize::runUntilLanded(WindowDriver& fx, int landed) {
    for (int tick = 0; tick < 100000; ++tick) {
        if (landedBalls(fx.state()) >= landed)
            return true;
        fx.window().form().Timmy_Timer();
    }
    return false;
}

// ---- Minimum size ------------------------------------------------------------

void TestResize::minimumPerAxis_data() {
    QTest::addColumn<Route>("route");
    QTest::addColumn<QSize>("asked");
    QTest::addColumn<QSize>("result");
    const struct {
        const char* name;
        Route route;
    } routes[] = {{"widget", Route::Widget},
                  {"native window", Route::NativeWindow},
                  {"no native minimum", Route::NoNativeMinimum}};
    for (const auto& r : routes) {
        QTest::addRow("%s: too narrow", r.name) << r.route << QSize(300, 400) << QSize(421, 400);
        QTest::addRow("%s: too low", r.name) << r.route << QSize(500, 200) << QSize(500, 305);
        QTest::addRow("%s: both", r.name) << r.route << QSize(100, 50) << QSize(421, 305);
        QTest::addRow("%s: one short", r.name) << r.route << QSize(420, 304) << QSize(421, 305);
        QTest::addRow("%s: the minimum", r.name) << r.route << QSize(421, 305) << QSize(421, 305);
        QTest::addRow("%s: above", r.name) << r.route << QSize(422, 306) << QSize(422, 306);
    }
}

void TestResize::minimumPerAxis() {
    QFETCH(Route, route);
    QFETCH(QSize, asked);
    QFETCH(QSize, result);
    WindowDriver fx;
    QVERIFY(fx.open());
    MainWindow& w = fx.window();
    switch (route) {
    case Route::Widget:
        w.resize(asked);
        break;
    case Route::NativeWindow:
        QVERIFY(w.windowHandle() != nullptr);
        w.windowHandle()->resize(asked);
        break;
    case Route::NoNativeMinimum:
        w.setMinimumSize(0, 0);
        w.resize(asked);
        break;
    }
    QTRY_COMPARE(w.size(), result);
    // Settled: no pending notification changes the size again.
    QCoreApplication::processEvents();
    QCOMPARE(w.size(), result);
    verifyLayout(fx);
    verifyIdle(fx);
}

// ---- Minimise and restore ----------------------------------------------------------

void TestResize::minimisedMidRun_data() {
    QTest::addColumn<StateChange>("how");
    QTest::newRow("showMinimized / showNormal") << StateChange::ShowCall;
    QTest::newRow("setWindowState") << StateChange::SetWindowState;
}

void TestResize::minimisedMidRun() {
    QFETCH(StateChange, how);
    WindowDriver fx;
    QVERIFY(fx.open());
    MainWindow& w = fx.window();
    BoardState& s = fx.state();
    WindowDriver::click(fx.button("startcmd"));
    QVERIFY(w.timmy().isEnabled());
    QVERIFY(!fx.widget("params")->isEnabled());
    for (int i = 0; i < 3; ++i)
        w.form().Timmy_Timer();

    // Traps for work the minimised window must not do: a layout would move
    // the parameter frame back to the right edge, a redraw would show the
    // count slipped into bin 1.
    QWidget* params = fx.widget("params");
    params->move(0, 5);
    s.binCounts(1) = 1;
    const QImage before = fx.picture();
    const QSize areaBefore = fx.area()->size();

    if (how == StateChange::ShowCall)
        w.showMinimized();
    else
        w.setWindowState(Qt::WindowMinimized);
    QCoreApplication::processEvents();
    QVERIFY(w.isMinimized());
    verifyIdle(fx);
    QCOMPARE(params->pos(), QPoint(0, 5));
    QCOMPARE(fx.area()->size(), areaBefore);
    QCOMPARE(fx.picture(), before);
    QCOMPARE(int(s.binCounts(1)), 1);

    if (how == StateChange::ShowCall)
        w.showNormal();
    else
        w.setWindowState(Qt::WindowNoState);
    QTRY_VERIFY(!w.isMinimized());
    verifyIdle(fx);
    verifyLayout(fx);
    // Redrawn with the counts as they stand.
    const auto walls = binWalls(fx.picture(), black);
    QCOMPARE(barHeight(fx.picture(), walls, 1, red), 1 * s.barUnit + 1);
}

// ---- Maximise and large sizes ----------------------------------------------------

void TestResize::largeWindow_data() {
    QTest::addColumn<StateChange>("how");
    QTest::addColumn<QSize>("size"); // empty: whatever maximised gives
    QTest::newRow("showMaximized") << StateChange::ShowCall << QSize();
    QTest::newRow("setWindowState") << StateChange::SetWindowState << QSize();
    QTest::newRow("1920 x 1080") << StateChange::ShowCall << QSize(1920, 1080);
}

void TestResize::largeWindow() {
    QFETCH(StateChange, how);
    QFETCH(QSize, size);
    WindowDriver fx;
    QVERIFY(fx.open());
    MainWindow& w = fx.window();
    const BoardState& s = fx.state();
    const QSize designed = w.size();
    const Integer maxBalls = s.maxBalls;
    QCOMPARE(int(s.cellSize), 21);
    WindowDriver::click(fx.button("startcmd"));
    QVERIFY(w.timmy().isEnabled());

    if (size.isValid())
        w.resize(size);
    else if (how == StateChange::ShowCall)
        w.showMaximized();
    else
        w.setWindowState(Qt::WindowMaximized);
    if (size.isValid())
        QTRY_COMPARE(w.size(), size);
    else
        QTRY_VERIFY(w.width() > designed.width() && w.height() > designed.height());

    verifyIdle(fx);
    verifyLayout(fx);
    QVERIFY(s.cellSize > 21);
    QCOMPARE(s.maxBalls, maxBalls);

    // Back to the normal size: laid out and refitted again.
    if (size.isValid())
        w.resize(designed);
    else if (how == StateChange::ShowCall)
        w.showNormal();
    else
        w.setWindowState(Qt::WindowNoState);
    QTRY_COMPARE(w.size(), designed);
    verifyLayout(fx);
    QCOMPARE(int(s.cellSize), 21);
}

// ---- A run interrupted by a resize -------------------------------------------------

// A resize ends whatever run is in progress: Idle, laid out again, the
// partial histogram kept on screen at the new size with its bars keeping
// their height per ball; the next start begins a fresh run with empty bins.
void TestResize::resizeMidRunKeepsHistogram_data() {
    QTest::addColumn<QString>("from");
    QTest::newRow("running") << QStringLiteral("Running");
    QTest::newRow("paused") << QStringLiteral("Paused");
    QTest::newRow("looping") << QStringLiteral("Looping");
}

void TestResize::resizeMidRunKeepsHistogram() {
    QFETCH(QString, from);
    const bool looping = from == QLatin1String("Looping");
    WindowDriver fx;
    QVERIFY(fx.open());
    MainWindow& w = fx.window();
    BoardState& s = fx.state();
    fx.enterText("kuglicetxt", "5");
    if (looping) {
        fx.clickCheckBox("brzachk");
        fx.clickCheckBox("petljachk");
    }
    fx.clickButton("startcmd");
    if (looping) {
        w.form().FastTimmy_Timer();
    } else {
        QVERIFY(runUntilLanded(fx, 2));
        for (int i = 0; i < 12; ++i) // the third ball on its way
            w.form().Timmy_Timer();
    }
    if (from == QLatin1String("Paused"))
        fx.clickButton("stopcmd");
    QCOMPARE(runRow(w), rowNamed(from));
    const int left = s.ballsLeft;
    const int bin1 = s.binCounts(1), bin2 = s.binCounts(2);
    QCOMPARE(bin1 + bin2 + left, 5);
    QVERIFY(bin1 + bin2 >= 2);
    const Integer unit = s.barUnit;

    w.resize(600, 450);
    QTRY_COMPARE(w.size(), QSize(600, 450));
    verifyIdle(fx);
    verifyLayout(fx);
    QCOMPARE(int(s.binCounts(1)), bin1);
    QCOMPARE(int(s.binCounts(2)), bin2);
    QCOMPARE(int(s.ballsLeft), left);
    QCOMPARE(s.barUnit, unit);
    const QImage after = fx.picture();
    const auto walls = binWalls(after, black);
    QCOMPARE(int(walls.size()), 3);
    QCOMPARE(barHeight(after, walls, 1, red), bin1 > 0 ? bin1 * unit + 1 : 0);
    QCOMPARE(barHeight(after, walls, 2, red), bin2 > 0 ? bin2 * unit + 1 : 0);

    fx.clickButton("startcmd");
    QCOMPARE(runRow(w), rowNamed(looping ? "Looping" : "Running"));
    QCOMPARE(int(s.binCounts(1)) + s.binCounts(2), 0);
    QCOMPARE(int(s.ballsLeft), 5);
    const QImage fresh = fx.picture();
    QCOMPARE(barHeight(fresh, binWalls(fresh, black), 1, red), 0);
    QCOMPARE(barHeight(fresh, binWalls(fresh, black), 2, red), 0);
    fx.clickButton("fullstopcmd");
}

QTEST_MAIN(TestResize)
#include "test_resize.moc"
