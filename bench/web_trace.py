#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Where the page's processor time goes in Chromium: a performance trace.

    web_trace.py PAGE_DIR [--other DIR] [--seconds S] [--rounds N]

Headless Chromium (driven as the web tests drive it, tests/web) runs, one
after the other: the bare square (bare_square.html at the board's size), the
second reference (the page's markup with its board moving the same square,
as bench/web_bench.py makes it), and the page of PAGE_DIR (and of DIR) at
speed 100 with 250 balls on 32 and on 2 columns. Each is traced for S
seconds through the DevTools protocol (Tracing, over the browser's own
socket), and each thread's time (the trace's thread time) is put in one
part: on the renderer's main thread, script, style and layout, paint (the
lifecycle's paint and commit, and the canvas's copies) or the rest of its
tasks; the renderer's compositor thread and the GPU process's threads are
compositing; raster workers raster; the browser's own process apart. It
prints milliseconds of thread time a second, per part, the median of the
rounds. Absolute figures move with the machine's load; the parts' proportions
and the gaps between the runs of one round are what to read.

Run with /usr/bin/python3 (Debian's python3-selenium and python3-websockets).
"""

import argparse
import asyncio
import collections
import json
import os
import shutil
import statistics
import sys
import tempfile
import time
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "web"))
import websockets  # noqa: E402
from web_cases import Page, set_up_run  # noqa: E402

CATEGORIES = ["toplevel", "devtools.timeline", "disabled-by-default-devtools.timeline",
              "disabled-by-default-devtools.timeline.frame", "v8.execute"]
PARTS = ["script", "style and layout", "paint", "raster", "compositing", "main thread, other",
         "browser process", "other processes"]
# The renderer main thread's events by part; an event of no part is its
# parent's, and a task's own time the rest's.
MAIN = {
    "script": {"FunctionCall", "EvaluateScript", "FireAnimationFrame", "TimerFire", "RunMicrotasks",
               "v8.callFunction", "v8.run", "v8.compile", "v8.execute", "V8.Execute", "EventDispatch",
               "MajorGC", "MinorGC", "V8.GCScavenger", "v8.wasm.compileLazy"},
    "style and layout": {"UpdateLayoutTree", "Layout", "RecalculateStyles", "ParseAuthorStyleSheet",
                         "HitTest", "Document::UpdateStyleAndLayout",
                         "LocalFrameView::UpdateStyleAndLayout"},
    "paint": {"Paint", "PrePaint", "PaintImage", "UpdateLayer", "UpdateLayerTree", "Layerize", "Commit",
              "Canvas2DResourceProvider::WritePixels", "Canvas2DResourceProvider::ProduceCanvasResource",
              "LocalFrameView::RunPaintLifecyclePhase", "LocalFrameView::RunPrePaintLifecyclePhase",
              "LayerTreeHost::DoUpdateLayers"},
}
PART_OF = {name: part for part, names in MAIN.items() for name in names}
BOARD = (232, 351)  # the board's canvas at start-up, device pixels at a ratio of 1


async def traced(address, seconds):
    """A trace of every process of the browser over `seconds`, as JSON text."""
    url = json.load(urllib.request.urlopen("http://%s/json/version" % address))["webSocketDebuggerUrl"]
    async with websockets.connect(url, max_size=None) as socket:
        last = 0

        async def command(method, params=None):
            nonlocal last
            last += 1
            await socket.send(json.dumps({"id": last, "method": method, "params": params or {}}))
            while True:
                reply = json.loads(await socket.recv())
                if reply.get("id") == last:
                    return reply.get("result", {})

        await command("Tracing.start", {"transferMode": "ReturnAsStream",
                                        "traceConfig": {"includedCategories": CATEGORIES}})
        await asyncio.sleep(seconds)
        await socket.send(json.dumps({"id": 0, "method": "Tracing.end"}))
        while True:
            event = json.loads(await socket.recv())
            if event.get("method") == "Tracing.tracingComplete":
                stream = event["params"]["stream"]
                break
        chunks = []
        while True:
            read = await command("IO.read", {"handle": stream, "size": 1 << 20})
            chunks.append(read["data"])
            if read.get("eof"):
                break
        await command("IO.close", {"handle": stream})
        return "".join(chunks)


def part_of_thread(process, thread):
    if process == "Renderer":
        return {"CrRendererMain": "main", "Compositor": "compositing"}.get(
            thread, "raster" if thread and "CompositorTileWorker" in thread else "other processes")
    if process == "GPU Process":
        return "compositing"
    return "browser process" if process == "Browser" else "other processes"


def parts(text):
    """Milliseconds of thread time a second per part, and frames a second."""
    events = json.loads(text)
    events = events["traceEvents"] if isinstance(events, dict) else events
    threads, processes = {}, {}
    for e in events:
        if e.get("ph") == "M" and e["name"] == "thread_name":
            threads[(e["pid"], e["tid"])] = e["args"]["name"]
        elif e.get("ph") == "M" and e["name"] == "process_name":
            processes[e["pid"]] = e["args"]["name"]
    spans = [e for e in events if e.get("ph") == "X" and "dur" in e]
    seconds = (max(e["ts"] + e["dur"] for e in spans) - min(e["ts"] for e in spans)) / 1e6
    by_thread = collections.defaultdict(list)
    for e in spans:
        by_thread[(e["pid"], e["tid"])].append(e)
    out = collections.Counter()
    for key, thread_events in by_thread.items():
        process = processes.get(key[0], "")
        if "tracing" in process.lower():  # the trace's own service
            continue
        kind = part_of_thread(process, threads.get(key))
        thread_events.sort(key=lambda e: (e["ts"], -e["dur"]))
        stack = []  # [end, part, own time, children's time]

        def close():
            end, part, own, children = stack.pop()
            out[part] += max(own - children, 0)
            if stack:
                stack[-1][3] += own

        for e in thread_events:
            while stack and stack[-1][0] <= e["ts"]:
                close()
            part = kind
            if kind == "main":
                parent = stack[-1][1] if stack else None
                part = PART_OF.get(e["name"], parent or "main thread, other")
            stack.append([e["ts"] + e["dur"], part, e.get("tdur", e["dur"]), 0])
        while stack:
            close()
    frames = sum(1 for e in spans if e["name"] == "FireAnimationFrame")
    return {part: out[part] / 1000 / seconds for part in PARTS}, frames / seconds


def reference_page(site):
    """The page's markup once ready, its scripts out, its board moving the square."""
    with Page(site, path="page/kuglovica.html") as p:
        markup = p.js("const page = document.documentElement.cloneNode(true);"
                      "for (const script of page.querySelectorAll('script')) script.remove();"
                      "return '<!DOCTYPE html>\\n' + page.outerHTML;")
    square = ('<script src="bare_square.js"></script>'
              "<script>kugBareSquare(document.getElementById('board'));</script></body>")
    with open(os.path.join(site, "reference.html"), "w", encoding="utf-8") as f:
        f.write(markup.replace("</body>", square, 1))


def run(site, path, seconds, columns=None):
    with Page(site, path=path) as p:
        if columns:
            set_up_run(p, columns=columns, balls=250, speed=100, start=True)
            p.wait(lambda: p.ticks() > 0, "the first tick")
        time.sleep(0.5)
        address = p.browser.driver.capabilities["goog:chromeOptions"]["debuggerAddress"]
        return parts(asyncio.run(traced(address, seconds)))


def main():
    a = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    a.add_argument("page")
    a.add_argument("--other")
    a.add_argument("--seconds", type=float, default=6)
    a.add_argument("--rounds", type=int, default=2)
    o = a.parse_args()
    Page.engine = "chromium"
    with tempfile.TemporaryDirectory(prefix="kug-trace-") as site:
        for name in ("bare_square.html", "bare_square.js"):
            shutil.copy(os.path.join(HERE, name), site)
        pages = [("page", o.page)] + ([("other", o.other)] if o.other else [])
        for folder, source in pages:
            os.mkdir(os.path.join(site, folder))
            shutil.copy(os.path.join(source, "kuglovica.html"), os.path.join(site, folder))
        reference_page(site)
        runs = [("bare square", "bare_square.html?width=%d&height=%d" % BOARD, None),
                ("second reference", "reference.html", None)]
        runs += [("%s, %d columns" % (folder if folder == "other" else "this page", columns),
                  folder + "/kuglovica.html", columns) for folder, _ in pages for columns in (32, 2)]
        found = collections.defaultdict(list)
        for _ in range(o.rounds):
            for name, path, columns in runs:
                found[name].append(run(site, path, o.seconds, columns))
    print("| ms of thread time a second | frames/s | " + " | ".join(PARTS) + " | total |")
    print("|---" * (len(PARTS) + 3) + "|")
    for name, _, _ in runs:
        median = {part: statistics.median(r[0][part] for r in found[name]) for part in PARTS}
        frames = statistics.median(r[1] for r in found[name])
        print("| %s | %.0f | " % (name, frames) + " | ".join("%.1f" % median[p] for p in PARTS) +
              " | %.1f |" % sum(median.values()))


if __name__ == "__main__":
    main()
