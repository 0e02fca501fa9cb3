// SPDX-License-Identifier: GPL-3.0-or-later
// Tick-rate harness: drives the real window through animated runs and counts
// the ticks the ball's timer delivers, at several speeds. For each speed and
// repetition it prints one JSON line:
//   {"kind":"tick_rate","speed":100,"rep":0,"ticks":3001,"seconds":3.0002,...}
// The rate is taken from the first tick, when the first ball starts, to the
// first tick at least `--seconds` later: (ticks - 1) / elapsed.
//
// Usage: kug_tick_rate [--seconds S] [--repetitions R] [--speeds 1,50,100]

#include "bench_window.h"

#include "app/ball_timer.h"

#include <QApplication>
#include <QEventLoop>
#include <QStringList>

#include <cstdio>
#include <vector>

namespace kug::bench {
namespace {

struct Options {
    double seconds = 3.0;
    int repetitions = 3;
    std::vector<int> speeds{1, 50, 90, 99, 100};
};

Options parse(const QStringList& args) {
    Options o;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        const QString& key = args[i];
        const QString& value = args[i + 1];
        if (key == QLatin1String("--seconds"))
            o.seconds = value.toDouble();
        else if (key == QLatin1String("--repetitions"))
            o.repetitions = value.toInt();
        else if (key == QLatin1String("--speeds")) {
            o.speeds.clear();
            for (const QString& s : value.split(QLatin1Char(',')))
                o.speeds.push_back(s.toInt());
        }
    }
    return o;
}

struct Measurement {
    long ticks = 0;
    double seconds = 0;
    double longestGapMs = 0;
    bool runEnded = false; // the run finished before the time was up
};

// One animated run at `speed`, counted from its first tick for at least
// `seconds`; aborted afterwards.
Measurement measure(WindowDriver& d, int speed, double seconds) {
    MainWindow& w = d.window();
    d.setSpeed(speed);
    const std::int64_t span = static_cast<std::int64_t>(seconds * 1e9);
    std::int64_t first = 0, last = 0;
    Measurement m;
    QEventLoop loop;
    const auto counter = QObject::connect(&w.timmy(), &BallTimer::timeout, &loop, [&] {
        const std::int64_t now = monotonicNs();
        if (m.ticks == 0)
            first = now;
        else
            m.longestGapMs = std::max(m.longestGapMs, (now - last) / 1e6);
        last = now;
        ++m.ticks;
        m.runEnded = w.state().needsReset;
        if (now - first >= span || m.runEnded)
            loop.quit();
    });
    d.start();
    loop.exec();
    QObject::disconnect(counter);
    d.abort();
    WindowDriver::settle();
    m.seconds = (last - first) / 1e9;
    return m;
}

} // namespace
} // namespace kug::bench

int main(int argc, char** argv) {
    using namespace kug::bench;
    QApplication app(argc, argv);
    const Options o = parse(QCoreApplication::arguments());
    kug::MainWindow w;
    WindowDriver d(w);
    d.showExposed();
    d.setColumns(benchColumns);
    d.setBalls(0); // 250 balls: a run lasts far longer than a measurement
    d.setChecked("teorijskachk", true);
    const QString platform = QGuiApplication::platformName();
    for (int rep = 0; rep < o.repetitions; ++rep) {
        for (const int speed : o.speeds) {
            const Measurement m = measure(d, speed, o.seconds);
            const double rate = m.seconds > 0 ? (m.ticks - 1) / m.seconds : 0;
            std::printf("{\"kind\":\"tick_rate\",\"platform\":\"%s\",\"speed\":%d,\"rep\":%d,"
                        "\"ticks\":%ld,\"seconds\":%.6f,\"rate\":%.3f,\"nominal\":%.3f,"
                        "\"longest_gap_ms\":%.3f,\"run_ended\":%s}\n",
                        qPrintable(platform), speed, rep, m.ticks, m.seconds, rate,
                        1000.0 / (101 - speed), m.longestGapMs, m.runEnded ? "true" : "false");
            std::fflush(stdout);
        }
    }
    std::printf("{\"kind\":\"peak_rss_kb\",\"where\":\"tick_rate\",\"value\":%ld}\n", peakRssKb());
    return 0;
}
