// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench_window.h"

#include <QDir>
#include <QFile>

#include <memory>

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

namespace kug::bench {

namespace {
std::unique_ptr<MainWindow> shared;
QSize startUpSize;
} // namespace

MainWindow& sharedWindow(QSize size) {
    if (!shared) {
        shared = std::make_unique<MainWindow>();
        startUpSize = shared->size();
        WindowDriver(*shared).showExposed();
    }
    WindowDriver d(*shared);
    d.abort();
    d.setChecked("brzachk", false);
    d.setChecked("petljachk", false);
    const QSize wanted = size.isEmpty() ? startUpSize : size;
    if (shared->size() != wanted)
        d.resizeInner(wanted);
    d.setColumns(benchColumns);
    d.setBalls(0);
    d.setSpeed(100);
    d.setChecked("teorijskachk", true);
    WindowDriver::settle();
    return *shared;
}

void releaseSharedWindow() {
    shared.reset();
}

std::int64_t monotonicNs() {
    struct timespec t {};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
}

long peakRssKb() {
    struct rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

std::int64_t cpuTimeNs() {
    struct timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
}

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The sum of the processor time of every thread of `pid` in milliseconds, -1
// if the kernel does not keep it. (A thread that has ended is no longer
// counted; an X server's threads live as long as it does.)
double schedstatMs(const QByteArray& pid) {
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(QString::fromLatin1(pid)));
    const QStringList names = tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    double ns = 0;
    for (const QString& task : names) {
        const QByteArray line = readAll(tasks.filePath(task) + QStringLiteral("/schedstat"));
        if (line.isEmpty())
            return -1;
        ns += line.left(line.indexOf(' ')).toDouble();
    }
    return names.isEmpty() ? -1 : ns / 1e6;
}

// User and system time from /proc/PID/stat, in clock ticks: fields 14 and 15,
// which follow the command in brackets.
double statMs(const QByteArray& pid) {
    const QByteArray line = readAll(QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(pid)));
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    const double ticks = fields[11].toDouble() + fields[12].toDouble();
    return ticks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

} // namespace

double serverCpuMs() {
    const QByteArray pid = qgetenv("KUG_XSERVER_PID");
    if (pid.isEmpty())
        return -1;
    const double precise = schedstatMs(pid);
    return precise >= 0 ? precise : statMs(pid);
}

long voluntarySwitches() {
    const QDir tasks(QStringLiteral("/proc/self/task"));
    long sum = 0;
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QByteArray status = readAll(tasks.filePath(task) + QStringLiteral("/status"));
        for (const QByteArray& line : status.split('\n'))
            if (line.startsWith("voluntary_ctxt_switches:"))
                sum += line.mid(line.indexOf(':') + 1).trimmed().toLong();
    }
    return sum;
}

} // namespace kug::bench
