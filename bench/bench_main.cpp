// SPDX-License-Identifier: GPL-3.0-or-later
// Google Benchmark's main with a QApplication around it: the window
// benchmarks need the toolkit, the others run alongside unaffected.

#include "bench_window.h"

#include <QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    kug::bench::releaseSharedWindow();
    benchmark::Shutdown();
    return 0;
}
