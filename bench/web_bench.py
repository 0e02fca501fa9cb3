#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The web page's figures in each browser engine, as a table of targets.

    web_bench.py PAGE_DIR RESULTS_DIR [--quick] [--engine E]...

- size: kuglovica.html, the one file of the page, before compression
  (gzip's figure beside it);
- page ready from disk: from the start of the navigation to file://...
  (performance.now()'s origin) to the frame after the board's first paint,
  over fresh loads (the file read, its WebAssembly decoded, compiled and
  started each time);
- tick rate at speed 100: an animated run of 250 balls on 32 and on 2
  columns; the ticks the page delivered between two animation frames at
  least TICK_SECONDS apart, divided by the frames' time apart;
- paints: the most paints in one animation frame over those runs, and paints
  outside a frame (none may happen);
- processor: over the same runs, the processor time of all the browser's
  processes (driver, browser, renderer, GPU and the rest; WebKitGTK's display
  too) per second of the run.

Each figure is the median of the repetitions, per engine (Chromium, Firefox
ESR, WebKitGTK, or those named with --engine). Uses the page driver of the
web tests (tests/web/web_cases.py and browsers.py), so it needs
/usr/bin/python3 with Debian's python3-selenium and python3-websockets and the
browsers and drivers. Writes web.json and web_table.md to RESULTS_DIR; exits
1 when a target is missed.
"""

import argparse
import gzip
import json
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from browsers import ENGINES  # noqa: E402
from web_cases import IDLE, Page, set_up_run  # noqa: E402  (the web tests' page driver)
from run_bench import markdown_table  # noqa: E402

LOADS = 5
TICK_SECONDS = 5.0
TICK_REPETITIONS = 3
TICK_COLUMNS = [32, 2]
READY_MS = 300
SIZE_BYTES = 200 * 1000
PAGE = "kuglovica.html"


def page_ready(page, engine, loads):
    """Milliseconds from navigation to the frame after the first paint, per load."""
    figures = []
    Page.engine = engine
    with Page(page, from_disk=True) as p:
        for _ in range(loads):
            p.load()
            figures.append(p.js("return [kugStats.startMs, kugStats.firstPaintMs, kugStats.firstShownMs]"))
    return figures


def tree_cpu_s(root):
    """Processor time in seconds of the processes below `root` (not itself), from /proc."""
    parent, cpu = {}, {}
    for name in os.listdir("/proc"):
        if not name.isdigit():
            continue
        try:
            with open(f"/proc/{name}/stat", encoding="utf-8") as f:
                stat = f.read()
        except OSError:
            continue
        fields = stat[stat.rindex(")") + 2:].split()
        parent[int(name)] = int(fields[1])
        cpu[int(name)] = int(fields[11]) + int(fields[12])

    def below(pid):
        while pid in parent and pid != root:
            pid = parent[pid]
        return pid == root

    ticks = sum(t for pid, t in cpu.items() if pid != root and below(pid))
    return ticks / os.sysconf("SC_CLK_TCK")


def tick_run(page, engine, columns, seconds):
    """One animated run at speed 100: ticks a second, frames a second, paints,
    and the processor time of the browser's processes (all this benchmark's
    children: the driver, the browser and, for WebKitGTK, its display)."""
    Page.engine = engine
    with Page(page) as p:
        set_up_run(p, columns=columns, balls=250, speed=100, start=True)
        p.wait(lambda: p.ticks() > 0, "the first tick")
        cpu_before, wall_before = tree_cpu_s(os.getpid()), time.monotonic()
        # Two samples taken in animation frames, `seconds` apart.
        first, last = p.browser.js_await(
            "const span = arguments[0] * 1000, frame = () => new Promise(requestAnimationFrame);"
            "const sample = (t) => [t, kugStats.ticks(), kugStats.frames, kugStats.paints];"
            "const t0 = await frame(), a = sample(t0); let t = t0;"
            "while (t - t0 < span) t = await frame();"
            "return [a, sample(t)];", seconds)
        cpu = (tree_cpu_s(os.getpid()) - cpu_before) / (time.monotonic() - wall_before)
        stats = p.js("return [kugStats.maxPaintsPerFrame, kugStats.paintsOutsideFrames]")
        still_running = p.row() != IDLE
    span = (last[0] - first[0]) / 1000
    return {"columns": columns, "seconds": span, "ticks_per_s": (last[1] - first[1]) / span,
            "frames_per_s": (last[2] - first[2]) / span, "paints_per_s": (last[3] - first[3]) / span,
            "max_paints_per_frame": stats[0], "paints_outside_frames": stats[1],
            "cpu_percent": 100 * cpu, "ran_throughout": still_running}


def engine_rows(engine, ready, runs):
    rows = []
    shown = statistics.median(r[2] for r in ready)
    rows.append((f"{engine}: page ready from disk with the board drawn ({len(ready)} loads; worst "
                 f"{max(r[2] for r in ready):.0f} ms; runtime up at {statistics.median(r[0] for r in ready):.0f}, "
                 f"first paint {statistics.median(r[1] for r in ready):.0f})",
                 f"≤ {READY_MS} ms", f"{shown:.0f} ms", f"{shown / READY_MS:.2f}",
                 "yes" if shown <= READY_MS else "NO"))
    for columns, reps in runs.items():
        rate = statistics.median(r["ticks_per_s"] for r in reps)
        frames = statistics.median(r["frames_per_s"] for r in reps)
        throughout = all(r["ran_throughout"] for r in reps)
        rows.append((f"{engine}: tick rate at speed 100, {columns} columns ({reps[0]['seconds']:.1f} s, "
                     f"{frames:.1f} frames/s{'' if throughout else ', run ended early'})",
                     "≥ 990.0/s", f"{rate:.1f}/s", f"{rate / 990:.3f}",
                     "yes" if rate >= 990 and throughout else "NO"))
    for columns, reps in runs.items():
        cpu = statistics.median(r["cpu_percent"] for r in reps)
        rows.append((f"{engine}: processor of the browser's processes at speed 100, {columns} columns",
                     "(report)", f"{cpu:.1f} % of a core", "", ""))
    most = max(r["max_paints_per_frame"] for reps in runs.values() for r in reps)
    outside = sum(r["paints_outside_frames"] for reps in runs.values() for r in reps)
    paints = statistics.median(r["paints_per_s"] for reps in runs.values() for r in reps)
    rows.append((f"{engine}: paints per frame at speed 100 ({paints:.1f} paints/s; outside frames: {outside})",
                 "≤ 1", f"{most}", f"{most:.2f}", "yes" if most <= 1 and outside == 0 else "NO"))
    return rows


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("page")
    parser.add_argument("results")
    parser.add_argument("--quick", action="store_true")
    parser.add_argument("--engine", action="append", choices=ENGINES)
    args = parser.parse_args()
    os.makedirs(args.results, exist_ok=True)
    t0 = time.monotonic()
    load_before = os.getloadavg()[0]

    with open(os.path.join(args.page, PAGE), "rb") as f:
        data = f.read()
    size, gzipped = len(data), len(gzip.compress(data, 9))
    rows = [(f"{PAGE} before compression (gzip -9: {gzipped} bytes)", f"≤ {SIZE_BYTES} bytes",
             f"{size} bytes", f"{size / SIZE_BYTES:.2f}", "yes" if size <= SIZE_BYTES else "NO")]
    figures = {"size": size, "gzipped": gzipped, "engines": {}}
    for engine in args.engine or ENGINES:
        ready = page_ready(args.page, engine, 3 if args.quick else LOADS)
        runs = {c: [tick_run(args.page, engine, c, 2.0 if args.quick else TICK_SECONDS)
                    for _ in range(1 if args.quick else TICK_REPETITIONS)] for c in TICK_COLUMNS}
        rows += engine_rows(engine, ready, runs)
        figures["engines"][engine] = {"ready": ready, "runs": runs}
    load_after = os.getloadavg()[0]

    table = markdown_table(rows)
    print(table)
    print(f"\nweb page; load average (1 min) before {load_before:.2f}, "
          f"after {load_after:.2f}; took {time.monotonic() - t0:.0f} s")
    with open(os.path.join(args.results, "web.json"), "w", encoding="utf-8") as f:
        json.dump(figures, f, indent=1)
    with open(os.path.join(args.results, "web_table.md"), "w", encoding="utf-8") as f:
        f.write(table + "\n")
    return 0 if all(r[4] != "NO" for r in rows) else 1


if __name__ == "__main__":
    sys.exit(main())
