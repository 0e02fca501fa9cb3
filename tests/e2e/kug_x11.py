# SPDX-License-Identifier: GPL-3.0-or-later
"""Driving the real Kuglovica window on a private Xvfb display.

Everything here works from outside the program, the way a user does: X input
through xdotool, and back only what a user can see: screenshots (ImageMagick's
import), window names and geometry (xwininfo, xprop) and whether the process
still runs. Python standard library only.
"""

import argparse
import ctypes
import math
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

TOOLS = ("Xvfb", "xdotool", "xwininfo", "xprop", "xev", "import", "convert")

# ---------------------------------------------------------------- the layout
# The window's pieces as they stand with Debian's default font (DejaVu Sans
# 9 pt), which the test display uses: the frames have grown from their designed
# 145 pixels to hold "Brzina simulacije:" and the check boxes' captions, and
# the window with them, so that the drawing area keeps its designed size. All
# in pixels.

PARAMS_WIDTH = 170  # the parameter frame, hugging the right edge
PARAMS_TOP = 5
PARAMS_HEIGHT = 246
GUMBI_HEIGHT = 49  # the button frame, right below it
RIGHT_MARGIN = 5
AREA_GAP = 10  # between the drawing area and the parameter frame
AREA_BORDER = 2  # the drawing area's sunken frame; its picture starts at (2, 2)
DESIGNED_INNER = (421, 355)
# the stored minimum 396 x 253, widened by the frames' 25 and tall enough to
# show the whole button frame
MINIMUM_INNER = (421, PARAMS_TOP + PARAMS_HEIGHT + GUMBI_HEIGHT + 5)

# Controls inside the parameter frame: (left, top, width, height).
FIELDS = {
    "stupcitxt": (96, 20, 41, 25),
    "kuglicetxt": (96, 52, 41, 25),
    "brzinatxt": (121, 116, 41, 25),
}
CHECKS = {
    "teorijskachk": (8, 84, 138, 17),
    "brzachk": (8, 156, 121, 17),
    "petljachk": (24, 172, 89, 17),
    "tragchk": (8, 204, 142, 14),
    "Check1": (8, 221, 50, 17),
}
LABELS = {"stupcilbl": (8, 20, 81, 25)}
# Buttons inside the button frame.
BUTTONS = {
    "startcmd": (8, 8, 30, 30),
    "stopcmd": (38, 8, 30, 30),
    "fullstopcmd": (68, 8, 30, 30),
    "exitcmd": (112, 8, 30, 30),
}

NAVY = (0, 0, 128)
RED = (255, 0, 0)
BLACK = (0, 0, 0)
THEORY_GREEN = (150, 200, 150)


def frame_left(win_width):
    return win_width - PARAMS_WIDTH - RIGHT_MARGIN


def in_params(win_width, rect):
    left, top, width, height = rect
    return (frame_left(win_width) + left, PARAMS_TOP + top, width, height)


def in_gumbi(win_width, rect):
    left, top, width, height = rect
    return (frame_left(win_width) + left, PARAMS_TOP + PARAMS_HEIGHT + top, width, height)


