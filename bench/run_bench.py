#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs every benchmark of Kuglovica's window and prints the table of targets.

Called by scripts/bench.sh after the Release build, with DISPLAY set to an
Xvfb screen of 1920 x 1080 and KUG_XSERVER_PID to its process. Usage:

    run_bench.py BENCH_BIN_DIR RESULTS_DIR [--quick] [--other-bin DIR]

The processor figures are ratios to the bare square (kug_bare_square), taken
in pairs on the one X server: the program's run at speed 100, then the bare
square's, PAIRS times on each column count, the column counts and (with
--other-bin, the benchmark programs of another build, measured against the
same bare square) the builds taking turns within each round. A target holds
when the median ratio is at or below it; the spread is the interquartile
range of the ratios. Every other figure is the median of its repetitions.
The raw results go to RESULTS_DIR (micro.json, micro_x11.json,
tick_rate.jsonl, pairs.jsonl, startup.jsonl, session.jsonl, table.md).
"""

import argparse
import json
import os
import statistics
import subprocess
import sys
import time

REPETITIONS = 3  # micro-benchmarks
STARTUPS = 5
TICK_SECONDS = 2.0
TICK_REPETITIONS = 3
# The tick rate at these speeds from runs of their own; at speed 100 from the pairs.
SPEEDS = [1, 10, 50]
# 32 columns: the longest way per ball; 2: a landing, with its board drawn
# again, every 35 ticks.
COLUMNS = [32, 2]
# The pairs: an animated run of 250 balls at speed 100, theory shown, and the
# bare square, each counted for PAIR_SECONDS from its first frame.
PAIRS = 5
PAIR_SECONDS = 5.0
# The most the program plus the X server may take, as a ratio to the bare square's.
RATIO_TARGET = 1.10


def run(cmd, env=None, out=None):
    """Runs cmd and returns its stdout; stderr (Qt's chatter) is dropped."""
    start = time.monotonic()
    result = subprocess.run(cmd, env=env, check=True, text=True,
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    if os.environ.get("KUG_BENCH_VERBOSE"):
        print(f"{time.monotonic() - start:6.1f} s  {' '.join(cmd)}", file=sys.stderr)
    if out:
        with open(out, "w", encoding="utf-8") as f:
            f.write(result.stdout)
    return result.stdout


def json_lines(text):
    return [json.loads(line) for line in text.splitlines() if line.startswith("{")]


def platform_env(platform):
    env = dict(os.environ)
    env["QT_QPA_PLATFORM"] = platform
    return env


def xcb_env():
    return platform_env("xcb")


def micro(bin_dir, results, quick, platform, pattern, name):
    """Google Benchmark run; returns {benchmark: (real µs, cpu µs)} of the medians."""
    path = os.path.join(results, name)
    cmd = [os.path.join(bin_dir, "kug_bench"),
           f"--benchmark_filter={pattern}",
           f"--benchmark_repetitions={2 if quick else REPETITIONS}",
           "--benchmark_report_aggregates_only=true",
           f"--benchmark_min_time={0.05 if quick else 0.1}",
           f"--benchmark_out={path}", "--benchmark_out_format=json"]
    run(cmd, env=platform_env(platform))
    with open(path, encoding="utf-8") as f:
        data = json.load(f)
    medians = {}
    for b in data["benchmarks"]:
        if b.get("aggregate_name") == "median":
            name = b["run_name"]
            scale = {"us": 1.0, "ms": 1000.0, "ns": 0.001}[b["time_unit"]]
            medians[name] = (b["real_time"] * scale, b["cpu_time"] * scale)
    return medians


def tick_rates(bin_dir, results, quick):
    cmd = [os.path.join(bin_dir, "kug_tick_rate"),
           "--seconds", str(1.0 if quick else TICK_SECONDS),
           "--repetitions", str(1 if quick else TICK_REPETITIONS),
           "--speeds", ",".join(str(s) for s in SPEEDS),
           "--columns", ",".join(str(c) for c in COLUMNS)]
    lines = json_lines(run(cmd, env=xcb_env(), out=os.path.join(results, "tick_rate.jsonl")))
    rates = {}
    for columns in COLUMNS:
        for speed in SPEEDS:
            rows = [r for r in lines if r.get("kind") == "tick_rate" and r["speed"] == speed
                    and r["columns"] == columns]
            rates[columns, speed] = (statistics.median(r["rate"] for r in rows),
                                     rows[0]["nominal"], min(r["seconds"] for r in rows),
                                     max(r["longest_gap_ms"] for r in rows))
    rss = [r["value"] for r in lines if r.get("kind") == "peak_rss_kb"]
    return rates, rss


def share(r):
    """Processor time a second, in % of a core: the program (or the bare
    square) plus the X server, and each alone."""
    program = 100 * r["cpu_ms"] / 1000 / r["seconds"]
    server = 100 * max(r["server_cpu_ms"], 0) / 1000 / r["seconds"]
    return program + server, program, server


def program_run(bin_dir, columns, seconds):
    """The window's animated run of 250 balls at speed 100, theory shown."""
    cmd = [os.path.join(bin_dir, "kug_tick_rate"), "--seconds", str(seconds), "--repetitions", "1",
           "--speeds", "100", "--columns", str(columns)]
    return next(r for r in json_lines(run(cmd, env=xcb_env())) if r.get("kind") == "tick_rate")


def bare_run(bin_dir, seconds):
    cmd = [os.path.join(bin_dir, "kug_bare_square"), "--seconds", str(seconds)]
    return next(r for r in json_lines(run(cmd, env=xcb_env())) if r.get("kind") == "bare_square")


def pairs(builds, results, quick):
    """PAIRS rounds (2 when quick); in each, for every column count and every
    build in turn, the program's run and then the bare square's (always this
    build's). Returns {build: {columns: [(program, bare), ...]}}."""
    seconds = 2.0 if quick else PAIR_SECONDS
    found = {label: {c: [] for c in COLUMNS} for label, _ in builds}
    bare_dir = builds[0][1]
    with open(os.path.join(results, "pairs.jsonl"), "w", encoding="utf-8") as log:
        for round_ in range(2 if quick else PAIRS):
            for columns in COLUMNS:
                for label, bin_dir in builds:
                    program = program_run(bin_dir, columns, seconds)
                    bare = bare_run(bare_dir, seconds)
                    found[label][columns].append((program, bare))
                    log.write(json.dumps({"round": round_, "build": label, "bin": bin_dir,
                                          "program": program, "bare": bare}) + "\n")
    return found


def spread(values):
    """Median, first and third quartile."""
    if len(values) < 2:
        return values[0], values[0], values[0]
    q1, median, q3 = statistics.quantiles(values, n=4, method="inclusive")
    return median, q1, q3


def ratio_text(ratios):
    median, q1, q3 = spread(ratios)
    return f"{median:.2f} (IQR {q1:.2f}–{q3:.2f}, {len(ratios)} pairs)"


def pair_rows(label, columns, found, judge):
    """The processor figure as shares of a core and as ratios to the bare
    square, and the frames, wake-ups and context switches beside the bare
    square's; targets only for this build (`judge`)."""
    programs = [p for p, _ in found]
    bares = [b for _, b in found]
    ratios = [share(p)[0] / share(b)[0] for p, b in found]
    ratio = spread(ratios)[0]

    def shares(runs):
        totals = [share(r) for r in runs]
        return (f"{statistics.median(t[0] for t in totals):.2f} % "
                f"({statistics.median(t[1] for t in totals):.2f} + "
                f"{statistics.median(t[2] for t in totals):.2f})")

    def per_second(runs, key):
        return statistics.median(r[key] / r["seconds"] for r in runs)

    rows = []
    who = f"{label}: " if label else ""
    rows.append((f"{who}processor, program + X server, speed 100, {columns} columns, "
                 "to the bare square's", f"≤ {RATIO_TARGET:.2f} ×" if judge else "(report)",
                 f"{shares(programs)}; bare square {shares(bares)}", ratio_text(ratios),
                 ("yes" if ratio <= RATIO_TARGET else "NO") if judge else ""))
    refresh = programs[0]["refresh_hz"]
    low, high = 0.95 * refresh, 1.1 * refresh
    paints = per_second(programs, "paints")
    rows.append((f"{who}repaints a second, speed 100, {columns} columns",
                 f"{low:.0f} to {high:.0f}/s (refresh {refresh:.0f} Hz − 5 % to + 10 %)"
                 if judge else "(report)",
                 f"{paints:.1f}/s; bare square {per_second(bares, 'paints'):.1f}/s",
                 f"{paints / refresh:.2f}", ("yes" if low <= paints <= high else "NO") if judge else ""))
    wake_ups = per_second(programs, "wake_ups")
    rows.append((f"{who}event loop wake-ups, main thread, speed 100, {columns} columns",
                 f"≤ {high:.0f}/s (one a frame + 10 %)" if judge else "(report)",
                 f"{wake_ups:.1f}/s, {wake_ups / max(paints, 1):.2f} a repaint; "
                 f"bare square {per_second(bares, 'wake_ups'):.1f}/s",
                 f"{wake_ups / high:.2f}", ("yes" if wake_ups <= high else "NO") if judge else ""))
    switches = per_second(programs, "switches")
    rows.append((f"{who}wake-ups of all threads (voluntary context switches), speed 100, "
                 f"{columns} columns", "≤ 250/s" if judge else "(report)",
                 f"{switches:.0f}/s; bare square {per_second(bares, 'switches'):.0f}/s",
                 f"{switches / 250:.2f}", ("yes" if switches <= 250 else "NO") if judge else ""))
    return rows


def startups(bin_dir, results, quick):
    exe = os.path.join(bin_dir, "kug_startup")
    lines = []
    for _ in range(2 if quick else STARTUPS):
        env = xcb_env()
        env["KUG_LAUNCH_NS"] = str(time.monotonic_ns())
        lines += json_lines(run([exe], env=env))
    with open(os.path.join(results, "startup.jsonl"), "w", encoding="utf-8") as f:
        f.write("".join(json.dumps(r) + "\n" for r in lines))
    session = json_lines(run([exe, "--session"], env=xcb_env(),
                             out=os.path.join(results, "session.jsonl")))
    return statistics.median(r["ms"] for r in lines), session


def fmt(v, unit):
    if unit == "us" and v >= 1000:
        return f"{v / 1000:.2f} ms"
    if unit == "us":
        return f"{v:.1f} µs"
    return f"{v:.3g} {unit}"


def markdown_table(rows):
    """The figures as a Markdown table: figure, target, measured, ratio, met."""
    header = ("Figure", "Target", "Measured (median)", "Ratio", "Met")
    widths = [max(len(str(r[i])) for r in rows + [header]) for i in range(5)]
    lines = ["| " + " | ".join(str(c).ljust(widths[i]) for i, c in enumerate(r)) + " |"
             for r in [header, tuple("-" * w for w in widths)] + rows]
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("bin_dir")
    parser.add_argument("results")
    parser.add_argument("--quick", action="store_true")
    parser.add_argument("--other-bin", help="another build's benchmark programs, measured "
                        "against the same bare square")
    args = parser.parse_args()
    bin_dir, results, quick = args.bin_dir, args.results, args.quick
    os.makedirs(results, exist_ok=True)
    t0 = time.monotonic()
    load_before = os.getloadavg()[0]
    # The program's own costs: the drawing, the simulation, and the window's
    # ticks with their repaints into the window's backing store (offscreen).
    m = micro(bin_dir, results, quick, "offscreen", ".", "micro.json")
    # The same ticks on X11, where the repaint also travels to the X server.
    x11 = micro(bin_dir, results, quick, "xcb", "Tick", "micro_x11.json")
    rates, rss = tick_rates(bin_dir, results, quick)
    builds = [("", bin_dir)] + ([("other build", args.other_bin)] if args.other_bin else [])
    found = pairs(builds, results, quick)
    startup_ms, session = startups(bin_dir, results, quick)
    load_after = os.getloadavg()[0]

    rows = []  # figure, target text, measured text, ratio, met

    def cost(label, name, target_us):
        if name not in m:
            rows.append((label, f"≤ {fmt(target_us, 'us')}", "not run", "", "?"))
            return
        real, cpu = m[name]
        ratio = real / target_us
        rows.append((label, f"≤ {fmt(target_us, 'us')}",
                     f"{fmt(real, 'us')} (cpu {fmt(cpu, 'us')})", f"{ratio:.2f}",
                     "yes" if ratio <= 1 else "NO"))

    def info(label, name, source=None):
        source = m if source is None else source
        if name in source:
            real, cpu = source[name]
            rows.append((label, "(report)", f"{fmt(real, 'us')} (cpu {fmt(cpu, 'us')})", "", ""))

    def tick_rate(columns, speed, rate, nominal, seconds, gap):
        need = 0.99 * nominal
        ratio = rate / need
        rows.append((f"tick rate, {columns} columns, speed {speed} ({seconds:.1f} s, "
                     f"longest gap between wake-ups {gap:.1f} ms)",
                     f"≥ {need:.1f}/s", f"{rate:.1f}/s", f"{ratio:.3f}",
                     "yes" if ratio >= 1 else "NO"))

    for columns in COLUMNS:
        for speed in SPEEDS:
            tick_rate(columns, speed, *rates[columns, speed])
        programs = [p for p, _ in found[""][columns]]
        tick_rate(columns, 100, statistics.median(r["rate"] for r in programs),
                  programs[0]["nominal"], min(r["seconds"] for r in programs),
                  max(r["longest_gap_ms"] for r in programs))
    bare = found[""][COLUMNS[0]][0][1]
    rows.append((f"bare square: {bare['width']} × {bare['height']} (the window's inner size), "
                 f"a 16-px square a frame", "(yardstick)",
                 f"{bare['frames'] / bare['seconds']:.1f} frames/s", "", ""))
    for label, _ in builds:
        for columns in COLUMNS:
            rows += pair_rows(label, columns, found[label][columns], judge=not label)
    cost("animated move tick + repaint, start-up size", "BM_AnimatedMoveTick/startup", 20)
    cost("animated move tick + repaint, 1920×1080", "BM_AnimatedMoveTick/window_1920x1080", 20)
    info("animated tick, mean over whole balls, start-up size", "BM_AnimatedMeanTick/startup")
    info("animated tick, mean over whole balls, 1920×1080",
         "BM_AnimatedMeanTick/window_1920x1080")
    info("landing tick (plotKV + full repaint), start-up size", "BM_AnimatedLandingTick/startup")
    info("landing tick (plotKV + full repaint), 1920×1080",
         "BM_AnimatedLandingTick/window_1920x1080")
    cost("plotKV, 32 columns, start-up area 232×351", "BM_PlotKV/startup_232x351_dpr1", 200)
    cost("plotKV, 32 columns, area 1920×1080, dpr 1", "BM_PlotKV/area_1920x1080_dpr1", 2000)
    info("plotKV, 32 columns, area 1920×1080, dpr 2", "BM_PlotKV/area_1920x1080_dpr2")
    cost("fastsim, 250 balls, 32 columns", "BM_Fastsim", 50)
    cost("FastTimmy tick + redraw, start-up size", "BM_FastTimmyTick/startup", 2000)
    cost("FastTimmy tick + redraw, 1920×1080", "BM_FastTimmyTick/window_1920x1080", 2000)
    for name in sorted(x11):
        info(f"on X11 (Xvfb): {name.removeprefix('BM_')}", name, x11)
    ratio = startup_ms / 200
    rows.append(("start-up to first painted frame", "≤ 200 ms", f"{startup_ms:.1f} ms",
                 f"{ratio:.2f}", "yes" if ratio <= 1 else "NO"))
    peak_kb = max(rss + [r["value"] for r in session if r.get("kind") == "peak_rss_kb"])
    ratio = peak_kb / 1024 / 60
    rows.append(("peak resident memory", "≤ 60 MB", f"{peak_kb / 1024:.1f} MB",
                 f"{ratio:.2f}", "yes" if ratio <= 1 else "NO"))
    for r in session:
        if r.get("kind") != "idle":
            continue
        quiet = (r["wake_ups"] == 0 and r["timer_events"] == 0 and r["registered_timers"] == 0
                 and not r["timmy_on"] and not r["fast_timmy_on"])
        rows.append((f"idle second after {r['after']}",
                     "0 wake-ups, 0 timers",
                     f"{r['wake_ups']} wake-ups, {r['timer_events']} timer events, "
                     f"{r['registered_timers']} timers, cpu {r['cpu_us']:.0f} µs",
                     "", "yes" if quiet else "NO"))

    table = markdown_table(rows)
    print(table)
    realtime = os.sched_getscheduler(0) in (os.SCHED_FIFO, os.SCHED_RR)
    print(f"\npriority {'real-time' if realtime else 'normal'}; load average (1 min) before "
          f"{load_before:.2f}, after {load_after:.2f}; benchmarks took "
          f"{time.monotonic() - t0:.0f} s")
    with open(os.path.join(results, "table.md"), "w", encoding="utf-8") as f:
        f.write(table + "\n")
    return 0 if all(r[4] != "NO" for r in rows) else 1


if __name__ == "__main__":
    sys.exit(main())
