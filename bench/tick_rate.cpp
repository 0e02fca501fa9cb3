// SPDX-License-Identifier: GPL-3.0-or-later
// Tick-rate harness: drives the real window through animated runs and counts
// the ticks the ball's timer runs, at several speeds and column counts. For
// each of them and each repetition it prints one JSON line:
//   {"kind":"tick_rate","columns":32,"speed":100,"rep":0,"ticks":3000,...}
// The ticks are read after each pass of the event loop; the rate is taken
// from the first pass that ran a tick, when the first ball starts, to the
// first at least `--seconds` later: the ticks run in between / elapsed. Over
// the same span it counts the drawing area's repaints, the event loop's
// wake-ups, the voluntary context switches of all the process's threads and
// the processor time of this process and, when KUG_XSERVER_PID names it, of
// the X server (bench_window.h).
//
// Usage: kug_tick_rate [--seconds S] [--repetitions R] [--speeds 1,50,100]
//                      [--columns 2,32]

#include "bench_window.h"

#include "desktop/sim_area.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEventLoop>
#include <QScreen>
#include <QStringList>

#include <cstdio>
#include <vector>

namespace kug::bench {
namespace {

struct Options {
    double seconds = 3.0;
    int repetitions = 3;
    std::vector<int> speeds{1, 10, 50, 100};
    std::vector<int> columns{benchColumns};
};

std::vector<int> numbers(const QString& list) {
    std::vector<int> out;
    for (const QString& s : list.split(QLatin1Char(',')))
        out.push_back(s.toInt());
    return out;
}

Options parse(const QStringList& args) {
    Options o;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        const QString& key = args[i];
        const QString& value = args[i + 1];
        if (key == QLatin1String("--seconds"))
            o.seconds = value.toDouble();
        else if (key == QLatin1String("--repetitions"))
            o.repetitions = value.toInt();
        else if (key == QLatin1String("--speeds"))
            o.speeds = numbers(value);
        else if (key == QLatin1String("--columns"))
            o.columns = numbers(value);
    }
    return o;
}

struct Measurement {
    long ticks = 0;
    double seconds = 0;
    double longestGapMs = 0; // between two passes of the event loop that ran ticks
    bool runEnded = false;   // the run finished before the time was up
    long paints = 0;         // repaints of the drawing area
    double cpuMs = 0;        // this process
    double serverCpuMs = -1; // the X server, if known
    long wakeUps = 0;        // of the event loop, on the main thread
    long switches = 0;       // voluntary context switches, all threads
};

// What the counters read when the first tick has run.
struct Start {
    std::int64_t at = -1;
    std::uint64_t ticks = 0;
    long paints = 0;
    std::int64_t cpu = 0;
    double serverCpu = -1;
    long wakeUps = 0;
    long switches = 0;
};

// One animated run at `speed`, counted from its first tick for at least
// `seconds`; aborted afterwards.
Measurement measure(WindowDriver& d, int speed, double seconds) {
    MainWindow& w = d.window();
    d.setSpeed(speed);
    const std::int64_t span = static_cast<std::int64_t>(seconds * 1e9);
    Measurement m;
    Start start;
    std::int64_t last = 0;
    std::uint64_t seen = w.clock().ticksRun();
    test::RepaintCounter paints(d.area());
    long wakeUps = 0;
    QEventLoop loop;
    auto* dispatcher = QAbstractEventDispatcher::instance();
    const auto awake =
        QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, &loop, [&] { ++wakeUps; });
    const auto pass =
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, &loop, [&] {
            const std::uint64_t ticks = w.clock().ticksRun();
            if (ticks == seen)
                return;
            seen = ticks;
            const std::int64_t now = monotonicNs();
            if (start.at < 0)
                start = Start{now,           ticks,   paints.paints,      cpuTimeNs(),
                              serverCpuMs(), wakeUps, voluntarySwitches()};
            else
                m.longestGapMs = std::max(m.longestGapMs, (now - last) / 1e6);
            last = now;
            m.ticks = static_cast<long>(ticks - start.ticks);
            m.runEnded = w.state().needsReset;
            if (now - start.at >= span || m.runEnded)
                loop.quit();
        });
    d.start();
    loop.exec();
    QObject::disconnect(awake);
    QObject::disconnect(pass);
    m.switches = voluntarySwitches() - start.switches;
    m.wakeUps = wakeUps - start.wakeUps;
    m.paints = paints.paints - start.paints;
    m.cpuMs = (cpuTimeNs() - start.cpu) / 1e6;
    if (start.serverCpu >= 0)
        m.serverCpuMs = serverCpuMs() - start.serverCpu;
    d.abort();
    WindowDriver::settle();
    m.seconds = (last - start.at) / 1e9;
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
    d.setChecked("teorijskachk", true);
    const QString platform = QGuiApplication::platformName();
    const qreal refresh = w.screen()->refreshRate();
    for (const int columns : o.columns) {
        d.setColumns(columns);
        d.setBalls(0); // 250 balls: a run lasts longer than a measurement
        for (int rep = 0; rep < o.repetitions; ++rep) {
            for (const int speed : o.speeds) {
                const Measurement m = measure(d, speed, o.seconds);
                const double rate = m.seconds > 0 ? m.ticks / m.seconds : 0;
                std::printf(
                    "{\"kind\":\"tick_rate\",\"platform\":\"%s\",\"columns\":%d,\"speed\":%d,"
                    "\"rep\":%d,\"ticks\":%ld,\"seconds\":%.6f,\"rate\":%.3f,\"nominal\":%.3f,"
                    "\"longest_gap_ms\":%.3f,\"run_ended\":%s,\"paints\":%ld,\"cpu_ms\":%.1f,"
                    "\"server_cpu_ms\":%.1f,\"wake_ups\":%ld,\"switches\":%ld,"
                    "\"refresh_hz\":%.2f}\n",
                    qPrintable(platform), columns, speed, rep, m.ticks, m.seconds, rate,
                    1000.0 / (101 - speed), m.longestGapMs, m.runEnded ? "true" : "false", m.paints,
                    m.cpuMs, m.serverCpuMs, m.wakeUps, m.switches, refresh);
                std::fflush(stdout);
            }
        }
    }
    std::printf("{\"kind\":\"peak_rss_kb\",\"where\":\"tick_rate\",\"value\":%ld}\n", peakRssKb());
    return 0;
}