def centre(rect):
    x, y, w, h = rect
    return (x + w // 2, y + h // 2)


def field_point(win_width, name):
    return centre(in_params(win_width, FIELDS[name]))


def check_point(win_width, name):
    # the box itself, at the left end of the check box
    x, y, _w, h = in_params(win_width, CHECKS[name])
    return (x + 7, y + h // 2)


def button_rect(win_width, name):
    return in_gumbi(win_width, BUTTONS[name])


def area_size(win_width, win_height):
    """Inner size (W, H) of the drawing area for a window's inner size."""
    width = frame_left(win_width) - AREA_GAP - 2 * AREA_BORDER
    return (width, win_height - 2 * AREA_BORDER)


# ------------------------------------------------------------ the board rules


def nearest(v):
    """Nearest integer, halves to the even neighbour."""
    return int(round(v))


def cell_size(W, H, n):
    c = nearest((W - 20) / (2 * n))
    if (2 * (n - 2) + 16) * c + 10 > H:
        c = nearest((H - 10) / (2 * (n - 2) + 16))
    return c


def bar_unit(c, balls):
    unit = nearest((8 * c - 1) / nearest(balls * 0.51))
    return unit if unit != 0 else 1


def max_balls(c):
    return nearest((8 * c - 1) * 1.5)


class Board:
    """Where the board of n columns stands in a drawing area of W x H, in
    window pixels."""

    def __init__(self, W, H, n):
        self.W, self.H, self.n = W, H, n
        self.c = cell_size(W, H, n)
        self.y_top = (2 * (n - 2) + 4) * self.c  # top of the bins

    def to_win(self, x, y):
        return (x + AREA_BORDER, y + AREA_BORDER)

    def pixel(self, v):
        """The pixel the drawing puts a coordinate on: the nearest, a tie going
        the way the ball's centre went when W / 2 was rounded (halves to even)."""
        half = self.W / 2
        if nearest(half) < half:
            return math.ceil(v - 0.5)
        return math.floor(v + 0.5)

    def bin_left(self, k):
        return self.W / 2 + (2 * (k - 1) - self.n) * self.c

    def floor_y(self):
        return self.y_top + 8 * self.c

    def peg(self, i, j):
        return (self.W / 2 + (2 * (j - 1) - (i - 1)) * self.c, (2 * (i - 1) + 3) * self.c)


# ------------------------------------------------------------------- pictures


class Image:
    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    @classmethod
    def from_ppm(cls, blob):
        # P6 <w> <h> <max> then raw RGB; the header has no comments here.
        parts = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", blob)
        if not parts:
            raise ValueError("not a binary PPM")
        w, h, maxval = (int(g) for g in parts.groups())
        if maxval != 255:
            raise ValueError("PPM with maxval %d" % maxval)
        data = blob[parts.end():parts.end() + 3 * w * h]
        return cls(w, h, data)

    def pixel(self, x, y):
        x, y = int(x), int(y)
        if not (0 <= x < self.width and 0 <= y < self.height):
            return None
        i = 3 * (y * self.width + x)
        return tuple(self.data[i:i + 3])

    def crop_bytes(self, x, y, w, h):
        rows = []
        for yy in range(y, y + h):
            i = 3 * (yy * self.width + x)
            rows.append(self.data[i:i + 3 * w])
        return b"".join(rows)

    def points(self, rect, colour):
        """Pixels of the exact colour inside rect, as (x, y) pairs."""
        x0, y0, w, h = rect
        return [(x, y) for y in range(y0, y0 + h) for x in range(x0, x0 + w)
                if self.pixel(x, y) == colour]


def normalised(points):
    if not points:
        return frozenset()
    mx = min(p[0] for p in points)
    my = min(p[1] for p in points)
    return frozenset((x - mx, y - my) for x, y in points)


def xpm_points(path, colour_hex="#000080"):
    """Pixels of one colour in a one-character-per-pixel XPM file."""
    strings = re.findall(r'"([^"]*)"', open(path, encoding="ascii").read())
    w, h, ncolours, cpp = (int(v) for v in strings[0].split()[:4])
    if cpp != 1:
        raise ValueError("%s: %d chars per pixel" % (path, cpp))
    keys = {s[0] for s in strings[1:1 + ncolours] if s[1:].split()[-1].lower() == colour_hex}
    rows = strings[1 + ncolours:1 + ncolours + h]
    return normalised([(x, y) for y, row in enumerate(rows) for x, ch in enumerate(row[:w])
                       if ch in keys])


# ----------------------------------------------------------------- statistics


def binomial_pmf(n, p):
    return [math.comb(n, k) * p**k * (1 - p)**(n - k) for k in range(n + 1)]


def merge_tails(observed, expected, least=5.0):
    """Merge the outer classes inwards until each expected count is at least
    `least`; returns the merged (observed, expected) lists."""
    obs, exp = list(observed), list(expected)
    while len(exp) > 1 and exp[0] < least:
        obs[1] += obs[0]
        exp[1] += exp[0]
        del obs[0], exp[0]
    while len(exp) > 1 and exp[-1] < least:
        obs[-2] += obs[-1]
        exp[-2] += exp[-1]
        del obs[-1], exp[-1]
    return obs, exp


def upper_gamma_q(a, x):
    """Regularised upper incomplete gamma function Q(a, x)."""
    if x <= 0:
        return 1.0
    gln = math.lgamma(a)
    if x < a + 1:
        term = total = 1.0 / a
        ap = a
        for _ in range(1000):
            ap += 1
            term *= x / ap
            total += term
            if abs(term) < abs(total) * 1e-15:
                break
        return 1.0 - total * math.exp(-x + a * math.log(x) - gln)
    # Lentz's continued fraction
    tiny = 1e-300
    b = x + 1 - a
    c = 1 / tiny
    d = 1 / b
    h = d
    for i in range(1, 1000):
        an = -i * (i - a)
        b += 2
        d = an * d + b
        d = tiny if abs(d) < tiny else d
        c = b + an / c
        c = tiny if abs(c) < tiny else c
        d = 1 / d
        delta = d * c
        h *= delta
        if abs(delta - 1) < 1e-15:
            break
    return math.exp(-x + a * math.log(x) - gln) * h


def chi_square_p(observed, expected):
    stat = sum((o - e)**2 / e for o, e in zip(observed, expected))
    dof = len(observed) - 1
    return stat, dof, upper_gamma_q(dof / 2.0, stat / 2.0)


# -------------------------------------------------------------------- errors


class CheckFailed(AssertionError):
    pass


def check(condition, message):
    if not condition:
        raise CheckFailed(message)


# ------------------------------------------------------------------- session


def stop_process(p):
    """Asks a process to end and kills it if it still runs 5 s later."""
    p.terminate()
    try:
        p.wait(timeout=5)
    except subprocess.TimeoutExpired:
        p.kill()
        p.wait()


def case_arguments(cases, assets=True):
    """The case runners' command line: --exe, --assets (for runners that read
    the button designs), --artifacts and the case. Returns the arguments and
    the case's own artifacts folder, emptied."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    if assets:
        parser.add_argument("--assets", required=True)
    parser.add_argument("--artifacts", required=True)
    parser.add_argument("case", choices=sorted(cases))
    args = parser.parse_args()
    args.exe = os.path.abspath(args.exe)
    artifacts = os.path.join(args.artifacts, args.case)
    shutil.rmtree(artifacts, ignore_errors=True)
    return args, artifacts


def socket_path(path):
    """The path of a Unix socket a test makes, refused when it is longer than
    the kernel takes (107 bytes), with some room to spare."""
    check(len(os.fsencode(path)) <= 100, "socket path over 100 bytes: %s" % path)
    return path


def _die_with_parent():
    # Children die with the driver even if ctest kills it outright.
    try:
        libc = ctypes.CDLL(None, use_errno=True)
        libc.prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG
    except OSError:
        pass


class Session:
    """One Xvfb display, optionally a window manager, and one Kuglovica."""

    def __init__(self, exe, artifacts, window_manager=True):
        self.exe = exe
        self.artifacts = artifacts
        self.window_manager = window_manager
        self.procs = []
        self.app = None
        self.win = None
        self.env = dict(os.environ)
        self.last_shot = None
        self.shots = 0
        self.tmp = None
        self.app_log = None

    # -- processes
    def _spawn(self, argv, **kw):
        p = subprocess.Popen(argv, env=self.env, preexec_fn=_die_with_parent, **kw)
        self.procs.append(p)
        return p

    def __enter__(self):
        missing = [t for t in TOOLS if shutil.which(t) is None]
        if self.window_manager and shutil.which("openbox") is None:
            missing.append("openbox")
        check(not missing, "missing tools: %s (./test.sh installs them)" % " ".join(missing))
        self._make_runtime_dir()
        self.env.pop("WAYLAND_DISPLAY", None)
        self.env["QT_QPA_PLATFORM"] = "xcb"
        for var in ("QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR",
                    "QT_FONT_DPI", "QT_STYLE_OVERRIDE"):
            self.env.pop(var, None)
        self._start_display()
        if self.window_manager:
            self._start_window_manager()
        return self

    def _make_runtime_dir(self):
        # The buses' and the compositor's sockets live here: short, since a
        # socket's path holds 107 bytes at most, and private (mkdtemp's 0700,
        # which Qt and weston demand). The build tree's path may be long.
        os.makedirs(self.artifacts, exist_ok=True)
        self.tmp = tempfile.mkdtemp(prefix="kug-", dir="/tmp")
        self.env["XDG_RUNTIME_DIR"] = self.tmp

    def __exit__(self, *exc):
        for p in reversed(self.procs):
            if p.poll() is None:
                p.terminate()
        for p in reversed(self.procs):
            try:
                p.wait(timeout=5)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait()
        if self.tmp:
            shutil.rmtree(self.tmp, ignore_errors=True)
        try:
            os.rmdir(self.artifacts)  # only when nothing was kept
        except OSError:
            pass
        return False

    def _start_display(self):
        rfd, wfd = os.pipe()
        xvfb = self._spawn(["Xvfb", "-displayfd", str(wfd), "-screen", "0", "1280x1024x24",
                            "-nolisten", "tcp", "-noreset"], pass_fds=(wfd,),
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(wfd)
        number = b""
        deadline = time.monotonic() + 30
        with os.fdopen(rfd, "rb") as pipe:
            while not number.endswith(b"\n") and time.monotonic() < deadline:
                chunk = pipe.read(1)
                if not chunk:
                    break
                number += chunk
        check(number.strip().isdigit(), "Xvfb did not report a display (exit %s)" % xvfb.poll())
        self.env["DISPLAY"] = ":" + number.strip().decode()

    def _start_window_manager(self):
        self._spawn(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL,
                    stderr=subprocess.DEVNULL)
        self.wait_until(lambda: "window id" in self.run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check_rc=False),
            20, "the window manager to start")
        # Openbox announces itself before it handles map requests, and a
        # window mapped in between is never shown. Probe windows, opened
        # until one is shown, prove that it has come that far.
        deadline = time.monotonic() + 60
        for attempt in range(1, 1000):
            probe = self._spawn(["xev", "-name", "kug-wm-probe"], stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
            try:
                self.wait_until(lambda: self.run(["xdotool", "search", "--onlyvisible", "--name",
                                                  "^kug-wm-probe$"], check_rc=False).strip(),
                                3, "the window manager to show a window")
                shown = True
            except CheckFailed:
                shown = False
            probe.terminate()
            probe.wait(timeout=10)
            if shown:
                if attempt > 1:
                    print("window manager ready after %d probe windows" % attempt)
                return
            check(time.monotonic() < deadline, "the window manager shows no window")

    def run(self, argv, check_rc=True, timeout=30, input_bytes=None):
        r = subprocess.run(argv, env=self.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                           timeout=timeout, input=input_bytes)
        if check_rc and r.returncode != 0:
            raise CheckFailed("%s failed (%d): %s" % (" ".join(argv), r.returncode,
                                                      r.stderr.decode(errors="replace")))
        return r.stdout.decode(errors="replace")

    def start_app(self):
        self.app_log = os.path.join(self.tmp, "kuglovica.log")
        with open(self.app_log, "ab") as log:
            self.app = self._spawn([self.exe], stdout=log, stderr=subprocess.STDOUT)
        self.win = None

        def found():
            check(self.alive(), "the program ended at start with status %s" % self.app.poll())
            ids = self.visible_windows()
            if ids:
                self.win = ids[0]
            return self.win is not None

        self.wait_until(found, 30, "the Kuglovica window to appear")
        self.wait_until(lambda: self.geometry()[2:] != (1, 1), 10, "the window to get its size")
        self.settle()
        return self.win

    def alive(self):
        return self.app is not None and self.app.poll() is None

    def stop_app(self):
        if self.alive():
            stop_process(self.app)

    # -- waiting
    def wait_until(self, predicate, timeout, what, interval=0.05):
        deadline = time.monotonic() + timeout
        while True:
            if predicate():
                return
            if time.monotonic() > deadline:
                raise CheckFailed("timed out after %gs waiting for %s" % (timeout, what))
            time.sleep(interval)

    def eventually(self, attempt, timeout=10, interval=0.1):
        """Run `attempt` until it raises no CheckFailed; after `timeout`
        seconds the last failure stands. Returns what `attempt` returned."""
        deadline = time.monotonic() + timeout
        while True:
            try:
                return attempt()
            except CheckFailed:
                if time.monotonic() > deadline:
                    raise
            time.sleep(interval)

    def settle(self, seconds=0.4):
        """Give the program time to handle the input just sent."""
        time.sleep(seconds)

    # -- windows
    def visible_windows(self, name="^Kuglovica$"):
        out = self.run(["xdotool", "search", "--onlyvisible", "--name", name], check_rc=False)
        return [int(w) for w in out.split()]

    def about_boxes(self):
        """Visible windows named like the program that are transient for the
        main window: the About box."""
        boxes = []
        for w in self.visible_windows():
            if w == self.win:
                continue
            owner = self.run(["xprop", "-id", str(w), "WM_TRANSIENT_FOR"], check_rc=False)
            m = re.search(r"window id # (0x[0-9a-fA-F]+)", owner)
            if m and int(m.group(1), 16) == self.win:
                boxes.append(w)
        return boxes

    def info(self, win=None):
        return self.run(["xwininfo", "-id", str(win or self.win)])

    def geometry(self, win=None):
        """(absolute x, absolute y, inner width, inner height)."""
        out = self.info(win)

        def field(name):
            return int(re.search(name + r":\s+(-?\d+)", out).group(1))

        return (field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"),
                field("Height"))

    def map_state(self):
        return re.search(r"Map State:\s+(\w+)", self.info()).group(1)

    def title(self):
        return self.run(["xdotool", "getwindowname", str(self.win)]).strip()

    # -- input
    def click(self, x, y, button=1):
        self.run(["xdotool", "mousemove", "--window", str(self.win), str(x), str(y)])
        self.run(["xdotool", "click", str(button)])

    def double_click(self, x, y):
        # One xdotool run for the move and both clicks, 20 ms apart: a busy
        # machine then has little room to stretch the pair beyond the
        # double-click interval, which would make it two single clicks.
        self.run(["xdotool", "mousemove", "--window", str(self.win), str(x), str(y),
                  "click", "--repeat", "2", "--delay", "20", "1"])

    def type_text(self, text):
        if text:
            # from stdin, so that a text like "-7" is not taken for an option
            self.run(["xdotool", "type", "--delay", "25", "--file", "-"],
                     input_bytes=text.encode())

    def key(self, *keys):
        # Keys go to the focused window: sending them to a window with
        # --window uses synthetic events that can leave a key stuck down.
        self.run(["xdotool", "key", "--delay", "40"] + list(keys))

    def resize(self, width, height):
        self.run(["xdotool", "windowsize", str(self.win), str(width), str(height)])

    # -- pictures
    def screenshot(self, win=None):
        argv = ["import", "-silent", "-window", str(win or self.win), "-depth", "8", "ppm:-"]
        for _attempt in range(5):
            # a window that was just mapped again can refuse a grab for a moment
            r = subprocess.run(argv, env=self.env, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, timeout=30)
            if r.returncode == 0:
                break
            time.sleep(0.2)
        else:
            raise CheckFailed("screenshot failed: %s" % r.stderr.decode(errors="replace").strip())
        self.last_shot = Image.from_ppm(r.stdout)
        return self.last_shot

    def save(self, image, name):
        os.makedirs(self.artifacts, exist_ok=True)
        header = b"P6\n%d %d\n255\n" % (image.width, image.height)
        path = os.path.join(self.artifacts, name + ".png")
        subprocess.run(["convert", "ppm:-", path], input=header + image.data, check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path

    def save_failure_pictures(self):
        saved = []
        log = getattr(self, "app_log", None)
        if log and os.path.exists(log) and os.path.getsize(log) > 0:
            shutil.copy(log, os.path.join(self.artifacts, "kuglovica.log"))
            saved.append(os.path.join(self.artifacts, "kuglovica.log"))
        if self.last_shot is not None:
            saved.append(self.save(self.last_shot, "last-screenshot"))
        if "DISPLAY" in self.env:
            tree = subprocess.run(["xwininfo", "-root", "-tree"], env=self.env,
                                  stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=30)
            path = os.path.join(self.artifacts, "windows.txt")
            with open(path, "wb") as out:
                state = "running" if self.alive() else "ended (%s)" % (
                    self.app.poll() if self.app else "never started")
                out.write(b"kuglovica: %s\n\n" % state.encode() + tree.stdout)
                for w in self.run(["xdotool", "search", "--name", "Kuglovica"],
                                  check_rc=False).split():
                    info = self.run(["xwininfo", "-id", w], check_rc=False)
                    props = self.run(["xprop", "-id", w, "WM_STATE", "_NET_WM_STATE",
                                      "WM_NORMAL_HINTS"], check_rc=False)
                    out.write(("\n--- %s\n%s%s" % (w, info, props)).encode())
            saved.append(path)
            path = os.path.join(self.artifacts, "screen.png")
            r = subprocess.run(["import", "-silent", "-window", "root", path], env=self.env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
            if r.returncode == 0:
                saved.append(path)
        return saved


def run_case(session, run, name, failures=()):
    """Runs one case in its session and returns the process's exit status:
    PASS or FAIL and why on stdout, the pictures of a failure kept. ctest
    stops a test with SIGTERM on a timeout: it unwinds here, so that the
    display and the program are stopped too."""
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    try:
        with session:
            try:
                run(session)
            except BaseException:
                saved = session.save_failure_pictures()
                if saved:
                    print("kept: " + ", ".join(saved))
                raise
    except (CheckFailed,) + tuple(failures) as failure:
        print("FAIL %s: %s" % (name, failure))
        return 1
    except Exception:
        traceback.print_exc()
        return 1
    print("PASS %s" % name)
    return 0
