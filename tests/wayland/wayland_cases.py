#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Kuglovica as a native Wayland client (QT_QPA_PLATFORM=wayland) of weston.

Wayland has no xdotool: each case drives the program through AT-SPI (its own
session and accessibility buses, as the a11y cases do) and reads what the
compositor shows with weston-screenshooter, which weston's --debug allows.
Most cases run on weston's headless backend. Headless weston has no seat, so it
never activates a window; the case about configure events runs weston's X11
backend on a private Xvfb display instead, whose seat gets real clicks from
xdotool. Everything is stopped again when the case ends, also when it fails.

    wayland_cases.py --exe build/kuglovica --assets assets --artifacts DIR CASE
"""

import glob
import os
import re
import shutil
import subprocess
import sys

sys.dont_write_bytecode = True  # keep the source tree clean
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "a11y"))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))

import kug_atspi as at  # noqa: E402
import kug_x11  # noqa: E402
from kug_atspi import ABOUT_ACTION, CheckFailed, check  # noqa: E402
from kug_x11 import NAVY, RED, Image, button_rect, xpm_points  # noqa: E402

ASSETS = None  # set from the command line
DESIGNED_WIDTH = kug_x11.DESIGNED_INNER[0]
OUTPUT = (800, 600)  # weston's output


class WaylandSession(kug_x11.Session):
    """A weston compositor, the buses, and the program as its client."""

    def __init__(self, exe, artifacts, backend, protocol_log=False):
        super().__init__(exe, artifacts, window_manager=False)
        self.backend = backend
        self.protocol_log = protocol_log
        self.socket = "kug-wayland-%d" % os.getpid()
        self.buses = None
        self.weston_log = None

    def __enter__(self):
        tools = ["weston", "weston-screenshooter", "convert"]
        if self.backend == "x11":
            tools += ["Xvfb", "xdotool"]
        missing = [t for t in tools if shutil.which(t) is None]
        check(not missing, "missing tools: %s (./test.sh installs them)" % " ".join(missing))
        self._make_runtime_dir()
        for var in ("DISPLAY", "WAYLAND_DISPLAY", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS",
                    "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_FONT_DPI", "QT_STYLE_OVERRIDE",
                    "QT_WAYLAND_DISABLE_WINDOWDECORATION", "WAYLAND_DEBUG"):
            self.env.pop(var, None)
        try:
            if self.backend == "x11":
                self._start_display()
            self._start_weston()
            self.buses = at.Buses(self.env, self.tmp)
            at.connect(self.buses.start())
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def __exit__(self, *exc):
        self.stop_app()
        if self.buses:
            self.buses.stop()
        super().__exit__(*exc)
        at.reap_orphans()
        return False

    def _start_weston(self):
        self.weston_log = os.path.join(self.tmp, "weston.log")
        argv = ["weston", "--backend=%s-backend.so" % self.backend, "--use-pixman",
                "--socket=" + self.socket, "--debug", "--no-config", "--idle-time=0",
                "--width=%d" % OUTPUT[0], "--height=%d" % OUTPUT[1], "--log=" + self.weston_log]
        socket = kug_x11.socket_path(os.path.join(self.tmp, self.socket))
        weston = self._spawn(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        def listening():
            check(weston.poll() is None, "weston ended at start with status %s" % weston.poll())
            return os.path.exists(socket)

        self.wait_until(listening, 30, "weston to listen")
        self.env["WAYLAND_DISPLAY"] = self.socket

    def start(self):
        """Starts the program and returns its window's accessible."""
        self.app_log = os.path.join(self.tmp, "kuglovica.log")
        env = dict(self.env, QT_QPA_PLATFORM="wayland")
        if self.protocol_log:
            env["WAYLAND_DEBUG"] = "client"
        with open(self.app_log, "ab") as log:
            self.app = subprocess.Popen([self.exe], env=env, stdout=log, stderr=subprocess.STDOUT,
                                        preexec_fn=kug_x11._die_with_parent)
        self.procs.append(self.app)
        app = at.wait_for(lambda: self.alive() and at.application(self.app.pid), 30,
                          "the program on the accessibility bus")
        return at.wait_for(lambda: at.window(app), 10, "the window \"Kuglovica\"")

    def screenshot(self, win=None):
        """The compositor's whole output."""
        shots = os.path.join(self.tmp, "shots")
        shutil.rmtree(shots, ignore_errors=True)
        os.makedirs(shots)
        self.run(["weston-screenshooter"], timeout=30, cwd=shots)
        files = glob.glob(os.path.join(shots, "*.png"))
        check(len(files) == 1, "weston-screenshooter wrote %r" % files)
        r = subprocess.run(["convert", files[0], "-depth", "8", "ppm:-"], stdout=subprocess.PIPE,
                           stderr=subprocess.PIPE, timeout=30)
        check(r.returncode == 0, "convert: %s" % r.stderr.decode(errors="replace"))
        self.last_shot = Image.from_ppm(r.stdout)
        return self.last_shot

    def run(self, argv, check_rc=True, timeout=30, input_bytes=None, cwd=None):
        r = subprocess.run(argv, env=self.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                           timeout=timeout, input=input_bytes, cwd=cwd)
        if check_rc and r.returncode != 0:
            raise CheckFailed("%s failed (%d): %s" % (" ".join(argv), r.returncode,
                                                      r.stderr.decode(errors="replace")))
        return r.stdout.decode(errors="replace")

    def save_failure_pictures(self):
        saved = []
        for path in (self.app_log, self.weston_log):
            if path and os.path.exists(path):
                shutil.copy(path, self.artifacts)
                saved.append(os.path.join(self.artifacts, os.path.basename(path)))
        if self.last_shot is not None:
            saved.append(self.save(self.last_shot, "last-screenshot"))
        return saved

    def protocol(self):
        with open(self.app_log, encoding="utf-8", errors="replace") as log:
            return log.read()


