// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the toolkit-free core through what a front end does with it and prints
// a digest of every result, one line per part. Built natively and with em++,
// the two must print the same lines: the same numbers read from texts, the
// same board drawn on a 232 x 351 area, the same histograms from the same
// random stream, the same pixels. scripts/check_wasm_core.sh compares them.
//
//   core_digest [TIES SHORT_TEXTS] [each]
//
// "each" prints every text's number value instead (bit pattern and text), to
// find the first that differs.

#include "digest.h"
#include "number_texts.h"
#include "recording_surface.h"

#include "app/frame_fit.h"
#include "app/tick_clock.h"
#include "render/pixel_raster.h"
#include "render/plot_kv.h"
#include "render/theory_fill.h"
#include "sim/animated_ball.h"
#include "sim/fast_sim.h"
#include "sim/random_source.h"
#include "sim/run_setup.h"
#include "state/board_state.h"
#include "state/number_text.h"
#include "state/parameter_rules.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace kug;
using check::Digest;
using test::Op;
using test::RecordingSurface;

namespace {

void digestOps(Digest& d, const RecordingSurface& area) {
    for (const Op& op : area.ops) {
        d.add(static_cast<int>(op.kind));
        for (float v : {op.a, op.b, op.c, op.d})
            d.add(v);
        d.add(static_cast<std::int64_t>(op.color));
        d.add(op.text);
    }
}

std::string bins(const IntArray& counts, int n) {
    std::string s;
    for (int k = 1; k <= n; ++k)
        s += ' ' + std::to_string(counts(k));
    return s;
}

void printBoard(const char* what, const BoardState& s, const RecordingSurface& area, int columns) {
    Digest d;
    digestOps(d, area);
    std::printf("%s: cellSize %d ballRadius %d barUnit %d bins%s theory%s; %zu ops %016" PRIx64
                "\n",
                what, s.cellSize, s.ballRadius, s.barUnit, bins(s.binCounts, columns).c_str(),
                bins(s.theoryCounts, columns).c_str(), area.ops.size(), d.value());
}

void numbers(const std::vector<std::string>& texts, bool each) {
    Digest textsDigest, values;
    for (const std::string& t : texts) {
        const double v = numberValue(t);
        textsDigest.add(t);
        values.add(v);
        if (each)
            std::printf("%016" PRIx64 " %s\n", check::bitsOf(v), t.c_str());
    }
    if (!each)
        std::printf("numbers: %zu texts %016" PRIx64 ", values %016" PRIx64 "\n", texts.size(),
                    textsDigest.value(), values.value());
}

// The recorded board in whole pixels at `scale` device pixels per pixel,
// with the pixel rules of the desktop's picture: centres and corners to the
// nearest pixel (ties the way the ball's rounding goes), axis-aligned lines
// short of their last pixel. Slanted lines and text are left out.
std::uint64_t rasterDigest(const RecordingSurface& area, int scale) {
    const int w = area.scaleWidth(), h = area.scaleHeight();
    std::vector<std::uint32_t> bits(static_cast<std::size_t>(w * scale) * (h * scale));
    const raster::Pixels px{bits.data(), w * scale, w * scale, h * scale};
    const bool tiesDown = raster::tiesDownFor(w);
    const auto pixel = [&](float v) { return raster::nearestPixel(v, tiesDown); };
    std::uint32_t fill = 0;
    for (const Op& op : area.ops) {
        const auto color = static_cast<std::uint32_t>(op.color);
        if (op.kind == Op::Cls) {
            raster::fillRect(px, scale, {0, 0, w - 1, h - 1}, 0xFFFFFFFF);
        } else if (op.kind == Op::FillColor) {
            fill = color;
        } else if (op.kind == Op::Circle) {
            raster::circle(px, scale, pixel(op.a), pixel(op.b), raster::nearestPixel(op.c), color,
                           fill);
        } else if (op.kind == Op::Box || op.kind == Op::Line) {
            int x1 = pixel(op.a), y1 = pixel(op.b), x2 = pixel(op.c), y2 = pixel(op.d);
            if (op.kind == Op::Line && x1 != x2 && y1 != y2)
                continue;
            if (op.kind == Op::Line) {
                x2 -= x2 > x1 ? 1 : x2 < x1 ? -1 : 0;
                y2 -= y2 > y1 ? 1 : y2 < y1 ? -1 : 0;
            }
            raster::fillRect(
                px, scale, {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)},
                color);
        }
    }
    Digest d;
    for (std::uint32_t b : bits)
        d.add(b, 4);
    return d.value();
}

