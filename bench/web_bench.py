#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The web page's figures, in headless Chromium, as a table of targets.

    web_bench.py PAGE_DIR RESULTS_DIR [--quick]

- page ready: from the start of the navigation (performance.now()'s origin)
  to the frame after the board's first paint, over fresh loads with the
  browser's cache off (everything fetched, compiled and started each time);
- size: kuglovica.wasm, emscripten's loader kuglovica.js and the page's view
  view.js, before compression (gzip's figure beside it);
- tick rate at speed 100: an animated run of 250 balls on 32 and on 2
  columns; the ticks the page delivered between two animation frames at
  least TICK_SECONDS apart, divided by the frames' time apart;
- paints: the most paints in one animation frame over those runs, and paints
  outside a frame (none may happen);
- processor: over the same runs, the processor time of all of Chromium's
  processes (browser, renderer, GPU and the rest) per second of the run.

Each figure is the median of the repetitions. Uses the page driver of the web
tests (tests/web/web_cases.py), so it needs /usr/bin/python3 with Debian's
python3-selenium, chromium and chromium-driver. Writes web.json and
web_table.md to RESULTS_DIR; exits 1 when a target is missed.
"""

import gzip
import json
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from web_cases import IDLE, Page, set_up_run  # noqa: E402  (the web tests' page driver)
from run_bench import markdown_table  # noqa: E402

LOADS = 7
TICK_SECONDS = 5.0
TICK_REPETITIONS = 3
TICK_COLUMNS = [32, 2]
READY_MS = 300
SIZE_BYTES = 300 * 1000
CODE_FILES = ["kuglovica.wasm", "kuglovica.js", "view.js"]


def page_ready(page_dir, loads):
    """Milliseconds from navigation to the frame after the first paint, per load."""
    figures = []
    with Page(page_dir) as p:
        p.driver.execute_cdp_cmd("Network.enable", {})
        p.driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": True})
        for _ in range(loads):
            p.driver.get(p.url)
            p.wait(lambda: p.js("return document.documentElement.dataset.ready === 'true'"),
                   "the page's first paint")
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


def tick_run(page_dir, columns, seconds):
    """One animated run at speed 100: ticks a second, frames a second, paints,
    and the browser's processor time."""
    with Page(page_dir) as p:
        set_up_run(p, columns=columns, balls=250, speed=100, start=True)
        p.wait(lambda: p.ticks() > 0, "the first tick")
        driver_pid = p.driver.service.process.pid
        cpu_before, wall_before = tree_cpu_s(driver_pid), time.monotonic()
        # Two samples taken in animation frames, `seconds` apart.
        first, last = p.driver.execute_async_script(
            "const done = arguments[arguments.length - 1], span = arguments[0] * 1000;"
            "const sample = (t) => [t, kugStats.ticks(), kugStats.frames, kugStats.paints];"
            "requestAnimationFrame((t0) => { const a = sample(t0);"
            "  const next = (t) => (t - t0 >= span ? done([a, sample(t)]) : requestAnimationFrame(next));"
            "  requestAnimationFrame(next); });", seconds)
        cpu = (tree_cpu_s(driver_pid) - cpu_before) / (time.monotonic() - wall_before)
        stats = p.js("return [kugStats.maxPaintsPerFrame, kugStats.paintsOutsideFrames]")
        still_running = p.row() != IDLE
    span = (last[0] - first[0]) / 1000
    return {"columns": columns, "seconds": span, "ticks_per_s": (last[1] - first[1]) / span,
            "frames_per_s": (last[2] - first[2]) / span, "paints_per_s": (last[3] - first[3]) / span,
            "max_paints_per_frame": stats[0], "paints_outside_frames": stats[1],
            "cpu_percent": 100 * cpu, "ran_throughout": still_running}


def main():
    page_dir, results = sys.argv[1], sys.argv[2]
    quick = "--quick" in sys.argv
    os.makedirs(results, exist_ok=True)
    t0 = time.monotonic()
    load_before = os.getloadavg()[0]

    sizes = {name: os.path.getsize(os.path.join(page_dir, name)) for name in CODE_FILES}
    gzipped = sum(len(gzip.compress(open(os.path.join(page_dir, n), "rb").read(), 9)) for n in CODE_FILES)
    ready = page_ready(page_dir, 3 if quick else LOADS)
    runs = {c: [tick_run(page_dir, c, 2.0 if quick else TICK_SECONDS)
                for _ in range(1 if quick else TICK_REPETITIONS)] for c in TICK_COLUMNS}
    load_after = os.getloadavg()[0]

    rows = []
    shown = statistics.median(r[2] for r in ready)
    rows.append((f"page ready with the board drawn ({len(ready)} loads, cache off; worst "
                 f"{max(r[2] for r in ready):.0f} ms; runtime up at {statistics.median(r[0] for r in ready):.0f}, "
                 f"first paint {statistics.median(r[1] for r in ready):.0f})",
                 f"≤ {READY_MS} ms", f"{shown:.0f} ms", f"{shown / READY_MS:.2f}",
                 "yes" if shown <= READY_MS else "NO"))
    total = sum(sizes.values())
    rows.append(("wasm + JS before compression (" + ", ".join(f"{n} {sizes[n]}" for n in CODE_FILES) +
                 f"; gzip -9: {gzipped} bytes)", f"≤ {SIZE_BYTES} bytes", f"{total} bytes",
                 f"{total / SIZE_BYTES:.2f}", "yes" if total <= SIZE_BYTES else "NO"))
    for columns, reps in runs.items():
        rate = statistics.median(r["ticks_per_s"] for r in reps)
        frames = statistics.median(r["frames_per_s"] for r in reps)
        throughout = all(r["ran_throughout"] for r in reps)
        rows.append((f"tick rate at speed 100, {columns} columns ({reps[0]['seconds']:.1f} s, "
                     f"{frames:.1f} frames/s{'' if throughout else ', run ended early'})",
                     "≥ 990.0/s", f"{rate:.1f}/s", f"{rate / 990:.3f}",
                     "yes" if rate >= 990 and throughout else "NO"))
    for columns, reps in runs.items():
        cpu = statistics.median(r["cpu_percent"] for r in reps)
        rows.append((f"processor of Chromium's processes at speed 100, {columns} columns",
                     "(report)", f"{cpu:.1f} % of a core", "", ""))
    most = max(r["max_paints_per_frame"] for reps in runs.values() for r in reps)
    outside = sum(r["paints_outside_frames"] for reps in runs.values() for r in reps)
    paints = statistics.median(r["paints_per_s"] for reps in runs.values() for r in reps)
    rows.append((f"paints per frame at speed 100 ({paints:.1f} paints/s; outside frames: {outside})",
                 "≤ 1", f"{most}", f"{most:.2f}", "yes" if most <= 1 and outside == 0 else "NO"))

    table = markdown_table(rows)
    print(table)
    print(f"\nweb page in headless Chromium; load average (1 min) before {load_before:.2f}, "
          f"after {load_after:.2f}; took {time.monotonic() - t0:.0f} s")
    with open(os.path.join(results, "web.json"), "w", encoding="utf-8") as f:
        json.dump({"sizes": sizes, "gzipped": gzipped, "ready": ready, "runs": runs}, f, indent=1)
    with open(os.path.join(results, "web_table.md"), "w", encoding="utf-8") as f:
        f.write(table + "\n")
    return 0 if all(r[4] != "NO" for r in rows) else 1


if __name__ == "__main__":
    sys.exit(main())
