// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the benchmarks and the harnesses share: the board the costs are
// measured on, one shown window, and the clocks.

#include "desktop/main_window.h"
#include "window_driver.h"

#include <QSize>

#include <cstdint>

namespace kug::bench {

// The board the costs are measured on: the most columns and the most balls.
constexpr int benchColumns = 32;
// Inner size of a maximised window on a 1920 x 1080 screen, taken as the whole
// screen so that the figure errs on the expensive side.
constexpr QSize fullHdSize(1920, 1080);

// The one driver of the window, shared with the tests.
using test::WindowDriver;

// One shown window shared by the window benchmarks, so that each run of a
// benchmark does not pay for creating and showing a window: sized to `size`
// (empty: the start-up size), idle, with 32 columns, the most balls, speed 100
// and the theory shown. releaseSharedWindow() ends it before the application.
MainWindow& sharedWindow(QSize size);
void releaseSharedWindow();

// Nanoseconds on the monotonic clock (the clock the ball's schedule uses).
std::int64_t monotonicNs();
// Peak resident set of this process in kB.
long peakRssKb();
// User + system CPU time of this process in nanoseconds.
std::int64_t cpuTimeNs();
// The processor time of the X server named by KUG_XSERVER_PID (set by
// scripts/bench.sh) in milliseconds, to the nanosecond where the kernel keeps
// it per thread (/proc/PID/task/*/schedstat), else in clock ticks; -1 if it
// cannot be read.
double serverCpuMs();
// The voluntary context switches of every thread of this process: each is a
// wait that ended, a wake-up of the thread.
long voluntarySwitches();

} // namespace kug::bench
