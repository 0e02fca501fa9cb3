// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Drives the real Kuglovica window the way a user would set it up: fields
// written and accepted, switches clicked, the window sized, a run started.
// Shared by the benchmarks and the harnesses.

#include "app/main_window.h"

#include <QSize>

#include <cstdint>

namespace kug::bench {

// The board the costs are measured on: the most columns and the most balls.
constexpr int benchColumns = 32;
// Inner size of a maximised window on a 1920 x 1080 screen, taken as the whole
// screen so that the figure errs on the expensive side.
constexpr QSize fullHdSize(1920, 1080);

class WindowDriver {
public:
    explicit WindowDriver(MainWindow& window) : w_(window) {}

    // Shows the window and waits until it is on screen and painted.
    void show();
    // Resizes the window's inner area; the resize ends any run.
    void resizeInner(QSize size);
    void setColumns(int columns);
    // 0 takes the largest count the field accepts, as a double-click does.
    void setBalls(int balls);
    void setSpeed(int speed);
    void setFastMode(bool on);
    void setLoop(bool on);
    void setTheory(bool on);
    void start();
    void abort();
    // Delivers everything that is pending, the repaints included.
    static void settle();

    MainWindow& window() { return w_; }

private:
    void setChecked(const char* name, bool on);

    MainWindow& w_;
};

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

} // namespace kug::bench
