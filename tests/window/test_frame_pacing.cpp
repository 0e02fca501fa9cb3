// SPDX-License-Identifier: GPL-3.0-or-later
// The picture reaches the screen at most once a frame: a burst of ball ticks
// is one repaint, and what the window hands to the display after it (its
// backing store) is exactly the retained picture, as a repaint per tick
// would have left it; so is the screen after every frame, though a frame
// repaints only what differs from the last. With nothing to show, nothing is
// scheduled.

#include "window_driver.h"
#include "window_fixture_runs.h"

#include <QBackingStore>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

using namespace kug;
using namespace kug::test;

namespace {

// What the window handed to the display inside the drawing area's border.
QImage onScreen(WindowDriver& w) {
    QPaintDevice* device = w->backingStore()->paintDevice();
    if (device->devType() != QInternal::Image)
        qFatal("the backing store holds no image on this platform");
    const QImage& store = *static_cast<QImage*>(device);
    const qreal dpr = store.devicePixelRatio();
    const QRect inner = w.area()->contentsRect().translated(w.area()->pos());
    return store.copy(QRect(inner.topLeft() * dpr, inner.size() * dpr))
        .convertToFormat(QImage::Format_RGB32);
}

// What the screen shows inside the drawing area's border.
QImage grabbed(WindowDriver& w) {
    const QRect inner = w.area()->contentsRect().translated(w.area()->mapTo(&*w, QPoint(0, 0)));
    return w->screen()
        ->grabWindow(w->winId(), inner.x(), inner.y(), inner.width(), inner.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

bool pacerIdle(const FramePacer& pacer) {
    if (pacer.isWaiting())
        return false;
    for (const QTimer* t : pacer.findChildren<QTimer*>())
        if (t->isActive())
            return false;
    return true;
}

} // namespace

class TestFramePacing : public QObject {
    Q_OBJECT
private slots:
    void burstIsOneFrame_data();
    void burstIsOneFrame();
    void quietWhenNothingChanges();
};

void TestFramePacing::burstIsOneFrame_data() {
    QTest::addColumn<int>("ticks");
    QTest::addColumn<bool>("loop"); // the event loop runs between the ticks
    // Frames of 16 ticks, as at speed 100, each shown at once and the screen
    // compared with the picture.
    QTest::addColumn<bool>("frames");
    // 2 columns: a ball falls, hops and lands within 35 ticks.
    QTest::newRow("a few moves") << 3 << false << false;
    QTest::newRow("a fall and a hop") << 30 << false << false;
    QTest::newRow("landings among the moves") << 200 << false << false;
    QTest::newRow("loop between the ticks") << 30 << true << false;
    QTest::newRow("loop between the ticks, landings") << 200 << true << false;
    QTest::newRow("the screen after every frame, landings") << 480 << false << true;
}

void TestFramePacing::burstIsOneFrame() {
    QFETCH(int, ticks);
    QFETCH(bool, loop);
    QFETCH(bool, frames);
    WindowDriver w;
    QVERIFY(w.open());
    w.enterText("kuglicetxt", "20");
    w.clickCheckBox("tragchk"); // rings left behind show every move
    w.clickButton("startcmd");
    w->clock().setEnabled(Timer::Timmy, false); // the ticks come from the test alone
    const FramePacer& pacer = w.area()->pacer();
    QTRY_VERIFY(pacerIdle(pacer));
    RepaintCounter counter(w.area());

    if (frames) {
        // As the clock's wake-ups run them: the ticks due, then the frame.
        for (int i = 0; i < ticks; i += 16) {
            w.area()->pacer().beginBatch();
            for (int k = 0; k < 16; ++k)
                w->form().Timmy_Timer();
            w.area()->pacer().presentNow();
            QVERIFY2(grabbed(w) == w.picture().convertToFormat(QImage::Format_RGB32),
                     qPrintable(QStringLiteral("after tick %1").arg(i + 16)));
        }
    } else if (!loop) {
        // Ticks straight after one another, as the timer delivers them when
        // the event loop was late: nothing reaches the screen in between.
        for (int i = 0; i < ticks; ++i)
            w->form().Timmy_Timer();
        QCOMPARE(counter.paints, 0);
        QVERIFY(pacer.isWaiting());
        QVERIFY(onScreen(w) != w.picture().convertToFormat(QImage::Format_RGB32));
        QTRY_VERIFY(!pacer.isWaiting());
        QCOMPARE(counter.paints, 1);
    } else {
        // Ticks with the event loop between them, as at speed 100: at most
        // one repaint a frame, however many ticks the frame holds.
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < ticks; ++i) {
            w->form().Timmy_Timer();
            QCoreApplication::processEvents();
        }
        QTRY_VERIFY(!pacer.isWaiting());
        const qint64 frames = clock.elapsed() / pacer.framePeriodMs() + 1;
        QVERIFY2(
            counter.paints <= frames,
            qPrintable(QStringLiteral("%1 repaints in %2 frames").arg(counter.paints).arg(frames)));
    }
    QCOMPARE(onScreen(w), w.picture().convertToFormat(QImage::Format_RGB32));
    w.clickButton("fullstopcmd");
}

// Idle, paused or ended, the pacing stops: no frame is waiting and no timer
// runs. A pause shows the last moves within the next frame.
void TestFramePacing::quietWhenNothingChanges() {
    WindowDriver w;
    QVERIFY(w.open());
    const FramePacer& pacer = w.area()->pacer();
    QTRY_VERIFY(pacerIdle(pacer));
    w.clickButton("startcmd");
    w->clock().setEnabled(Timer::Timmy, false); // the ticks come from the test alone
    for (int i = 0; i < 5; ++i)
        w->form().Timmy_Timer();
    w.clickButton("stopcmd");
    QCOMPARE(runRow(*w), pausedRow);
    QTRY_VERIFY(pacerIdle(pacer));
    QCOMPARE(onScreen(w), w.picture().convertToFormat(QImage::Format_RGB32));
    w.clickButton("startcmd");
    QVERIFY(tickUntilIdle(*w) < 100000);
    QTRY_VERIFY(pacerIdle(pacer));
    QCOMPARE(onScreen(w), w.picture().convertToFormat(QImage::Format_RGB32));
}

QTEST_MAIN(TestFramePacing)
#include "test_frame_pacing.moc"
