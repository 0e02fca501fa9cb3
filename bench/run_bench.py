#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs every benchmark of Kuglovica and prints the table of targets.

Called by scripts/bench.sh after the Release build, with DISPLAY set to an
Xvfb screen of 1920 x 1080. Usage: run_bench.py BENCH_BIN_DIR RESULTS_DIR
[--quick]. Every figure is the median of repeated measurements; the raw
results go to RESULTS_DIR (micro.json, tick_rate.jsonl, cpu_*.jsonl, startup.jsonl,
session.jsonl, table.md).
"""

import json
import os
import statistics
import subprocess
import sys
import time

REPETITIONS = 3  # micro-benchmarks
STARTUPS = 5
TICK_SECONDS = 3.0
TICK_REPETITIONS = 3
SPEEDS = [1, 50, 90, 99, 100]
# 32 columns: the longest way per ball; 2: a landing, with its board drawn
# again, every 35 ticks.
TICK_COLUMNS = [32, 2]
CPU_SECONDS = 5.0  # the processor time of an animated run at speed 100
CPU_REPETITIONS = 3


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
           "--columns", ",".join(str(c) for c in TICK_COLUMNS)]
    lines = json_lines(run(cmd, env=xcb_env(), out=os.path.join(results, "tick_rate.jsonl")))
    rates = {}
    for columns in TICK_COLUMNS:
        for speed in SPEEDS:
            rows = [r for r in lines if r.get("kind") == "tick_rate" and r["speed"] == speed
                    and r["columns"] == columns]
            rates[columns, speed] = (statistics.median(r["rate"] for r in rows),
                                     rows[0]["nominal"], min(r["seconds"] for r in rows),
                                     max(r["longest_gap_ms"] for r in rows))
    rss = [r["value"] for r in lines if r.get("kind") == "peak_rss_kb"]
    return rates, rss


# How the window's ticks reach the screen, for the processor rows: this
# build's (the clock woken once a frame, a repaint after each wake-up).
MODES = {
    "frames": {},
}


def cpu_load(bin_dir, results, quick, mode):
    """An animated run at speed 100 on each column count, in one of MODES: per
    second, the processor time of the program and of the X server, the
    repaints, the event loop's wake-ups and the voluntary context switches."""
    env = xcb_env()
    env.update(MODES[mode])
    name = "cpu_" + mode.replace(" ", "_") + ".jsonl"
    cmd = [os.path.join(bin_dir, "kug_tick_rate"),
           "--seconds", str(2.0 if quick else CPU_SECONDS),
           "--repetitions", str(1 if quick else CPU_REPETITIONS),
           "--speeds", "100", "--columns", ",".join(str(c) for c in TICK_COLUMNS)]
    lines = json_lines(run(cmd, env=env, out=os.path.join(results, name)))
    loads = {}
    for columns in TICK_COLUMNS:
        rows = [r for r in lines if r.get("kind") == "tick_rate" and r["columns"] == columns]
        # the run whose program and X server together took the median share
        rows.sort(key=lambda r: (r["cpu_ms"] + r["server_cpu_ms"]) / r["seconds"])
        r = rows[len(rows) // 2]
        seconds = r["seconds"]
        loads[columns] = {"program": 100 * r["cpu_ms"] / 1000 / seconds,
                          "server": 100 * r["server_cpu_ms"] / 1000 / seconds,
                          "paints": r["paints"] / seconds, "refresh": r["refresh_hz"],
                          "wake_ups": r["wake_ups"] / seconds, "switches": r["switches"] / seconds,
                          "rate": r["rate"]}
    return loads


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
    bin_dir, results = sys.argv[1], sys.argv[2]
    quick = "--quick" in sys.argv
    os.makedirs(results, exist_ok=True)
    t0 = time.monotonic()
    load_before = os.getloadavg()[0]
    # The program's own costs: the drawing, the simulation, and the window's
    # ticks with their repaints into the window's backing store (offscreen).
    m = micro(bin_dir, results, quick, "offscreen", ".", "micro.json")
    # The same ticks on X11, where the repaint also travels to the X server.
    x11 = micro(bin_dir, results, quick, "xcb", "Tick", "micro_x11.json")
    rates, rss = tick_rates(bin_dir, results, quick)
    loads = {mode: cpu_load(bin_dir, results, quick, mode) for mode in MODES}
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

    for columns in TICK_COLUMNS:
        for speed in SPEEDS:
            rate, nominal, seconds, gap = rates[columns, speed]
            need = 0.99 * nominal
            ratio = rate / need
            rows.append((f"tick rate, {columns} columns, speed {speed} ({seconds:.1f} s, "
                         f"longest gap between wake-ups {gap:.1f} ms)",
                         f"≥ {need:.1f}/s", f"{rate:.1f}/s", f"{ratio:.3f}",
                         "yes" if ratio >= 1 else "NO"))
    for columns in TICK_COLUMNS:
        now = loads["frames"][columns]

        def others(figure):
            """The same figure in the other modes."""
            return "; ".join(f"{mode}: {figure(loads[mode][columns])}" for mode in MODES
                             if mode != "frames")

        def share(load):
            return (f"{load['program'] + load['server']:.1f} % "
                    f"({load['program']:.1f} + {load['server']:.1f})")

        def per_second(key):
            return lambda load: f"{load[key]:.0f}/s"

        total = now["program"] + now["server"]
        rows.append((f"processor, program + X server, speed 100, {columns} columns",
                     "≤ 3.0 % of a core", f"{share(now)}; {others(share)}", f"{total / 3:.2f}",
                     "yes" if total <= 3 else "NO"))
        refresh = now["refresh"]
        low, high = 0.95 * refresh, 1.1 * refresh
        rows.append((f"repaints a second, speed 100, {columns} columns",
                     f"{low:.0f} to {high:.0f}/s (refresh {refresh:.0f} Hz − 5 % to + 10 %)",
                     f"{now['paints']:.1f}/s; {others(per_second('paints'))}",
                     f"{now['paints'] / refresh:.2f}",
                     "yes" if low <= now["paints"] <= high else "NO"))
        rows.append((f"wake-ups of all threads (voluntary context switches), speed 100, "
                     f"{columns} columns", "≤ 250/s",
                     f"{now['switches']:.0f}/s; {others(per_second('switches'))}",
                     f"{now['switches'] / 250:.2f}", "yes" if now["switches"] <= 250 else "NO"))
        rows.append((f"event loop wake-ups, main thread, speed 100, {columns} columns",
                     f"≤ {high:.0f}/s (one a frame + 10 %)",
                     f"{now['wake_ups']:.1f}/s, {now['wake_ups'] / max(now['paints'], 1):.2f} "
                     f"a repaint; {others(per_second('wake_ups'))}",
                     f"{now['wake_ups'] / high:.2f}", "yes" if now["wake_ups"] <= high else "NO"))
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
