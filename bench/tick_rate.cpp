// SPDX-License-Identifier: GPL-3.0-or-later
// Tick-rate harness: drives the real window through animated runs and counts
// the ticks the ball's timer delivers, at several speeds and column counts.
// For each of them and each repetition it prints one JSON line:
//   {"kind":"tick_rate","columns":32,"speed":100,"rep":0,"ticks":3001,...}
// The rate is taken from the first tick, when the first ball starts, to the
// first tick at least `--seconds` later: (ticks - 1) / elapsed. Over the same
// span it counts the drawing area's repaints and the processor time of this
// process and, when KUG_XSERVER_PID names it, of the X server.
//
// Usage: kug_tick_rate [--seconds S] [--repetitions R] [--speeds 1,50,100]
//                      [--columns 2,32]

#include "bench_window.h"

#include "desktop/ball_timer.h"
#include "desktop/sim_area.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QScreen>
#include <QStringList>

#include <cstdio>
#include <vector>

#include <unistd.h>

namespace kug::bench {
namespace {

struct Options {
    double seconds = 3.0;
    int repetitions = 3;
    std::vector<int> speeds{1, 50, 90, 99, 100};
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
    double longestGapMs = 0;
    bool runEnded = false;   // the run finished before the time was up
    long paints = 0;         // repaints of the drawing area
    double cpuMs = 0;        // this process
    double serverCpuMs = -1; // the X server, if known
};

// Processor time of another process in milliseconds, from /proc; -1 if it
// cannot be read.
double processCpuMs(const QByteArray& pid) {
    QFile stat(QByteArrayLiteral("/proc/") + pid + QByteArrayLiteral("/stat"));
    if (pid.isEmpty() || !stat.open(QIODevice::ReadOnly))
        return -1;
    // Fields 14 and 15, user and system time, follow the command in brackets.
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    const double ticks = fields[11].toDouble() + fields[12].toDouble();
    return ticks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double serverCpuMs() {
    return processCpuMs(qgetenv("KUG_XSERVER_PID"));
}

// One animated run at `speed`, counted from its first tick for at least
// `seconds`; aborted afterwards.
Measurement measure(WindowDriver& d, int speed, double seconds) {
    MainWindow& w = d.window();
    d.setSpeed(speed);
    const std::int64_t span = static_cast<std::int64_t>(seconds * 1e9);
    std::int64_t first = 0, last = 0;
    Measurement m;
    test::RepaintCounter paints(d.area());
    long paintsAtFirst = 0;
    std::int64_t cpuAtFirst = 0;
    double serverAtFirst = -1;
    QEventLoop loop;
    const auto counter = QObject::connect(&w.timmy(), &BallTimer::timeout, &loop, [&] {
        const std::int64_t now = monotonicNs();
        if (m.ticks == 0) {
            first = now;
            paintsAtFirst = paints.paints;
            cpuAtFirst = cpuTimeNs();
            serverAtFirst = serverCpuMs();
        } else
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
    m.paints = paints.paints - paintsAtFirst;
    m.cpuMs = (cpuTimeNs() - cpuAtFirst) / 1e6;
    if (serverAtFirst >= 0)
        m.serverCpuMs = serverCpuMs() - serverAtFirst;
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
    d.setChecked("teorijskachk", true);
    const QString platform = QGuiApplication::platformName();
    const qreal refresh = w.screen()->refreshRate();
    for (const int columns : o.columns) {
        d.setColumns(columns);
        d.setBalls(0); // 250 balls: a run lasts longer than a measurement
        for (int rep = 0; rep < o.repetitions; ++rep) {
            for (const int speed : o.speeds) {
                const Measurement m = measure(d, speed, o.seconds);
                const double rate = m.seconds > 0 ? (m.ticks - 1) / m.seconds : 0;
                std::printf(
                    "{\"kind\":\"tick_rate\",\"platform\":\"%s\",\"columns\":%d,\"speed\":%d,"
                    "\"rep\":%d,\"ticks\":%ld,\"seconds\":%.6f,\"rate\":%.3f,\"nominal\":%.3f,"
                    "\"longest_gap_ms\":%.3f,\"run_ended\":%s,\"paints\":%ld,\"cpu_ms\":%.1f,"
                    "\"server_cpu_ms\":%.1f,\"refresh_hz\":%.2f}\n",
                    qPrintable(platform), columns, speed, rep, m.ticks, m.seconds, rate,
                    1000.0 / (101 - speed), m.longestGapMs, m.runEnded ? "true" : "false", m.paints,
                    m.cpuMs, m.serverCpuMs, refresh);
                std::fflush(stdout);
            }
        }
    }
    std::printf("{\"kind\":\"peak_rss_kb\",\"where\":\"tick_rate\",\"value\":%ld}\n", peakRssKb());
    return 0;
}
