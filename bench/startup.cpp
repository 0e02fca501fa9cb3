// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up, memory and idleness of the real window.
//
// kug_startup            prints the time from launch to the first painted
//                        frame of the drawing area and exits. The launch is
//                        KUG_LAUNCH_NS (CLOCK_MONOTONIC ns, set by the caller
//                        just before it starts the program) or else the entry
//                        into main.
// kug_startup --session  after start-up, watches the idle window for a second
//                        at a time: at start-up, after a finished animated
//                        run, after an aborted fast loop and after a session
//                        on a 1920 x 1080 window; then prints the peak
//                        resident memory.
// Every figure is one JSON line on stdout.

#include "bench_window.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace kug::bench {
namespace {

std::int64_t launchNs() {
    if (const char* env = std::getenv("KUG_LAUNCH_NS"))
        return std::strtoll(env, nullptr, 10);
    return monotonicNs();
}

// Notes when the drawing area has been painted and the frame handed to the
// window system: the queued call runs once the repaint that painted it is done.
class FirstFrame final : public QObject {
public:
    explicit FirstFrame(QEventLoop& loop) : loop_(loop) {}
    std::int64_t paintedNs = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && paintedNs == 0 && !queued_) {
            queued_ = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    paintedNs = monotonicNs();
                    loop_.quit();
                },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QEventLoop& loop_;
    bool queued_ = false;
};

// Counts what the event loop does: wake-ups from its wait, timer events and
// all events delivered on the event thread.
class IdleWatch final : public QObject {
public:
    IdleWatch() {
        QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake,
                         this, [this] { ++wakeUps; });
        qApp->installEventFilter(this);
    }
    std::atomic<long> wakeUps{0};
    std::atomic<long> timerEvents{0};
    std::atomic<long> events{0};

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        ++events;
        if (event->type() == QEvent::Timer)
            ++timerEvents;
        return QObject::eventFilter(watched, event);
    }
};

// Timers registered on the window or any object below it.
int registeredTimers(QWidget& window) {
    auto* dispatcher = QAbstractEventDispatcher::instance();
    int count = static_cast<int>(dispatcher->registeredTimers(&window).size());
    for (QObject* child : window.findChildren<QObject*>())
        count += static_cast<int>(dispatcher->registeredTimers(child).size());
    return count;
}

// Runs the event loop for one second with no timer of its own (a thread ends
// it) and reports what happened in that second. The second starts once the
// last change has reached the screen and the assistive description: the last
// frame and the last description are each at most a moment away (a frame, a
// quarter of a second), and then nothing may run.
void watchIdle(const char* after, MainWindow& w, IdleWatch& watch) {
    WindowDriver::settle();
    QElapsedTimer settling;
    settling.start();
    while (registeredTimers(w) > 0 && settling.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QEventLoop loop;
    watch.wakeUps = 0;
    watch.timerEvents = 0;
    watch.events = 0;
    const std::int64_t cpu0 = cpuTimeNs();
    long wakeUps = 0, timerEvents = 0, events = 0;
    std::int64_t cpu = 0;
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        wakeUps = watch.wakeUps, timerEvents = watch.timerEvents, events = watch.events;
        cpu = cpuTimeNs() - cpu0;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    stopper.join();
    std::printf("{\"kind\":\"idle\",\"after\":\"%s\",\"wake_ups\":%ld,\"timer_events\":%ld,"
                "\"events\":%ld,\"cpu_us\":%.1f,\"registered_timers\":%d,"
                "\"timmy_on\":%s,\"fast_timmy_on\":%s}\n",
                after, wakeUps, timerEvents, events, cpu / 1e3, registeredTimers(w),
                w.timmy().isEnabled() ? "true" : "false",
                w.fastTimmy().isEnabled() ? "true" : "false");
    std::fflush(stdout);
}

// Runs the event loop until `done` holds, checking after every event batch.
template <typename Done> void runUntil(Done done) {
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void session(MainWindow& w) {
    WindowDriver d(w);
    IdleWatch watch;
    watchIdle("start-up", w, watch);

    // A short animated run that ends by itself.
    d.setColumns(8);
    d.setBalls(3);
    d.setSpeed(100);
    d.start();
    runUntil([&] { return w.state().needsReset; });
    watchIdle("finished animated run", w, watch);

    // A fast loop of the most balls, aborted after a few runs.
    d.setColumns(benchColumns);
    d.setBalls(0);
    d.setChecked("teorijskachk", true);
    d.setChecked("brzachk", true);
    d.setChecked("petljachk", true);
    d.start();
    QElapsedTimer clock;
    clock.start();
    runUntil([&] { return clock.elapsed() > 350; });
    d.abort();
    watchIdle("aborted fast loop", w, watch);

    // The same on a 1920 x 1080 window, then an animated run there.
    d.resizeInner(fullHdSize);
    d.start();
    clock.restart();
    runUntil([&] { return clock.elapsed() > 350; });
    d.abort();
    d.setChecked("brzachk", false);
    d.start();
    clock.restart();
    runUntil([&] { return clock.elapsed() > 500; });
    d.window().form().stopcmd_Click();
    watchIdle("paused run on 1920x1080", w, watch);
}

} // namespace
} // namespace kug::bench

int main(int argc, char** argv) {
    using namespace kug::bench;
    const std::int64_t launched = launchNs();
    QApplication app(argc, argv);
    const bool withSession = QCoreApplication::arguments().contains(QStringLiteral("--session"));
    QEventLoop firstPaint;
    FirstFrame frame(firstPaint);
    kug::MainWindow w;
    w.findChild<QWidget*>(QStringLiteral("simarea"))->installEventFilter(&frame);
    w.show();
    firstPaint.exec();
    std::printf("{\"kind\":\"startup\",\"ms\":%.3f,\"rss_kb\":%ld}\n",
                (frame.paintedNs - launched) / 1e6, peakRssKb());
    std::fflush(stdout);
    if (withSession) {
        session(w);
        std::printf("{\"kind\":\"peak_rss_kb\",\"where\":\"session\",\"value\":%ld}\n",
                    peakRssKb());
    }
    return 0;
}
