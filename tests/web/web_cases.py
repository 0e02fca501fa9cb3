#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The web page in a browser engine, one case per run.

    KUG_WINDOW_FACTS=JSON web_cases.py --page DIR --reference EXE [--engine E] [--artifacts DIR] CASE
    web_cases.py --page DIR --screenshot OUT.png

Each case serves the page's directory on a free local port (or opens the
file from disk), starts its own browser of engine E (browsers.py: chromium,
firefox or webkitgtk, with a fresh profile), works the page as a user does
(clicks, keys, double-clicks, taps, the resize grip, the title bar) and reads
back what it shows: the controls' states, the fields' texts, the board's
description and the canvas's pixels. What the desktop program shows for the
same steps comes from EXE (desktop_reference: the real window on Qt's
offscreen platform, with the same random stream right after start-up). What
the controls are and how each run state shows them come from the form's
tables, as the build writes them (window_facts.json, named by the
environment's KUG_WINDOW_FACTS).

Run with /usr/bin/python3 (Debian's python3-selenium and python3-websockets).
Exits 0 when the case passes, 77 when the engine cannot do it.
"""

import argparse
import base64
import contextlib
import functools
import http.server
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time
import zlib

import browsers

SKIPPED = 77
TAB, DELETE = "\ue004", "\ue017"  # WebDriver's key codes

FIELD_TEXTS = {"stupcitxt": "2", "kuglicetxt": "1", "brzinatxt": "1"}  # set at start-up

# axe-core's WCAG 2.0 to 2.2 A and AA rules and three best practices (one
# main landmark, all in landmarks, a level-one heading); not `tabindex`: the
# designed tab order is not the reading order. The sizes each state is
# checked at (width, height, touch screen), and the states of each engine.
AXE_OPTIONS = {"runOnly": ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa", "wcag22aa"], "resultTypes": ["violations"],
               "rules": dict({r: {"enabled": True} for r in ("landmark-one-main", "region", "page-has-heading-one")},
                             tabindex={"enabled": False})}
AXE_SIZES = [(1280, 800, False), (800, 600, False), (360, 640, True), (320, 568, True)]
AXE_STATES = {"chromium": {"idle", "file", "running", "paused", "theory", "about", "app"},
              "firefox": {"idle", "about"}, "webkitgtk": {"idle", "about"}}

BALL = (255, 0, 0)        # the bars and the ball
THEORY = (150, 200, 150)  # the theoretical bars
LINE = (0, 0, 0)          # pegs, walls and floor


class Failure(Exception):
    pass


def read_facts(path):
    """The form's tables (window_facts.json): the controls by name (TABLE),
    the tab chain (TAB_CHAIN); the run's controls (RUN_CONTROLS) and each run
    state as they show it, a digit each for enabled or not (IDLE, RUNNING,
    PAUSED, LOOPING), with the pictures its buttons show (PICTURES)."""
    global TABLE, TAB_CHAIN, RUN_CONTROLS, RUN_BUTTONS, IDLE, RUNNING, PAUSED, LOOPING, PICTURES, STATES
    with open(path, encoding="utf-8") as f:
        facts = json.load(f)
    TABLE, TAB_CHAIN = {c["name"]: c for c in facts["controls"]}, facts["tabChain"]
    rows = [facts["runStates"][state] for state in ("Idle", "Running", "Paused", "Looping")]
    RUN_CONTROLS = list(rows[0])
    RUN_BUTTONS = [n for n in RUN_CONTROLS if TABLE[n]["picture"]]
    IDLE, RUNNING, PAUSED, LOOPING = ("".join("01"[on] for on in row.values()) for row in rows)
    STATES = dict(Idle=IDLE, Running=RUNNING, Paused=PAUSED, Looping=LOOPING)
    PICTURES = {state: [TABLE[n]["picture" if row[n] else "disabledPicture"] for n in RUN_BUTTONS]
                for state, row in zip((IDLE, RUNNING, PAUSED, LOOPING), rows)}


if "KUG_WINDOW_FACTS" in os.environ:
    read_facts(os.environ["KUG_WINDOW_FACTS"])


def start_inputs():
    """Each check box's state (ticked or not, enabled or not) and each field's text at start-up."""
    return {n: "-x"[c["checked"]] + "de"[c["enabled"]] if c["kind"] == "CheckBox" else FIELD_TEXTS[n]
            for n, c in TABLE.items() if c["kind"] in ("CheckBox", "TextBox")}


def check(condition, message):
    if not condition:
        raise Failure(message)


def check_equal(seen, expected, what):
    if seen != expected:
        raise Failure("%s: expected %r, saw %r" % (what, expected, seen))


class _QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def end_headers(self):
        # No HTTP cache for the app's folder: what its page opens with offline,
        # its worker kept. Elsewhere a page may be kept for going back (Firefox
        # keeps none sent with no-store in its back/forward cache).
        if self.path.startswith("/" + APP):
            self.send_header("Cache-Control", "no-store")
        super().end_headers()


@contextlib.contextmanager
def served(directory):
    """The page's directory on a free port of 127.0.0.1; yields the address
    and a function that stops the server (which leaves the host offline)."""
    handler = functools.partial(_QuietHandler, directory=directory)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    stop = functools.lru_cache()(lambda: (server.shutdown(), server.server_close()))
    try:
        yield "http://127.0.0.1:%d/" % server.server_address[1], stop
    finally:
        stop()


class Page:
    """A browser of its own on the page: served, or `from_disk` as a file."""
    engine = "chromium"  # of this run
    axe = None  # axe-core's script

    def __init__(self, page_dir, scale=1, from_disk=False, coarse=False, path="", app=False):
        self.page_dir, self.path, self.app = page_dir, path, app
        self.scale = scale
        self.from_disk = from_disk
        self.coarse = coarse

    def __enter__(self):
        self._stack = contextlib.ExitStack()
        try:
            if self.from_disk:
                self.url = "file://" + os.path.join(os.path.abspath(self.page_dir), "kuglovica.html")
            else:
                host, self.stop_serving = self._stack.enter_context(served(self.page_dir))
                self.url = host + self.path
            self.browser = browsers.launch(self._stack, self.engine, self.scale, self.coarse, self.app and self.url)
            self.load()
        except BaseException:
            self._stack.close()
            raise
        return self

    def load(self, url=None, ready=True, reload=False):
        self.browser.reload() if reload else self.browser.open(url or self.url)
        if ready:
            self.wait(lambda: self.js("return document.documentElement.dataset.ready === 'true'"),
                      "the page's first paint")

    def load_changed(self, directory, script, ready=True):
        """A copy of the page from disk with `script` run before its own."""
        with open(os.path.join(self.page_dir, "kuglovica.html"), encoding="utf-8") as f:
            page = f.read().replace("<head>", "<head><script>%s</script>" % script, 1)
        path = os.path.join(os.path.abspath(directory), "changed.html")
        with open(path, "w", encoding="utf-8") as f:
            f.write(page)
        self.load("file://" + path, ready)

    def __exit__(self, *exc):
        self._stack.close()
        return False

    # ---- reading the page ----------------------------------------------------

    def js(self, script, *args):
        return self.browser.js(script, *args)

    def wait(self, condition, what, timeout=15):
        deadline = time.monotonic() + timeout
        last = None
        while time.monotonic() < deadline:
            try:
                if condition():
                    return
            except Failure as e:
                last = e
            time.sleep(0.02)
        raise Failure("timed out waiting for %s%s" % (what, " (%s)" % last if last else ""))

    def frames(self, count=2):
        """Returns after `count` animation frames: what the last events drew is painted."""
        self.browser.js_await("for (let n = arguments[0]; n > 0; n--)"
                              "  await new Promise((r) => requestAnimationFrame(r));", count)

    def rect(self, selector):
        """Left, top, width and height in the viewport's CSS pixels."""
        return self.js("const r = document.querySelector(arguments[0]).getBoundingClientRect();"
                       "return [r.left, r.top, r.width, r.height];", selector)

    def row(self):
        return self.js("return arguments[0].map((id) => document.getElementById(id).disabled ? '0' : '1').join('')",
                       RUN_CONTROLS)

    def pictures(self):
        """The pictures the run's buttons show."""
        return self.js("return arguments[0].map((id) => [...document.querySelectorAll('#' + id + ' img')]"
                       "  .find((i) => getComputedStyle(i).display !== 'none').dataset.picture)",
                       RUN_BUTTONS)

    def inputs(self):
        """What start_inputs() gives at start-up, as the page shows it."""
        return self.js("return Object.fromEntries([...document.querySelectorAll('#window input')].map((i) =>"
                       "  [i.closest('[data-control]').id, i.type === 'text' ? i.value"
                       "   : (i.checked ? 'x' : '-') + (i.disabled ? 'd' : 'e')]))")

    def check_state(self, state, what):
        check_equal(self.row(), state, "run state " + what)
        check_equal(self.pictures(), PICTURES[state], "button pictures " + what)

    def snapshot(self):
        """Every control and the title bar's buttons as shown (class, enabled,
        ticked, text, pictures, name, pressed), and the board's description."""
        return self.js("return Object.fromEntries([...document.querySelectorAll('[data-control], #titlebar button')]"
                       ".map((e) => { const f = e.matches('input, button, fieldset') ? e : e.querySelector('input') || e;"
                       "  return [e.id, [e.className, f.disabled, f.checked, f.value, [...e.querySelectorAll('img')]"
                       "    .filter((i) => getComputedStyle(i).display !== 'none').map((i) => i.dataset.picture),"
                       "    e.getAttribute('aria-label'), e.getAttribute('aria-pressed')]]; })"
                       ".concat([['opis', document.getElementById('opis').textContent]]))")

    def description(self):
        return self.js("return document.getElementById('opis').textContent").split("\n")

    def wait_description(self, expected, what, pick=lambda lines: lines, timeout=15):
        """The description as expected once its hold (a quarter second) has passed."""
        try:
            self.wait(lambda: pick(self.description()) == expected, what, timeout)
        except Failure:
            check_equal(pick(self.description()), expected, what)

    def value(self, field):
        return self.js("return document.getElementById(arguments[0]).value", field)

    def ticks(self):
        return self.js("return kugStats.ticks()")

    def board_size(self):
        return tuple(self.js("const r = document.getElementById('board').getBoundingClientRect();"
                             "return [Math.round(r.width), Math.round(r.height)];"))

    def pixels(self):
        """(width, height, RGBA bytes) of the board's canvas."""
        w, h, data = self.js(
            "const c = document.getElementById('board');"
            "const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;"
            "let s = ''; for (let i = 0; i < d.length; i += 0x8000)"
            "  s += String.fromCharCode.apply(null, d.subarray(i, i + 0x8000));"
            "return [c.width, c.height, btoa(s)];")
        return w, h, base64.b64decode(data)

    # ---- working the page ------------------------------------------------------

    def pointer(self, steps, kind="mouse"):
        """W3C pointer actions: ("move", x, y) in the viewport, "down", "up"."""
        actions = [{"type": "pointerMove", "x": round(step[1]), "y": round(step[2]), "duration": 0}
                   if step[0] == "move" else {"type": "pointer" + step.title(), "button": 0} for step in steps]
        self.browser.perform([{"type": "pointer", "id": kind, "parameters": {"pointerType": kind},
                               "actions": actions}])

    def keys(self, text):
        """Keys typed into whatever holds the focus."""
        actions = [{"type": kind, "value": c} for c in text for kind in ("keyDown", "keyUp")]
        self.browser.perform([{"type": "key", "id": "keyboard", "actions": actions}])

    def centre(self, selector):
        self.js("document.querySelector(arguments[0]).scrollIntoView({block: 'nearest', inline: 'nearest'})",
                selector)
        left, top, width, height = self.rect(selector)
        return left + width / 2, top + height / 2

    def click(self, element_id, kind="mouse", selector="#%s"):
        self.pointer([("move",) + self.centre(selector % element_id), "down", "up"], kind)

    def tick(self, box_id):
        self.click(box_id, selector="#%s input")

    def type_into(self, field, text):
        """Clicks into the field (which selects its text) and types over it."""
        self.click(field)
        self.keys(text or DELETE)

    def leave(self, field):
        self.keys(TAB)

    def enter(self, field, text):
        self.type_into(field, text)
        self.leave(field)

    def drop_text(self, field, text):
        """Text arriving without the focus, as a drop or assistive technology sets it."""
        self.js("const f = document.getElementById(arguments[0]); f.value = arguments[1];"
                "f.dispatchEvent(new InputEvent('input', {bubbles: true, inputType: 'insertFromDrop'}));",
                field, text)

    def double_click_at(self, element_id, x=None, y=None, kind="mouse"):
        """Double-clicks (or double-taps) the element at (x, y) from its
        top-left corner (its centre if None); returns what stands there: its
        id or its nearest ancestor's, else its tag name."""
        left, top, width, height = self.rect("#" + element_id)
        px = round(left + (width / 2 if x is None else x))
        py = round(top + (height / 2 if y is None else y))
        there = self.js("const e = document.elementFromPoint(arguments[0], arguments[1]);"
                        "return (e.closest('[id]') || e).id || e.tagName.toLowerCase();", px, py)
        self.pointer([("move", px, py), "down", "up", "down", "up"], kind)
        return there

    def drag_grip(self, dx, dy):
        x, y = self.centre("#grip")
        self.pointer([("move", x, y), "down", ("move", x + dx // 2, y + dy // 2), ("move", x + dx, y + dy), "up"])

    def axe_clean(self, state, sizes=AXE_SIZES):
        """axe finds nothing in `state` at each of `sizes` the engine gives;
        one it cannot give, it says. The viewport is then as at launch."""
        if state not in AXE_STATES[self.engine]:
            return
        self.js("if (!window.axe) { const s = document.createElement('script');"
                "  s.textContent = arguments[0]; document.head.append(s); s.remove(); }", Page.axe)
        found, named = [], lambda w, h, touch: "%dx%d %s" % (w, h, "touch" if touch else "mouse")
        for width, height, touch in sizes:
            self.browser.set_touch(touch)
            self.browser.set_viewport(width, height)
            self.frames(3)
            seen = self.js("const e = document.documentElement;"
                           "return [e.clientWidth, e.clientHeight, matchMedia('(pointer: coarse)').matches]")
            if seen != [width, height, touch]:
                print("axe: %s in %s: cannot produce %s, it gives %s"
                      % (state, self.engine, named(width, height, touch), named(*seen)))
                continue
            found += [named(width, height, touch) + " " + v for v in self.browser.js_await(
                "return (await axe.run(document, JSON.parse(arguments[0]))).violations.map((v) =>"
                "  v.id + ': ' + v.nodes.map((n) => n.target.join(' ')).join(', '))", json.dumps(AXE_OPTIONS))]
        self.browser.set_touch(self.coarse)
        self.browser.reset_viewport()
        self.frames(3)
        check(not found, "axe in %s: %s" % (state, "; ".join(found)))

    def about_open(self):
        return self.js("return document.getElementById('about').open")

    def close_about(self):
        self.click("about-ok")
        self.wait(lambda: not self.about_open(), "the About box to close")


# ---- the desktop's side -------------------------------------------------------

def reference(exe, artifacts, name, scale=1, board=None, columns=None, balls=None, speed=None,
              theory=False, trail=False, fast=False, start=False):
    """What the desktop shows: (width, height, RGB bytes, {board, maxBalls, description})."""
    out = os.path.join(artifacts, name + "-desktop.ppm")
    args = [exe, out]
    if board:
        args += ["--board", "%dx%d" % board]
    for flag, value in (("--columns", columns), ("--balls", balls), ("--speed", speed)):
        if value is not None:
            args += [flag, str(value)]
    args += [flag for flag, on in (("--theory", theory), ("--trail", trail), ("--fast", fast),
                                   ("--start", start)) if on]
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", QT_SCALE_FACTOR=str(scale))
    result = subprocess.run(args, env=env, capture_output=True, text=True, timeout=120)
    check(result.returncode == 0, "desktop_reference failed: %s" % result.stderr.strip())
    lines = result.stdout.rstrip("\n").split("\n")
    info = {"board": lines[0].split()[1], "maxBalls": int(lines[1].split()[1]),
            "description": lines[2:]}
    with open(out, "rb") as f:
        data = f.read()
    magic, size, _, rest = data.split(b"\n", 3)
    check(magic == b"P6", "the reference is no PPM")
    w, h = (int(v) for v in size.split())
    return w, h, rest, info


def write_png(path, w, h, rgb):
    raw = b"".join(b"\0" + rgb[y * w * 3:(y + 1) * w * 3] for y in range(h))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def compare_pixels(page, desktop, artifacts, name, colours):
    """The page's canvas against the desktop's picture, pixel for pixel."""
    pw, ph, rgba = page
    dw, dh, rgb, _ = desktop
    page_rgb = b"".join(rgba[i:i + 3] for i in range(0, len(rgba), 4))
    check_equal((pw, ph), (dw, dh), "board size in device pixels")
    if page_rgb != rgb:
        write_png(os.path.join(artifacts, name + "-page.png"), pw, ph, page_rgb)
        write_png(os.path.join(artifacts, name + "-desktop.png"), dw, dh, rgb)
        differing = [i // 3 for i in range(0, len(rgb), 3) if rgb[i:i + 3] != page_rgb[i:i + 3]]
        first = differing[0]
        raise Failure("%d of %d pixels differ; first at (%d, %d): page %s, desktop %s (pictures in %s)"
                      % (len(differing), pw * ph, first % pw, first // pw,
                         tuple(page_rgb[first * 3:first * 3 + 3]), tuple(rgb[first * 3:first * 3 + 3]),
                         artifacts))
    # Equal pictures could still both be empty: what the board must show.
    for colour in colours:
        count = sum(1 for i in range(0, len(rgb), 3) if tuple(rgb[i:i + 3]) == colour)
        check(count > 0, "no pixel of colour %s on the board" % (colour,))


# ---- cases ----------------------------------------------------------------------

def case_start_up(args):
    with Page(args.page) as p:
        check_equal(p.js("return document.title"), "Kuglovica", "title")
        # Each caption on its control (a frame's in its legend, a box's around its box).
        captions = p.js("return Object.fromEntries([...document.querySelectorAll('#window legend, #window label')]"
                        "  .map((e) => [e.closest('[data-control]').id, e.textContent.trim()]))")
        check_equal(captions, {n: c["caption"] for n, c in TABLE.items() if c["captionShown"]
                               and c["kind"] in ("Frame", "CheckBox", "Label")}, "captions")
        check_equal(p.inputs(), start_inputs(), "check boxes (ticked, enabled) and fields")
        # Fields named by their labels, the buttons and the board by their names.
        named = {n: c["accessibleName"] for n, c in TABLE.items() if c["accessibleName"]}
        named.update({c["names"]: c["caption"] for c in TABLE.values() if c["names"]})
        names = p.js("return Object.fromEntries(arguments[0].map((id) => {"
                     "  const e = document.getElementById(id), n = e.querySelector('[aria-label]') || e;"
                     "  return [id, n.getAttribute('aria-label') || e.labels[0].textContent]; }))", list(named))
        check_equal(names, named, "accessible names")
        check_equal(p.row(), IDLE, "run state")
        # Shown or not (a button's own picture while enabled, the other while
        # disabled), and at scale 1 the 16 x 16 picture.
        pictures = p.js("return [...document.querySelectorAll('#window img')].map((i) => i.dataset.picture + ' '"
                        "  + i.naturalWidth + (getComputedStyle(i).display === 'none' ? ' -' : ' shown')"
                        "  + (i.currentSrc === i.src ? '' : ' (another picture)'))")
        expected = ["%s 16 %s" % (c[k], "shown" if c["enabled"] == (k == "picture") else "-")
                    for c in TABLE.values() for k in ("picture", "disabledPicture") if c[k]]
        check_equal(sorted(pictures), sorted(expected), "button pictures")
        # The board: 232 x 351 at start-up, an image described in a live region.
        check_equal(p.board_size(), (232, 351), "board size")
        check_equal([p.rect("#grip")[2:], p.rect("#maximise")[2:]], [[14, 14], [18, 18]],
                    "the grip and the title bar's buttons for a mouse")
        board = p.js("const b = document.getElementById('board');"
                     "const d = document.getElementById(b.getAttribute('aria-describedby'));"
                     "return [b.getAttribute('role'), d.getAttribute('aria-live')]")
        check_equal(board, ["img", "polite"], "the board for assistive technology")
        check_equal(p.description(), ["Stupci: 0, 0"], "description")
        # The desktop's tab order, from the board on; disabled controls are passed over.
        chain = [n for n in TAB_CHAIN if TABLE[n]["enabled"]]
        p.click("board")
        order = []
        for _ in chain[chain.index("simarea") + 1:]:
            p.keys(TAB)
            order.append(p.js("const a = document.activeElement;"
                              "return a.id || a.closest('label').id;"))
        check_equal(order, chain[chain.index("simarea") + 1:], "tab order")
        # The largest ball count, fixed at start-up from the board: the double-click's bound.
        p.double_click_at("kuglicetxt")
        check_equal(p.value("kuglicetxt"), "250", "maxBalls")
        p.axe_clean("idle")


# Each board: the steps on the page, the same for the desktop's reference.
BOARDS = {
    "board_start_up": dict(colours=[LINE]),
    "board_fast_run": dict(columns=10, balls=250, theory=True, fast=True, start=True,
                           colours=[LINE, BALL, THEORY]),
    "board_resized": dict(grip=(164, 45), columns=32, balls=250, theory=True, fast=True, start=True,
                          colours=[LINE, BALL, THEORY]),
    "board_scale2": dict(scale=2, columns=9, balls=250, theory=True, fast=True, start=True,
                         colours=[LINE, BALL, THEORY]),
    # Each frame puts only what changed: after every one the canvas is the whole picture.
    "board_animated": dict(columns=2, balls=20, speed=100, trail=True, start=True, each_frame=True,
                           colours=[LINE, BALL]),
}

# After each paint, the canvas against the whole picture the paint was given.
EACH_FRAME = """
window.kugFrames = {checked: 0, wrong: []};
const paint = kugView.paint;
kugView.paint = (picture, rects, lines) => {
  paint(picture, rects, lines);
  const c = document.getElementById('board');
  const shown = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
  kugFrames.checked++;
  if (shown.length !== picture.data.length || shown.some((v, i) => v !== picture.data[i]))
    kugFrames.wrong.push(kugFrames.checked);
};"""


def set_up_run(p, columns=None, balls=None, speed=None, theory=False, trail=False, fast=False,
               start=False):
    for field, value in (("stupcitxt", columns), ("kuglicetxt", balls), ("brzinatxt", speed)):
        if value is not None:
            p.enter(field, str(value))
            check_equal(p.value(field), str(value), field)
    for box, on in (("teorijskachk", theory), ("tragchk", trail), ("brzachk", fast)):
        if on:
            p.tick(box)
    if start:
        p.click("startcmd")


# A reload in each run state, every field and some boxes changed: what it
# takes to get there after the fields, and the run state reached.
RELOAD_ROWS = [
    (["teorijskachk", "tragchk", "brzachk", "petljachk"], "Idle"),
    (["teorijskachk", "tragchk", "startcmd"], "Running"),
    (["teorijskachk", "tragchk", "startcmd", "stopcmd"], "Paused"),
    (["teorijskachk", "brzachk", "petljachk", "startcmd"], "Looping"),
]


def reloaded_defaults(p, fresh, rows=RELOAD_ROWS):
    """After each reload, every control as a fresh load showed it (`fresh`)."""
    for clicks, state in rows:
        set_up_run(p, columns=5, balls=7, speed=9)
        for name in clicks:
            p.tick(name) if TABLE[name]["kind"] == "CheckBox" else p.click(name)
        check_equal(p.row(), STATES[state], "run state before the reload")
        p.load(reload=True)
        seen = p.snapshot()
        check(seen == fresh, "after a reload in the run state %s, as (fresh, seen): %s"
              % (state, {n: (fresh.get(n), v) for n, v in seen.items() if fresh.get(n) != v}))


def case_board(args, name):
    run = dict(BOARDS[name])
    colours = run.pop("colours")
    scale = run.pop("scale", 1)
    grip = run.pop("grip", None)
    each_frame = run.pop("each_frame", False)
    with Page(args.page, scale=scale) as p:
        board = None
        if grip:
            p.drag_grip(*grip)
            board = p.board_size()
            check_equal(board, (232 + grip[0], 351 + grip[1]), "board after the grip's drag")
        if each_frame:
            p.js(EACH_FRAME)
        set_up_run(p, **run)
        p.wait(lambda: p.row() == IDLE, "the run to end", timeout=60)
        p.frames()
        page = p.pixels()
        if each_frame:
            checked, wrong = p.js("return [kugFrames.checked, kugFrames.wrong]")
            check(checked >= 10 and not wrong, "of %d paints, these left the canvas unlike the picture: %s"
                  % (checked, wrong))
    desktop = reference(args.reference, args.artifacts, name, scale=scale, board=board, **run)
    compare_pixels(page, desktop, args.artifacts, name, colours)


def case_scale_change(args):
    """The screen's scale changing under the page (another screen, the browser's zoom)."""
    run = dict(columns=9, balls=250, fast=True, start=True)
    with Page(args.page) as p:
        set_up_run(p, **run)
        p.wait(lambda: p.row() == IDLE, "the fast run to end")
        p.frames()
        w, h, before = p.pixels()
        # A zoom to 200 %: the viewport shrinks and the ratio doubles. (The
        # emulated ratio sometimes reaches the page only after the first
        # resize event, so the viewport changes twice.)
        for width in (800, 780):
            p.browser.set_viewport(width, 600, ratio=2)
            p.frames()
        p.wait(lambda: p.js("return document.getElementById('board').width") == 2 * w,
               "the board at scale 2")
        p.frames()
        # The picture kept, each pixel now two by two.
        w2, h2, after = p.pixels()
        check_equal((w2, h2), (2 * w, 2 * h), "board in device pixels at scale 2")
        upscaled = b"".join(b"".join(before[(y // 2 * w + x // 2) * 4:(y // 2 * w + x // 2) * 4 + 4]
                                     for x in range(w2)) for y in range(h2))
        check(after == upscaled, "the picture was not kept through the change of scale")
        check_equal(p.board_size(), (232, 351), "board size in pixels")
        # The next drawing is at the new scale: the same run with its theory
        # shown, as the desktop draws it at scale 2.
        p.tick("teorijskachk")
        p.frames()
        page = p.pixels()
    desktop = reference(args.reference, args.artifacts, "scale_change", scale=2, theory=True, **run)
    compare_pixels(page, desktop, args.artifacts, "scale_change", [LINE, BALL, THEORY])


# Hostile texts: typed and then left with Tab, or arriving without the focus.
FIELD_ROWS = [
    ("stupcitxt", "abc", "2"), ("stupcitxt", "", "2"), ("stupcitxt", "-7", "2"),
    ("stupcitxt", "1e9", "32"), ("stupcitxt", "9.5", "10"), ("stupcitxt", "10.5", "10"),
    ("stupcitxt", " 12 ", "12"), ("stupcitxt", "0x1F", "2"), ("stupcitxt", "３", "2"),
    ("stupcitxt", "7,5", "7"), ("stupcitxt", "99999999999999999999", "32"),
    ("stupcitxt", "<b>5</b>", "2"), ("stupcitxt", "&H1A", "26"),
    ("kuglicetxt", "500", "250"), ("kuglicetxt", "0", "1"), ("kuglicetxt", "2.5", "2"),
    ("kuglicetxt", "3.5", "4"), ("kuglicetxt", "NaN", "1"), ("kuglicetxt", "12abc", "12"),
    ("kuglicetxt", "١٢", "1"),
    ("brzinatxt", "", "1"), ("brzinatxt", "150", "100"), ("brzinatxt", "50.5", "50"),
    ("brzinatxt", "+3", "3"), ("brzinatxt", "1_000", "1"), ("brzinatxt", "1e2", "100"),
]
DROPPED_ROWS = [
    ("stupcitxt", "\t40\n", "32"), ("stupcitxt", "🎲", "2"), ("kuglicetxt", "1" * 5000, "250"),
    ("kuglicetxt", "-1e-9", "1"), ("brzinatxt", "'; alert(1); '", "1"), ("brzinatxt", "7\u00a0", "7"),
]


def case_fields_hostile(args):
    with Page(args.page) as p:
        for field, text, shown in FIELD_ROWS:
            p.type_into(field, text)
            # Checked only on leaving the field.
            check_equal(p.value(field), text, "%s while typing %r" % (field, text))
            p.leave(field)
            check_equal(p.value(field), shown, "%s after leaving it with %r" % (field, text))
            if field == "stupcitxt":
                p.wait_description(["Stupci: " + ", ".join(["0"] * int(shown))],
                                   "the board after %r" % text)
        p.click("board")
        for field, text, shown in DROPPED_ROWS:
            p.drop_text(field, text)
            check_equal(p.value(field), shown, "%s at once after %r arrived" % (field, text))
        # A parameter frame disabled by a run takes no text from outside.
        p.enter("kuglicetxt", "200")
        p.click("startcmd")
        check_equal(p.row(), RUNNING, "run state")
        p.drop_text("stupcitxt", "20")
        check_equal(p.value("stupcitxt"), "2", "a disabled field's text")
        p.click("fullstopcmd")


# Each field: its bound, and what "79" typed into it becomes.
DOUBLE_CLICK_ROWS = [("stupcitxt", "32", "32"), ("kuglicetxt", "250", "79"), ("brzinatxt", "100", "79")]


def case_field_double_click(args):
    with Page(args.page) as p:
        for field, bound, typed in DOUBLE_CLICK_ROWS:
            p.double_click_at(field)
            check_equal(p.value(field), bound, "%s after a double-click" % field)
            # The bound stands selected whole, not a word of it.
            selection = p.js("const f = document.getElementById(arguments[0]);"
                             "return [f.selectionStart, f.selectionEnd, document.activeElement.id];", field)
            check_equal(selection, [0, len(bound), field], "%s's selection" % field)
            p.type_into(field, "7")
            p.keys("9")
            # A click selects the whole text.
            p.click(field)
            selection = p.js("const f = document.getElementById(arguments[0]);"
                             "return [f.selectionStart, f.selectionEnd];", field)
            check_equal(selection, [0, 2], "%s's selection after a click" % field)
            p.leave(field)
            check_equal(p.value(field), typed, "%s after leaving it" % field)


def bins(description):
    return [line for line in description if line.startswith("Stupci:")]


def counted(lines):
    return sum(int(v) for v in bins(lines)[0].split(":")[1].split(","))


def case_fast_run_histogram(args, page=None):
    run = dict(columns=10, balls=250, fast=True, start=True)
    _, _, _, desktop = reference(args.reference, args.artifacts, "fast_run_histogram", **run)
    expected = bins(desktop["description"])
    check_equal(counted(expected), 250, "balls counted on the desktop")
    with contextlib.nullcontext(page) if page else Page(args.page) as p:
        set_up_run(p, **run)
        p.wait(lambda: p.row() == IDLE, "the fast run to end")
        p.wait_description(expected, "histogram of 250 balls on 10 columns", pick=bins)


def wait_for_end(p, what, timeout=60):
    p.wait(lambda: p.row() == IDLE and not p.description()[0].startswith("Još"), what, timeout)


ANIMATED = dict(columns=6, balls=15, speed=100, theory=True, trail=True)


def hidden_and_shown(p):
    for hidden, state in ((True, "hidden"), (False, "visible")):
        p.browser.hide(hidden)
        p.wait(lambda: p.js("return document.visibilityState") == state, "the page " + state)


def away_and_back(p):
    """Another page, then back: valid only where the page comes from the back/forward cache."""
    p.js("addEventListener('pageshow', (e) => { window.kugShown = e.persisted; })")
    p.load("about:blank", ready=False)
    p.browser.back()
    try:
        p.wait(lambda: p.js("return document.documentElement.dataset.ready === 'true'"), "the page again")
    except Failure as e:
        raise Failure("%s, at %s" % (e, p.js("return location.href + ' ' + document.readyState"))) from None
    if not p.js("return window.kugShown === true"):
        return "pageshow's persisted false, the page loaded anew"


def offline(p):
    p.stop_serving()
    p.browser.driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
        "offline": True, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})


# Events during a run, after each of which the run goes on: (what, the
# event, returning what the engine did instead where it cannot produce it).
LIFECYCLE_ROWS = [("hidden, then shown", hidden_and_shown), ("away and back", away_and_back)]


def left(p):
    line = p.description()[0]
    return int(line.split()[1]) if line.startswith("Još ") else None


def lifecycle_rows(p, rows):
    """Each row during a long animated run: still running after it, and the balls keep landing."""
    for what, event in rows:
        if p.row() != RUNNING:
            set_up_run(p, balls=250, speed=90, start=True)
            p.wait(lambda: left(p) in range(240, 251), "the long run's first balls")  # not an earlier run's line
        before = left(p)
        instead = event(p)
        if instead:
            print("lifecycle: %s in %s: cannot produce it, %s" % (what, p.engine, instead))
            continue
        p.check_state(RUNNING, "after " + what)
        p.wait(lambda: left(p) < before, "balls to land after " + what)


def case_animated_run(args):
    desktop = reference(args.reference, args.artifacts, "animated_run", **ANIMATED, start=True)
    expected = bins(desktop[3]["description"])
    check_equal(counted(expected), ANIMATED["balls"], "balls counted on the desktop")
    with Page(args.page) as p:
        set_up_run(p, **ANIMATED, start=True)
        check_equal(p.row(), RUNNING, "run state")
        # The remaining-balls line, in the description and over the board.
        p.wait(lambda: p.description()[0].startswith("Još "), "the remaining-balls line")
        p.wait(lambda: p.js("const c = document.getElementById('boardtext');"
                            "return c.getContext('2d').getImageData(0, 0, 60, 16).data.some((v) => v > 0)"),
               "the remaining-balls line on the board")
        wait_for_end(p, "the run to end by itself")
        check(p.js("return kugStats.maxPaintsPerFrame") <= 1, "more than one paint in a frame")
        p.wait_description(expected, "bins after the animated run", pick=bins)
        p.frames()
        page = p.pixels()
        p.axe_clean("theory")  # after a run, with the theory's bars
        if "running" in AXE_STATES[p.engine]:
            set_up_run(p, speed=1, start=True)  # long enough for axe's rows
            p.axe_clean("running")
            p.check_state(RUNNING, "after axe's rows")
            p.click("fullstopcmd")
        lifecycle_rows(p, LIFECYCLE_ROWS)
    compare_pixels(page, desktop, args.artifacts, "animated_run", [LINE, BALL, THEORY])


def case_loop(args):
    """A fast run in a loop: a fresh histogram every 100 ms until aborted."""
    with Page(args.page) as p:
        p.check_state(IDLE, "at start-up")
        set_up_run(p, columns=7, balls=120, fast=True)
        p.tick("petljachk")
        p.click("startcmd")
        p.check_state(LOOPING, "while looping")
        seen = set()
        ticks = p.ticks()

        def fresh_histograms():
            lines = bins(p.description())
            check_equal(counted(lines), 120, "balls counted in a loop's histogram")
            seen.add(lines[0])
            return len(seen) >= 3

        p.wait(fresh_histograms, "three different histograms")
        check(p.ticks() - ticks >= 3, "the loop ticked %d times" % (p.ticks() - ticks))
        # The About box does not stop the loop.
        p.double_click_at("board")
        check(p.about_open(), "no About box while looping")
        ticks = p.ticks()
        p.wait(lambda: p.ticks() >= ticks + 2, "the loop to go on behind the About box")
        p.close_about()
        p.check_state(LOOPING, "after the About box")
        p.click("fullstopcmd")
        p.check_state(IDLE, "after abort")
        ticks = p.ticks()
        deadline = time.monotonic() + 0.3
        while time.monotonic() < deadline:
            check_equal(p.ticks(), ticks, "loop ticks after abort")
            time.sleep(0.02)


def case_pause_resume(args):
    run = dict(columns=8, balls=12, speed=100)
    _, _, _, desktop = reference(args.reference, args.artifacts, "pause_resume", **run, start=True)
    with Page(args.page) as p:
        set_up_run(p, **run, start=True)
        p.wait(lambda: p.description()[0] in ("Još %d kuglica." % n for n in range(5, 11)),
               "a few balls to land")
        p.check_state(RUNNING, "while running")
        # A button disabled while it holds the focus hands it to the board,
        # never on to abort or exit.
        check_equal(p.js("return document.activeElement.id"), "board", "focus after play")
        p.click("stopcmd")
        p.check_state(PAUSED, "after pause")
        check_equal(p.js("return document.activeElement.id"), "board", "focus after pause")
        paused_at = p.ticks()
        p.frames()
        picture = p.pixels()
        # Paused: no tick for a tenth of a second, a hundred ticks' time.
        deadline = time.monotonic() + 0.1
        while time.monotonic() < deadline:
            check_equal(p.ticks(), paused_at, "ticks while paused")
            time.sleep(0.01)
        p.frames()
        check(p.pixels() == picture, "the board changed while paused")
        p.axe_clean("paused")
        p.click("startcmd")
        p.check_state(RUNNING, "after resuming")
        p.wait(lambda: p.ticks() > paused_at, "the ball to move again")
        wait_for_end(p, "the resumed run to end")
        p.check_state(IDLE, "after the run")
        p.wait_description(bins(desktop["description"]), "bins after pause and resume", pick=bins)


# Where a double-click opens the About box: an element, a point in it from
# its top-left corner (None: its centre; a name: a point worked out below),
# what stands there, and whether the box opens.
ABOUT_ROWS = [
    ("board", None, "board", True),
    ("simarea", (1, 1), "simarea", True),  # the drawing area's border
    ("window", "above params", "window", True),
    ("window", "between", "window", True),
    ("window", "below gumbi", "window", True),
    ("window", "below the window", "html", True),  # the page around the window
    ("params", (3, 60), "params", False),
    ("gumbi", (3, 3), "gumbi", False),
    ("kuglicelbl", None, "kuglicelbl", False),
    ("Check1", None, "Check1", False),
    ("stopcmd", None, "stopcmd", False),
    ("brzinatxt", None, "brzinatxt", False),
]


def case_about(args):
    with Page(args.page) as p:
        points = p.js("const r = (id) => document.getElementById(id).getBoundingClientRect();"
                      "const w = r('window'), s = r('simarea'), pa = r('params'), g = r('gumbi');"
                      "return {'above params': [pa.left + 20 - w.left, 2],"
                      "        between: [(s.right + pa.left) / 2 - w.left, 100],"
                      "        'below gumbi': [g.left + 20 - w.left, g.bottom + 15 - w.top],"
                      "        'below the window': [40, w.height + 60]};")
        for target, where, expected, opens in ABOUT_ROWS:
            point = points[where] if isinstance(where, str) else where or (None, None)
            what = "%s %s" % (target, where or "")
            check_equal(p.double_click_at(target, *point), expected, "what stands at " + what)
            check_equal(p.about_open(), opens, "About box after a double-click on " + what)
            if not opens:
                continue
            seen = p.js("const d = document.getElementById('about');"
                        "return [d.matches(':modal'), document.getElementById('about-title').textContent,"
                        "  document.getElementById('about-text').textContent, d.querySelector('button').textContent]")
            check_equal(seen, [True, "Kuglovica", "Simulator Kuglovice,\nverzija 1", "OK"], "About box")
            p.close_about()
            check_equal(p.row(), IDLE, "run state after the About box")
        check_equal(p.value("brzinatxt"), "100", "the double-clicked field")
        # The box takes the focus from a field as another window would: the
        # field's text is checked when the field is left, not when the box opens.
        p.type_into("stupcitxt", "abc")
        p.double_click_at("window", *points["between"])
        check(p.about_open(), "no About box from the bare surface with a field focused")
        p.close_about()
        check_equal(p.js("return document.activeElement.id"), "stupcitxt", "focus after the About box")
        check_equal(p.value("stupcitxt"), "abc", "the field's text while it keeps the focus")
        p.leave("stupcitxt")
        check_equal(p.value("stupcitxt"), "2", "the field's text after leaving it")
        p.double_click_at("board")
        p.axe_clean("about")
        p.close_about()


def case_exit(args):
    for running in (False, True):
        with Page(args.page) as p:
            if running:
                set_up_run(p, balls=100, speed=100, start=True)
                p.wait(lambda: p.ticks() > 0, "the ball to move")
            p.click("exitcmd")
            # A browser may close a tab the page was opened in directly.
            p.wait(lambda: p.browser.closed() or p.js("return document.documentElement.dataset.ended === 'true'"),
                   "the end")
            if p.browser.closed():
                continue
            check_equal(p.js("return document.body.children.length"), 0, "elements left on the page")
            ticks = p.ticks()
            frames = p.js("return kugStats.frames")
            deadline = time.monotonic() + 0.1
            while time.monotonic() < deadline:
                check_equal((p.ticks(), p.js("return kugStats.frames")), (ticks, frames),
                            "ticks and frames after exit")
                time.sleep(0.01)


def inner_size(p):
    return tuple(p.js("const w = document.getElementById('window');"
                      "return [w.clientWidth, w.clientHeight];"))


def frame_seen(p):
    """The frame's rectangle and unscaled size, the viewport, the scroll
    width and the board's device pixels per pixel."""
    return p.js("const f = document.getElementById('frame'), r = f.getBoundingClientRect(),"
                "  e = document.documentElement, b = document.getElementById('board');"
                "return {rect: [r.left, r.top, r.right, r.bottom], size: [f.offsetWidth, f.offsetHeight],"
                "  viewport: [e.clientWidth, e.clientHeight], scroll: e.scrollWidth, scale: b.width / b.offsetWidth};")


# Viewports smaller than the window, at device pixel ratio 2: a phone upright
# (WebKitGTK's MiniBrowser keeps its window at least 447 wide) and a strip.
FIT_VIEWPORTS = [(360, 740), (900, 250)]


def case_resize(args):
    with Page(args.page, scale=2) as p:
        least = tuple(p.js("return [Module._kug_minimum(0), Module._kug_minimum(1)]"))
        start = inner_size(p)
        check(start[0] >= least[0] and start[1] > least[1], "start-up size %s, minimum %s" % (start, least))
        # The grip resizes the window, which ends the run as on the desktop.
        set_up_run(p, balls=100, speed=100, start=True)
        p.drag_grip(30, -20)
        check_equal(p.row(), IDLE, "run state after the grip")
        check_equal(inner_size(p), (start[0] + 30, start[1] - 20), "window after the grip")
        check_equal(p.board_size(), (232 + 30, 351 - 20), "board after the grip")
        # Never below the minimum.
        p.drag_grip(-300, -200)
        check_equal(inner_size(p), least, "window dragged below its minimum")
        # A smaller viewport is no resize: the window is scaled to fit it, the
        # board drawn at the scaled ratio, and a run goes on.
        p.click("startcmd")
        for width, height in FIT_VIEWPORTS:
            p.browser.set_viewport(width, height)
            p.frames(3)
            seen = frame_seen(p)
            (vw, vh), (fw, fh) = seen["viewport"], seen["size"]
            fit, what = min(1, vw / fw, (vh - 24) / fh), " in a %d x %d viewport" % (vw, vh)
            check(seen["rect"][2] <= vw and seen["rect"][3] <= vh and seen["scroll"] <= vw,
                  "frame %s%s" % (seen["rect"], what))
            check(abs(seen["rect"][2] - seen["rect"][0] - fit * fw) < 1, "frame's scale" + what)
            check_equal(seen["scale"], max(1, round(2 * fit)), "board's device pixels per pixel" + what)
            ticks = p.ticks()
            p.wait(lambda: p.ticks() > ticks, "the run to go on" + what)
            check_equal((p.row(), inner_size(p)), (RUNNING, least), "run state and window" + what)
        # The grip keeps the scale: the pointer's movement divided by it.
        p.drag_grip(40, 10)
        check_equal(inner_size(p), (round(least[0] + 40 / fit), round(least[1] + 10 / fit)), "window after the grip")
        check(frame_seen(p)["rect"][3] <= vh, "the window refitted after the grip")


# Each script error, refused promise, failed load and console error.
ERRORS_HOOK = ("window.kugErrors = []; (() => { const log = console.error;"
               "console.error = (...a) => { kugErrors.push(a.join(' ')); log(...a); };"
               "for (const type of ['error', 'unhandledrejection']) addEventListener(type, (e) =>"
               "  kugErrors.push(type + ': ' + (e.message || e.reason || e.target.outerHTML)), true); })();")


def case_file(args):
    """The one file opened from disk: it fetches nothing, logs no error, and runs."""
    run = dict(columns=10, balls=250, fast=True, start=True)
    expected = bins(reference(args.reference, args.artifacts, "file", **run)[3]["description"])
    with Page(args.page, from_disk=True) as p:
        check_equal(p.js("return performance.getEntriesByType('resource').length"), 0, "what the page fetched")
        fresh = p.snapshot()
        p.axe_clean("file")
        # From disk: Firefox keeps no form state of a page served with no-store.
        reloaded_defaults(p, fresh)
        set_up_run(p, **run)
        p.wait(lambda: p.row() == IDLE, "the fast run to end")
        p.wait_description(expected, "histogram of 250 balls on 10 columns", pick=bins)
        # Past its load event, nothing of the app served from a folder.
        p.load_changed(args.artifacts, ERRORS_HOOK)
        p.wait(lambda: p.js("return document.readyState === 'complete'"), "the load event")
        p.frames()
        check_equal(p.js("return [kugErrors, performance.getEntriesByType('resource').length,"
                         "  document.querySelectorAll('link[rel=manifest], link[rel=apple-touch-icon]').length]"),
                    [[], 0, 0], "errors, what the page fetched, and the app's links")
        font = p.js("return ['fontBoundingBoxAscent' in TextMetrics.prototype, kugStats.boardFont()]")
        p.load_changed(args.artifacts, "delete TextMetrics.prototype.fontBoundingBoxAscent;")
        check_equal([True, p.js("return kugStats.boardFont()")], font, "the board's line without a font box, by layout")
        p.load_changed(args.artifacts, "Object.defineProperty(window, 'kugView', {value: null});", ready=False)
        p.wait(lambda: p.js("return [...document.querySelectorAll('#too-old, #frame')].map((e) => getComputedStyle(e)"
                            ".visibility)") == ["visible", "hidden"], "a browser too old: the line, and no window")
        # Where there is no WebAssembly the page says so.
        p.load_changed(args.artifacts, "delete window.WebAssembly;", ready=False)
        p.wait(lambda: p.js("return !document.getElementById('unavailable').hidden"), "the line about WebAssembly")
        check_equal(p.js("return [document.getElementById('unavailable').textContent,"
                         "  document.getElementById('frame').getClientRects().length]"),
                    ["Kuglovica treba JavaScript i WebAssembly.", 0], "the page without WebAssembly")


def case_title_bar(args):
    with Page(args.page) as p:
        check_equal(p.js("return [...document.querySelectorAll('#titlebar > *')].map((e) =>"
                         "  e.getAttribute('aria-label') || e.textContent)"),
                    ["Kuglovica", "Maksimiziraj", "Cijeli zaslon"], "the title bar")
        start, board = inner_size(p), p.board_size()
        least = p.js("return [Module._kug_minimum(0), Module._kug_minimum(1)]")
        label = lambda: p.js("return document.getElementById('maximise').getAttribute('aria-label')")

        def fills(what):
            """The frame fills the viewport, the window not below its minimum; a run ended."""
            p.frames(3)
            seen = frame_seen(p)
            check(all(abs(a - b) < 1 for a, b in zip(seen["rect"], [0, 0] + seen["viewport"])) and
                  all(a >= b for a, b in zip(inner_size(p), least)), "frame %s %s" % (seen["rect"], what))
            check_equal(p.row(), IDLE, "run state " + what)

        # Maximised, the window follows the viewport, each change a resize.
        for viewport in (None, (360, 600), (900, 600)):
            set_up_run(p, balls=100, speed=100, start=True)
            if viewport:
                p.browser.set_viewport(*viewport)
            else:
                p.click("maximise")
            fills("maximised in %s" % (viewport,))
        check_equal(label(), "Vrati", "the maximise button once maximised")
        check(p.board_size()[0] > board[0], "the board no wider maximised")
        p.click("maximise")
        check_equal((inner_size(p), label()), (start, "Maksimiziraj"), "window and button restored")
        # A double-click on the bar maximises and restores; it is no About box.
        for expected in ("Vrati", "Maksimiziraj"):
            p.double_click_at("caption")
            check_equal((label(), p.about_open()), (expected, False), "after a double-click on the title bar")
        # Full screen: the window fills the screen, then takes its size again.
        for entering in (True, False):
            p.click("fullscreen")
            p.wait(lambda: p.js("return document.fullscreenElement !== null") == entering, "full screen")
            if entering:
                fills("in full screen")
        p.frames(3)
        check_equal(inner_size(p), start, "window after full screen")
        # No such button where the page cannot be shown full screen.
        p.load_changed(args.artifacts, "Object.defineProperty(Document.prototype, 'fullscreenEnabled', {value: false});")
        check_equal(p.js("return document.getElementById('fullscreen').getClientRects().length"), 0,
                    "the full-screen button where there is no full screen")


APP = "app/"  # the app's folder at a sub-path of its host
ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")


def kept(p):
    """Once the app's worker controls the page: the names of the caches it keeps."""
    p.wait(lambda: p.js("return navigator.serviceWorker.controller !== null"), "the service worker", timeout=30)
    return p.browser.js_await("return await caches.keys()")


def case_installable(args):
    with Page(args.page, path=APP) as p:
        p.wait(lambda: p.js("return document.querySelector('link[rel=manifest]') !== null"), "the manifest's link")
        cdp = p.browser.driver.execute_cdp_cmd
        check_equal(cdp("Page.getAppManifest", {}).get("errors"), [], "the manifest's errors")
        check_equal(cdp("Page.getInstallabilityErrors", {})["installabilityErrors"], [], "installability errors")
    with Page(args.page, path=APP, app=True) as p:  # installed: its window the window's frame
        window = p.browser.driver.execute_cdp_cmd("Browser.getWindowForTarget", {})["windowId"]
        bounds = lambda **b: p.browser.driver.execute_cdp_cmd("Browser.setWindowBounds", {"windowId": window, "bounds": b})
        fills = lambda: [round(v) for v in frame_seen(p)["rect"]] == [0, 0] + frame_seen(p)["viewport"]
        check_equal([fills(), p.js("return [document.getElementById('window').offsetTop, maximise.offsetWidth,"
                                   "  grip.offsetWidth]")], [True, [0, 0, 0]], "the app's window")
        p.axe_clean("app")
        for size in ({"windowState": "fullscreen"}, {"windowState": "normal", "width": 300, "height": 250}):
            board = p.board_size()
            set_up_run(p, balls=100, speed=100, start=True)
            bounds(**size)
            p.frames(3)
            check_equal([fills(), p.row(), board != p.board_size()], [True, IDLE, True], "in an app's window %s" % size)
        # A page cannot tell its window minimised from covered: hidden, a run waits.
        lifecycle_rows(p, LIFECYCLE_ROWS[:1] + [("offline", offline)])


# After one visit, with the server stopped, a reload: what the page shows
# then, a row each: (what, check(p, args)).
OFFLINE_ROWS = [
    ("the page's first paint", lambda p, args: p.wait(
        lambda: p.js("return document.documentElement.dataset.ready === 'true'"), "the page's first paint")),
    ("the page from its worker", lambda p, args: check_equal(
        p.js("return [document.title, navigator.serviceWorker.controller !== null]"), ["Kuglovica", True], "page")),
    ("the defaults after a reload", lambda p, args: reloaded_defaults(p, p.snapshot(), RELOAD_ROWS[:1])),
    ("a fast run as on the desktop", lambda p, args: case_fast_run_histogram(args, p)),
]


def case_offline(args):
    with Page(args.page, path=APP) as p:
        check_equal(len(kept(p)), 1, "caches after the first visit")
        p.stop_serving()
        p.load(ready=False)
        for what, row in OFFLINE_ROWS:
            row(p, args)


def case_app_update(args):
    """A second build served in the first one's place: its page shows, and one cache is left."""
    host = os.path.join(args.artifacts, "host")
    app = os.path.join(host, APP)
    shutil.copytree(os.path.join(args.page, APP), app)
    with Page(host, path=APP) as p:
        first = kept(p)
        # The second build: a mark in the page, the folder completed by the build's own step.
        second = os.path.join(host, "second.html")
        with open(os.path.join(app, "index.html"), "rb") as f, open(second, "wb") as out:
            out.write(f.read().replace(b"<html ", b"<html data-build=2 ", 1))
        subprocess.run([sys.executable, os.path.join(ROOT, "scripts", "app_folder.py"), "--page", second, "--worker",
                        os.path.join(ROOT, "src", "web", "service_worker.js"), app], check=True, capture_output=True)
        p.load()
        check_equal(p.js("return document.documentElement.dataset.build"), "2", "the page shown")
        p.wait(lambda: len(kept(p)) == 1 and kept(p) != first, "the older cache to go")


def case_touch(args):
    boxes = [n for n, c in TABLE.items() if c["kind"] == "CheckBox"]
    controls = [n for n, c in TABLE.items() if c["kind"] in ("CheckBox", "TextBox", "PictureButton")]
    with Page(args.page, coarse=True) as p:
        p.axe_clean("idle", AXE_SIZES[2:])
        p.browser.set_viewport(360, 740)
        p.frames(3)
        check(frame_seen(p)["size"][0] > 360, "the window not scaled on a phone")
        # A finger's size once scaled, where there is room (layout rounds to 1/64 pixel).
        for target in ("grip", "maximise", "fullscreen"):
            check(min(p.rect("#" + target)[2:]) >= 24 - 1 / 64, "%s is %s" % (target, p.rect("#" + target)))
        # Else up to the next control: a finger 12 pixels off a box's centre
        # line lands on the box or on a control next to it.
        landed = p.js("return arguments[0].map((id) => { const r = document.getElementById(id).getBoundingClientRect();"
                      "  return [-11.5, 11.5].map((dy) => [r.left + 1, r.left + r.width / 2, r.right - 1].map((x) => {"
                      "    const t = document.elementFromPoint(x, r.top + r.height / 2 + dy);"
                      "    return t ? (t.closest('[id]') || t).id : ''; })); })", boxes)
        for box, sides in zip(boxes, landed):
            check(all(set(ids) & set(controls) for ids in sides), "a finger near %s lands on %s" % (box, sides))
        # A tap is a click; a double tap a double-click, counted once.
        p.click("brzachk", kind="touch")
        check_equal(p.js("return document.querySelector('#petljachk input').disabled"), False, "the loop's box")
        p.double_click_at("stupcitxt", kind="touch")
        check_equal(p.value("stupcitxt"), "32", "a field after a double tap")
        p.double_click_at("caption", kind="touch")
        check_equal(p.js("return document.getElementById('maximise').getAttribute('aria-label')"), "Vrati",
                    "the window after a double tap on the title bar")
        for pause in (0.4, 0):
            p.click("board", kind="touch")
            time.sleep(pause)
            p.click("board", kind="touch")
            check_equal(p.about_open(), not pause, "About box after two taps %.1f s apart" % pause)
        p.axe_clean("about", AXE_SIZES[2:])


# What a case needs that not every engine can do, and why it cannot.
NEEDS = {
    "scale_change": ("ratio", "no emulated change of the device pixel ratio under a running page"),
    "touch": ("touch", "no touch screen: its driver turns touch input into a mouse's"),
    "installable": ("cdp", "no installability nor app's window: Chromium's DevTools protocol and --app give them"),
}

CASES = {
    "file": case_file,
    "installable": case_installable,
    "offline": case_offline,
    "app_update": case_app_update,
    "title_bar": case_title_bar,
    "touch": case_touch,
    "resize": case_resize,
    "loop": case_loop,
    "scale_change": case_scale_change,
    "start_up": case_start_up,
    "fields_hostile": case_fields_hostile,
    "field_double_click": case_field_double_click,
    "fast_run_histogram": case_fast_run_histogram,
    "animated_run": case_animated_run,
    "pause_resume": case_pause_resume,
    "about": case_about,
    "exit": case_exit,
}
for board_case in BOARDS:
    CASES[board_case] = functools.partial(case_board, name=board_case)


def screenshot(page_dir, out):
    """The window on the page: an animated run of 40 balls on 9 columns with the
    trail and the theory, paused with about 28 balls to go."""
    with Page(page_dir) as p:
        set_up_run(p, columns=9, balls=40, speed=92, theory=True, trail=True, start=True)
        p.wait(lambda: p.description()[0] in ("Još %d kuglica." % n for n in range(25, 30)),
               "a dozen balls to land", timeout=60)
        p.click("stopcmd")
        p.frames()
        p.browser.driver.find_element("id", "frame").screenshot(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--page", required=True)
    parser.add_argument("--engine", choices=browsers.ENGINES, default="chromium")
    parser.add_argument("--reference")
    parser.add_argument("--axe", help="axe-core's axe.min.js")
    parser.add_argument("--artifacts", default=None)
    parser.add_argument("--screenshot")
    parser.add_argument("case", nargs="?", choices=sorted(CASES))
    args = parser.parse_args()
    if not os.path.isfile(os.path.join(args.page, "kuglovica.html")):
        print("FAIL: no page in %s (build it with scripts/build_web.sh)" % args.page)
        return 1
    if args.screenshot:
        screenshot(args.page, args.screenshot)
        return 0
    if not args.case or not args.reference or not args.axe or "TABLE" not in globals():
        parser.error("a case, --reference, --axe and the window's facts (KUG_WINDOW_FACTS) are needed")
    Page.engine = args.engine
    if args.axe:
        with open(args.axe, encoding="utf-8") as f:
            Page.axe = f.read()
    need = NEEDS.get(args.case)
    if need and need[0] not in browsers.CAN[args.engine]:
        print("SKIP: %s in %s: %s" % (args.case, args.engine, need[1]))
        return SKIPPED
    temporary = None
    if args.artifacts:
        args.artifacts = os.path.join(args.artifacts, args.case)
        shutil.rmtree(args.artifacts, ignore_errors=True)
        os.makedirs(args.artifacts)
    else:
        temporary = args.artifacts = tempfile.mkdtemp(prefix="kug-web-case-", dir="/tmp")
    try:
        CASES[args.case](args)
    except Failure as e:
        print("FAIL: %s: %s" % (args.case, e))
        return 1
    finally:
        if temporary:
            shutil.rmtree(temporary, ignore_errors=True)
    print("PASS: %s" % args.case)
    return 0


if __name__ == "__main__":
    sys.exit(main())
