// SPDX-License-Identifier: GPL-3.0-or-later
// Costs of the window's ticks, each including the repaint it causes: the
// animated ball's tick (a move, and separately a landing with its board
// redraw) and the looping fast simulation's tick.

#include "bench_window.h"

#include <QApplication>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace kug::bench {
namespace {

// An animated run of the most balls on 32 columns, theory shown, in the
// shared window at the given inner size (empty: the start-up size). The
// timer is stopped again at once: the benchmark delivers the ticks itself.
MainWindow& startAnimatedRun(QSize size) {
    MainWindow& w = sharedWindow(size);
    w.form().startcmd_Click();
    w.clock().setEnabled(Timer::Timmy, false);
    WindowDriver::settle();
    return w;
}

// One tick as the timer delivers it, and the repaint of what it drew.
void tick(MainWindow& w) {
    w.form().Timmy_Timer();
    QCoreApplication::processEvents();
}

bool landingNext(const MainWindow& w) {
    const BoardState& s = w.state();
    return !s.dropping && s.atPeg && s.rowIndex == w.settings().columns - 1;
}

// A finished run is started afresh, so the ball keeps moving.
void keepRunning(MainWindow& w) {
    if (!w.state().needsReset)
        return;
    w.form().startcmd_Click();
    w.clock().setEnabled(Timer::Timmy, false);
    WindowDriver::settle();
}

// Falling, choosing and hopping ticks: one erase and one ball circle each.
void BM_AnimatedMoveTick(benchmark::State& state, QSize size) {
    MainWindow& w = startAnimatedRun(size);
    for (auto _ : state) {
        if (landingNext(w) || w.state().needsReset) {
            state.PauseTiming();
            if (landingNext(w))
                tick(w);
            keepRunning(w);
            state.ResumeTiming();
        }
        tick(w);
    }
}
BENCHMARK_CAPTURE(BM_AnimatedMoveTick, startup, QSize())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AnimatedMoveTick, window_1920x1080, fullHdSize)->Unit(benchmark::kMicrosecond);

// The tick on which a ball lands: the count, plotKV and the full repaint.
void BM_AnimatedLandingTick(benchmark::State& state, QSize size) {
    MainWindow& w = startAnimatedRun(size);
    for (auto _ : state) {
        state.PauseTiming();
        keepRunning(w);
        while (!landingNext(w))
            w.form().Timmy_Timer(); // the flight, repainted once below
        QCoreApplication::processEvents();
        state.ResumeTiming();
        tick(w);
    }
}
BENCHMARK_CAPTURE(BM_AnimatedLandingTick, startup, QSize())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AnimatedLandingTick, window_1920x1080, fullHdSize)
    ->Unit(benchmark::kMicrosecond);

// Every tick of whole balls, landings included: the mean cost per tick.
void BM_AnimatedMeanTick(benchmark::State& state, QSize size) {
    MainWindow& w = startAnimatedRun(size);
    for (auto _ : state) {
        if (w.state().needsReset) {
            state.PauseTiming();
            keepRunning(w);
            state.ResumeTiming();
        }
        tick(w);
    }
}
BENCHMARK_CAPTURE(BM_AnimatedMeanTick, startup, QSize())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AnimatedMeanTick, window_1920x1080, fullHdSize)->Unit(benchmark::kMicrosecond);

// One looping fast run of 250 balls on 32 columns and its redraw.
void BM_FastTimmyTick(benchmark::State& state, QSize size) {
    MainWindow& w = sharedWindow(size);
    WindowDriver d(w);
    d.setChecked("brzachk", true);
    d.setChecked("petljachk", true);
    d.start();
    w.clock().setEnabled(Timer::FastTimmy, false); // the benchmark delivers the ticks
    WindowDriver::settle();
    for (auto _ : state) {
        w.form().FastTimmy_Timer();
        QCoreApplication::processEvents();
    }
}
BENCHMARK_CAPTURE(BM_FastTimmyTick, startup, QSize())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FastTimmyTick, window_1920x1080, fullHdSize)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace kug::bench