# ------------------------------------------------------------------ helpers


def pattern_at(image, points, colour):
    """Where a picture's pixels of one colour stand in the image: the top-left
    corner of their bounding box, or None."""
    pts = sorted(points, key=lambda p: (p[1], p[0]))
    first = pts[0]
    found = set(image.points((0, 0, image.width, image.height), colour))
    for x, y in found:
        ox, oy = x - first[0], y - first[1]
        if all((ox + px, oy + py) in found for px, py in pts):
            return (ox, oy)
    return None


def window_origin(image):
    """The top-left corner of the window's inside on the output, found from
    the play button's picture (idle buttons, start-up size)."""
    play = xpm_points(os.path.join(ASSETS, "play.xpm"))
    found = pattern_at(image, play, NAVY)
    check(found is not None, "the play button's picture is not on the screen")
    # The picture's drawn pixels start at (4, 3) of its 16 x 16, centred in
    # its 30 x 30 button.
    bx, by, bw, bh = button_rect(DESIGNED_WIDTH, "startcmd")
    return (found[0] - 4 - bx - (bw - 16) // 2, found[1] - 3 - by - (bh - 16) // 2)


def red_bars(image):
    """Heights of the red bars from left to right: runs of neighbouring
    columns with red pixels, each of one height."""
    heights = {}
    for x, _y in image.points((0, 0, image.width, image.height), RED):
        heights[x] = heights.get(x, 0) + 1
    bars, previous = [], None
    for x in sorted(heights):
        if previous is not None and x == previous + 1:
            check(heights[x] == bars[-1], "a bar of uneven height at x=%d" % x)
        else:
            bars.append(heights[x])
        previous = x
    return bars


def configures(s):
    """The main window's configure events so far: (width, height, states)."""
    log = s.protocol()
    first = re.search(r"get_toplevel\(new id xdg_toplevel@(\d+)\)", log)
    check(first, "the program made no toplevel window")
    return re.findall(r"xdg_toplevel@%s\.configure\((\d+), (\d+), array\[(\d+)\]\)" %
                      first.group(1), log)


def controls(frame):
    names = {"Pokreni", "Pauza", "Izlaz"}
    found = {acc.name: acc for acc in at.walk(frame)
             if at.role_name(acc) == "push button" and acc.name in names}
    for role, name in (("text", "Broj stupaca:"), ("text", "Broj kuglica:"),
                       ("text", "Brzina simulacije:"), ("check box", "Brza simulacija")):
        found[name] = at.find(frame, role, name)
    return found


def set_fields(c, **values):
    for name, value in values.items():
        at.set_text(c[name], value)
        at.wait_for(lambda: at.text(c[name]) == value, 5, "%r to show %r" % (name, value))


def wait_exit(s, what):
    try:
        code = s.app.wait(timeout=10)
    except subprocess.TimeoutExpired:
        raise CheckFailed("the program still runs 10 s after %s" % what)
    check(code == 0, "the program ended with status %d" % code)


# -------------------------------------------------------------------- cases


def case_start_up(s):
    frame = s.start()
    board = at.find(frame, "canvas", "Ploča")
    check(board.description == "Stupci: 0, 0", "the board is described as %r" %
          board.description)
    # The compositor shows the window with its idle buttons.
    pictures = {name: xpm_points(os.path.join(ASSETS, name + ".xpm"))
                for name in ("play", "pause_disabled", "stop_disabled", "exit")}
    image = at.wait_for(lambda: pattern_at(s.screenshot(), pictures["play"], NAVY) and
                        s.last_shot, 10, "the window on the compositor's output")
    for name, points in pictures.items():
        check(pattern_at(image, points, NAVY), "the %s picture is not shown" % name)
    # The compositor finds the desktop entry, and with it the icon, by this id.
    check('set_app_id("io.github.kuglovica.Kuglovica")' in s.protocol(),
          "the window does not carry the desktop entry's id")


def case_fast_run(s):
    frame = s.start()
    c = controls(frame)
    board = at.find(frame, "canvas", "Ploča")
    set_fields(c, **{"Broj stupaca:": "9", "Broj kuglica:": "100"})
    at.act(c["Brza simulacija"], "Toggle")
    at.wait_for(lambda: "checked" in at.states(c["Brza simulacija"]), 5, "the fast box ticked")
    at.act(c["Pokreni"], "Press")
    counts = at.wait_for(lambda: sum(at.counts_line(board)) == 100 and at.counts_line(board),
                         20, "the histogram of 100 balls")
    # Each bar is count x unit + 1 pixels tall, one unit for the whole run.
    shown = [n for n in counts if n > 0]

    def bars_drawn():
        bars = red_bars(s.screenshot())
        check(len(bars) == len(shown), "%d red bars on the output for the counts %r" %
              (len(bars), counts))
        units = {(h - 1) / n for h, n in zip(bars, shown)}
        check(len(units) == 1 and min(units) >= 1 and min(units).is_integer(),
              "bar heights %r do not fit the counts %r" % (bars, counts))
        return bars

    bars = at.wait_for(bars_drawn, 10, "the bars on the compositor's output")
    print("histogram %r drawn as bars of %r pixels" % (counts, bars))


def case_about(s):
    frame = s.start()
    at.act(at.find(frame, "canvas", "Ploča"), ABOUT_ACTION)
    app = at.application(s.app.pid)
    box = at.wait_for(lambda: at.about_box(app), 10, "the About box")
    labels = [acc.name for acc in at.walk(box) if at.role_name(acc) == "label"]
    check("Simulator Kuglovice,\nverzija 1" in labels, "the About box reads %r" % labels)
    at.act(at.find(box, "push button", "OK"), "Press")
    at.wait_for(lambda: not at.about_box(app), 10, "the About box to close")
    check(s.alive(), "the program ended with the About box")


def case_exit_running(s):
    frame = s.start()
    c = controls(frame)
    set_fields(c, **{"Broj kuglica:": "50"})
    at.act(c["Pokreni"], "Press")
    at.wait_for(lambda: "enabled" in at.states(c["Pauza"]), 5, "the run to start")
    at.act(c["Izlaz"], "Press")
    wait_exit(s, "\"Izlaz\"")


def case_configure_keeps_run(s):
    """Focus moving away and back makes weston send configure events with the
    same size and other states; they must not end a run as a resize does."""
    frame = s.start()
    c = controls(frame)
    board = at.find(frame, "canvas", "Ploča")
    at.wait_for(lambda: [e for e in configures(s) if e[2] != "0"], 10,
                "weston to activate the window")
    origin = at.wait_for(lambda: window_origin(s.screenshot()), 10, "the window on the output")
    # a run long enough to outlast the clicks: some 40 s
    set_fields(c, **{"Broj kuglica:": "120", "Brzina simulacije:": "80"})
    at.act(c["Pokreni"], "Press")
    at.wait_for(lambda: 0 < at.remaining_balls(board) < 120, 20, "the first balls to land")
    before = configures(s)
    app = at.application(s.app.pid)

    def click(x, y, repeat=1):
        s.run(["xdotool", "mousemove", str(x), str(y), "click", "--repeat", str(repeat),
               "--delay", "60", "1"])

    def about_by_double_click():
        click(*area, repeat=2)
        box = at.wait_for(lambda: at.about_box(app), 10, "the About box from a double-click")
        at.act(at.find(box, "push button", "OK"), "Press")
        at.wait_for(lambda: not at.about_box(app), 10, "the About box to close")

    # The About box takes the focus while it is open; a click on the
    # desktop's background beside the window and one into the drawing area
    # move it about too. How weston hands the focus on is its own affair:
    # what counts is that the window was told of it and the run went on.
    beside = (origin[0] - 40, origin[1] + 100) if origin[0] > 60 else \
        (origin[0] + DESIGNED_WIDTH + 40, origin[1] + 100)
    area = (origin[0] + 100, origin[1] + 150)
    # Weston takes the pointer from the X server's crossing events: the
    # pointer, which starts inside weston's window, goes out and back in.
    s.run(["xdotool", "mousemove", str(OUTPUT[0] + 100), str(OUTPUT[1] + 100)])
    steps = [about_by_double_click, lambda: click(*beside), lambda: click(*area)]
    for step in steps * 2:
        step()
        if len(configures(s)) >= len(before) + 3:
            break
    events = configures(s)[len(before):]
    states = {state for _w, _h, state in before[-1:] + events}
    check(len(events) >= 2 and len(states) >= 2,
          "the focus changes brought too few configure events: %r" % events)
    check({(w, h) for w, h, _state in events} == {("0", "0")},
          "configure events with a size: %r" % events)
    # The run went on through all of them.
    check("enabled" in at.states(c["Pauza"]), "the run stopped: the pause button is disabled")
    check("enabled" not in at.states(c["Pokreni"]), "the run stopped: \"Pokreni\" is enabled")
    left = at.remaining_balls(board)
    at.wait_for(lambda: at.remaining_balls(board) < left, 20, "more balls to land")
    print("%d configure events of the same size during the run: %r" % (len(events), events))


CASES = {
    # name: (weston backend, log the Wayland protocol, case)
    "start_up": ("headless", True, case_start_up),
    "fast_run": ("headless", False, case_fast_run),
    "about": ("headless", False, case_about),
    "exit_running": ("headless", False, case_exit_running),
    "configure_keeps_run": ("x11", True, case_configure_keeps_run),
}


def main():
    global ASSETS
    args, artifacts = kug_x11.case_arguments(CASES)
    ASSETS = args.assets
    backend, protocol_log, run = CASES[args.case]
    session = WaylandSession(args.exe, artifacts, backend, protocol_log)
    return kug_x11.run_case(session, run, args.case, (CheckFailed,))


if __name__ == "__main__":
    sys.exit(main())