// The parameters as typed into the fields, corrected as leaving them does.
Integer typed(const char* text, Integer lower, Integer upper) {
    return toInteger(numberValue(normaliseFieldText(text, {lower, upper})));
}

void board() {
    BoardState s;
    loadDefaults(s);
    RecordingSurface area(232, 351);
    RunSettings settings{s.minColumns, s.minBalls, s.minSpeed};
    theoryfill(s, settings);
    plotKV(s, area, settings, Switches{});
    s.maxBalls = maxBallsFor(s.cellSize);
    s.barUnit = barUnitFor(s.cellSize, settings.balls);
    std::printf("start-up: maxBalls %d\n", s.maxBalls);
    printBoard("start-up board", s, area, settings.columns);

    // A fast run of 250 balls on 10 columns with the theory shown, then an
    // animated run with the trail, continuing the same random stream.
    Mt19937Source random;
    settings.columns = typed("10", s.minColumns, s.maxColumns);
    settings.balls = typed("250", s.minBalls, s.maxBalls);
    Switches switches{.fast = true, .theory = true};
    area.ops.clear();
    freshRunSetup(s, area, settings, switches);
    fastsim(s, random, settings, area.scaleWidth());
    plotKV(s, area, settings, switches);
    printBoard("fast run", s, area, settings.columns);
    std::printf("fast-run pixels: %016" PRIx64 " (scale 1), %016" PRIx64 " (scale 2)\n",
                rasterDigest(area, 1), rasterDigest(area, 2));

    settings.columns = typed("7", s.minColumns, s.maxColumns);
    settings.balls = typed("40.5", s.minBalls, s.maxBalls);
    switches = Switches{.trail = true, .theory = true};
    area.ops.clear();
    freshRunSetup(s, area, settings, switches);
    long ticks = 1;
    while (ballTick(s, area, random, settings, switches) != TickOutcome::RunEnded &&
           ticks < 10'000'000)
        ++ticks;
    std::printf("animated run: %ld ticks\n", ticks);
    printBoard("animated run", s, area, settings.columns);
}

void frames() {
    std::vector<FramedControl> controls;
    for (int i = 0; i < 9; ++i)
        controls.push_back(
            {{10 + (i % 3) * 60, 20 + (i / 3) * 25, 50, 20}, {40 + i * 7, 14 + (i % 4) * 3}});
    const FrameFit fit = fitFrame(controls, {200, 110}, 24);
    Digest d;
    for (const Box& b : fit.placed)
        for (int v : {b.x, b.y, b.w, b.h})
            d.add(v);
    std::printf("frames: %dx%d %016" PRIx64 "\n", fit.size.w, fit.size.h, d.value());
}

// A clock woken at uneven times: the ticks each wake-up runs and the wake-up
// it asks for next.
struct ScriptedSource final : ClockSource {
    std::int64_t at = 0;
    std::int64_t wanted = -1;
    std::int64_t now() const override { return at; }
    void wakeAt(std::optional<std::int64_t> ns) override { wanted = ns.value_or(-1); }
};

void ticks() {
    ScriptedSource source;
    TickClock clock(source, [](Timer) {});
    clock.setFramePeriod(16'666'667);
    clock.setInterval(Timer::Timmy, 1);
    clock.setEnabled(Timer::Timmy, true);
    Digest d;
    for (int i = 0; i < 1000; ++i) {
        source.at += (i * 7919) % 30'000'000;
        d.add(clock.runDue());
        d.add(source.wanted);
    }
    std::printf("tick clock: %016" PRIx64 "\n", d.value());
}

} // namespace

int main(int argc, char** argv) {
    const bool each = argc > 1 && std::strcmp(argv[argc - 1], "each") == 0;
    const int counted = argc - (each ? 1 : 0);
    const int ties = counted > 2 ? std::atoi(argv[1]) : 2000;
    const int shortTexts = counted > 2 ? std::atoi(argv[2]) : 2000;
    numbers(check::numberTexts(ties, shortTexts), each);
    if (each)
        return 0;
    board();
    frames();
    ticks();
    return 0;
}
