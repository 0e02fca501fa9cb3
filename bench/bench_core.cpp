// SPDX-License-Identifier: GPL-3.0-or-later
// Costs of the toolkit-free core: the board drawing onto the retained image
// and the fast simulation.

#include "bench_window.h"

#include "desktop/image_surface.h"
#include "render/plot_kv.h"
#include "render/theory_fill.h"
#include "sim/fast_sim.h"
#include "sim/random_source.h"
#include "state/parameter_rules.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace kug::bench {
namespace {

// The drawing area of the window at start-up: 232 x 351 inside its border.
constexpr QSize startUpArea(232, 351);
constexpr int mostBalls = 250;

// A board of 32 columns after a run of 250 balls, with the theory shown and
// every bin holding at least one ball, so that all 64 bars are drawn.
const RunSettings settings{benchColumns, mostBalls, 100};
const Switches withTheory{false, false, false, true};

BoardState fullBoard(ImageSurface& area) {
    BoardState s;
    loadDefaults(s);
    s.binCounts.redim(benchColumns);
    s.theoryCounts.redim(benchColumns);
    plotKV(s, area, settings, withTheory); // fits cellSize to the area
    s.barUnit = barUnitFor(s.cellSize, mostBalls);
    theoryfill(s, settings);
    Mt19937Source random;
    fastsim(s, random, settings, area.scaleWidth());
    for (int k = 1; k <= benchColumns; ++k)
        s.binCounts(k) = std::max<Integer>(s.binCounts(k), 1);
    s.ballsLeft = 125; // the remaining-balls line is printed too
    return s;
}

void BM_PlotKV(benchmark::State& state, QSize size, qreal dpr) {
    ImageSurface area;
    area.setGeometry(size, dpr);
    BoardState s = fullBoard(area);
    for (auto _ : state) {
        plotKV(s, area, settings, withTheory);
        // The window finishes the picture before it copies it to the screen.
        benchmark::DoNotOptimize(area.image().constBits());
    }
}
BENCHMARK_CAPTURE(BM_PlotKV, startup_232x351_dpr1, startUpArea, 1.0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PlotKV, area_1920x1080_dpr1, fullHdSize, 1.0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PlotKV, area_1920x1080_dpr2, fullHdSize, 2.0)->Unit(benchmark::kMicrosecond);

// 250 balls through 31 rows: 7,750 steps, without the redraw.
void BM_Fastsim(benchmark::State& state) {
    ImageSurface area;
    area.setGeometry(startUpArea, 1.0);
    BoardState s = fullBoard(area);
    Mt19937Source random;
    for (auto _ : state) {
        fastsim(s, random, settings, area.scaleWidth());
        benchmark::DoNotOptimize(s.binCounts(1));
    }
    state.counters["steps"] = mostBalls * (benchColumns - 1);
}
BENCHMARK(BM_Fastsim)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace kug::bench
