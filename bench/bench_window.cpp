// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench_window.h"

#include <memory>

#include <sys/resource.h>
#include <time.h>

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

} // namespace kug::bench
