// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's bare square: the least a Qt program pays to move a small
// picture once a frame on the same X server. Every processor figure of the
// window is judged as a ratio to it, measured in the same run.
//
// One widget of the window's start-up inner size (read at run time from the
// real window, since it depends on the font) keeps a picture of itself, as
// Qt's Scribble example does; a precise timer moves a square in it once a
// frame, and only the old and the new square are repainted (update(rect) of
// each), the paint event copying the dirty rectangle from the picture.
//
// Counted from the first frame for at least `--seconds`, like a run of
// kug_tick_rate: the processor time of this process and of the X server
// (KUG_XSERVER_PID), the repaints, the event loop's wake-ups and the
// voluntary context switches. Prints one JSON line:
//   {"kind":"bare_square","width":404,"height":378,"seconds":5.0,...}
//
// Usage: kug_bare_square [--seconds S]

#include "bench_window.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace kug::bench {
namespace {

// FIXED: these are the yardstick. Changing any of them changes what every
// ratio means; whoever changes one must measure the "before" figures again.
// The page's bare square (bench/bare_square.js) moves the same way.
constexpr int squareSide = 16;     // pixels
constexpr int stepPerFrame = 4;    // pixels to the right a frame; the squares overlap
constexpr int frameMs = 16;        // Qt::PreciseTimer
constexpr QRgb ground = 0xffffffu; // erased to white
constexpr QRgb square = 0xff0000u; // drawn in red

class BareSquare final : public QWidget {
public:
    explicit BareSquare(QSize size) : image_(size, QImage::Format_RGB32) {
        image_.fill(ground);
        resize(size);
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(frameMs);
        connect(&timer_, &QTimer::timeout, this, &BareSquare::frame);
    }

    void start() { timer_.start(); }
    long frames = 0;
    long paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override {
        ++paints;
        QPainter painter(this);
        const QRect dirty = event->rect();
        painter.drawImage(dirty, image_, dirty);
    }

private:
    void frame() {
        ++frames;
        const QRect old(at_, QSize(squareSide, squareSide));
        at_.rx() += stepPerFrame;
        if (at_.x() + squareSide > width())
            at_ = QPoint(0, at_.y() + squareSide);
        if (at_.y() + squareSide > height())
            at_ = QPoint(0, 0);
        const QRect now(at_, QSize(squareSide, squareSide));
        QPainter painter(&image_);
        painter.fillRect(old, QColor(ground));
        painter.fillRect(now, QColor(square));
        painter.end();
        update(old);
        update(now);
    }

    QImage image_;
    QTimer timer_{this};
    QPoint at_;
};

// The window's inner size at start-up in this font: the real window, made
// and never shown.
QSize windowInnerSize() {
    const MainWindow w;
    return w.size();
}

double secondsOption(const QStringList& args) {
    const qsizetype i = args.indexOf(QStringLiteral("--seconds"));
    return i >= 0 && i + 1 < args.size() ? args[i + 1].toDouble() : 5.0;
}

struct Counters {
    std::int64_t at = 0;
    long frames = 0;
    long paints = 0;
    std::int64_t cpu = 0;
    double serverCpu = -1;
    long wakeUps = 0;
    long switches = 0;
};

} // namespace
} // namespace kug::bench

int main(int argc, char** argv) {
    using namespace kug::bench;
    QApplication app(argc, argv);
    const double seconds = secondsOption(QCoreApplication::arguments());
    BareSquare widget(windowInnerSize());
    widget.show();
    long wakeUps = 0;
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake,
                     &widget, [&] { ++wakeUps; });
    // As kug_tick_rate counts: from the first pass of the event loop that ran
    // a frame to the first at least `seconds` later, the counters read at
    // the first and after the last (reading them costs: /proc).
    Counters start{-1};
    std::int64_t last = 0;
    long seen = 0;
    QEventLoop loop;
    QObject::connect(
        QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &loop, [&] {
            if (widget.frames == seen)
                return;
            seen = widget.frames;
            last = monotonicNs();
            if (start.at < 0)
                start = Counters{last,          widget.frames, widget.paints,      cpuTimeNs(),
                                 serverCpuMs(), wakeUps,       voluntarySwitches()};
            else if (last - start.at >= static_cast<std::int64_t>(seconds * 1e9))
                loop.quit();
        });
    widget.start();
    loop.exec();
    const Counters end{last,          widget.frames, widget.paints,      cpuTimeNs(),
                       serverCpuMs(), wakeUps,       voluntarySwitches()};
    const double span = (end.at - start.at) / 1e9;
    std::printf("{\"kind\":\"bare_square\",\"platform\":\"%s\",\"width\":%d,\"height\":%d,"
                "\"seconds\":%.6f,\"frames\":%ld,\"paints\":%ld,\"cpu_ms\":%.3f,"
                "\"server_cpu_ms\":%.3f,\"wake_ups\":%ld,\"switches\":%ld,\"refresh_hz\":%.2f}\n",
                qPrintable(QGuiApplication::platformName()), widget.width(), widget.height(), span,
                end.frames - start.frames, end.paints - start.paints, (end.cpu - start.cpu) / 1e6,
                start.serverCpu >= 0 ? end.serverCpu - start.serverCpu : -1.0,
                end.wakeUps - start.wakeUps, end.switches - start.switches,
                widget.screen()->refreshRate());
    return 0;
}
