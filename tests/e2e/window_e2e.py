#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""End-to-end checks of the Kuglovica window under a real X server.

Each case starts its own Xvfb display (with the openbox window manager unless
the case says otherwise) and its own Kuglovica, drives it with xdotool and
reads back screenshots, window names and geometry, and the process state.
Everything is stopped again when the case ends, also when it fails; the
screenshots of a failing case are kept in the artefact directory.

    window_e2e.py --exe build/kuglovica --assets assets --artifacts DIR CASE
"""

import os
import shutil
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from kug_x11 import (AREA_BORDER, BLACK, CHECKS, DESIGNED_INNER, LABELS, MINIMUM_INNER, NAVY,
                     RED, Board, CheckFailed, Session, area_size, bar_unit, binomial_pmf,
                     button_rect, case_arguments, centre, check, check_point, chi_square_p,
                     field_point, in_gumbi, in_params, max_balls, merge_tails, normalised,
                     run_case, xpm_points)

ASSETS = None  # set from the command line


# ------------------------------------------------------------------ helpers


def button_pictures():
    pictures = {}
    for name, stem in (("startcmd", "play"), ("stopcmd", "pause"), ("fullstopcmd", "stop")):
        pictures[name] = {
            "normal": xpm_points(os.path.join(ASSETS, stem + ".xpm")),
            "disabled": xpm_points(os.path.join(ASSETS, stem + "_disabled.xpm")),
        }
    pictures["exitcmd"] = {"normal": xpm_points(os.path.join(ASSETS, "exit.xpm"))}
    return pictures


IDLE = {"startcmd": "normal", "stopcmd": "disabled", "fullstopcmd": "disabled"}
RUNNING = {"startcmd": "disabled", "stopcmd": "normal", "fullstopcmd": "normal"}
PAUSED = {"startcmd": "normal", "stopcmd": "disabled", "fullstopcmd": "normal"}


def buttons_shown(image, pictures):
    """Which picture each run button shows: 'normal', 'disabled' or '?'."""
    shown = {}
    for name in ("startcmd", "stopcmd", "fullstopcmd"):
        navy = normalised(image.points(button_rect(image.width, name), NAVY))
        shown[name] = next((state for state, pts in pictures[name].items() if pts == navy), "?")
    return shown


def board_of(image, columns):
    W, H = area_size(image.width, image.height)
    return Board(W, H, columns)


def bar_counts(image, board, unit):
    """Balls per bin read from the red bars: a bar of k balls is k * unit + 1
    pixels tall, standing one pixel above the floor, one inside each wall."""
    counts = []
    for k in range(1, board.n + 1):
        left = board.bin_left(k)
        x = board.pixel(left + board.c) + AREA_BORDER
        bottom = int(board.floor_y() - 1) + AREA_BORDER
        rows = 0
        while image.pixel(x, bottom - rows) == RED:
            rows += 1
        if rows == 0:
            counts.append(0)
            continue
        check((rows - 1) % unit == 0,
              "bin %d: red bar of %d pixels is not a whole number of balls of %d" %
              (k, rows, unit))
        for edge in (left + 1, left + 2 * board.c - 1):
            check(image.pixel(board.pixel(edge) + AREA_BORDER, bottom) == RED,
                  "bin %d: bar does not reach x=%g" % (k, edge))
        counts.append((rows - 1) // unit)
    return counts


def area_bytes(image):
    W, H = area_size(image.width, image.height)
    return image.crop_bytes(AREA_BORDER, AREA_BORDER, W, H)


def picture_is_still(s, seconds=2.0):
    """The board has stopped changing: once two screenshots a moment apart
    agree (a repaint still on its way has arrived), it stays the same through
    several more over `seconds`. At any speed a running ball moves many times
    in that span, even on a machine too busy to give it every tick."""
    def settled():
        first = area_bytes(s.screenshot())
        time.sleep(0.3)
        return area_bytes(s.screenshot()) == first

    try:
        s.wait_until(settled, 10, "the board to settle", interval=0.1)
    except CheckFailed:
        return False
    still = area_bytes(s.last_shot)
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        time.sleep(seconds / 5)
        if area_bytes(s.screenshot()) != still:
            return False
    return True


def after_handled(s):
    """Waits until the program has handled every input sent so far. A click on
    "Teorijska raspodjela" ticks or clears it, which shows only once the
    events before it are done; an About box opened by one of them would hold
    the click back and show itself instead."""
    w = s.geometry()[2]
    x, y, _w, h = in_params(w, CHECKS["teorijskachk"])
    indicator = (x, y, 16, h)
    before = s.screenshot().crop_bytes(*indicator)
    s.click(*check_point(w, "teorijskachk"))
    s.wait_until(lambda: s.about_boxes() or s.screenshot().crop_bytes(*indicator) != before, 10,
                 "the program to handle the input")


def wait_for_buttons(s, pictures, wanted, timeout, what, extra=None):
    def ready():
        image = s.screenshot()
        return buttons_shown(image, pictures) == wanted and (extra is None or extra(image))

    s.wait_until(ready, timeout, what, interval=0.1)
    return s.last_shot


def set_field(s, name, text):
    """Click into a field (which selects its text), type over it, Tab away."""
    x, y = field_point(s.geometry()[2], name)
    s.click(x, y)
    s.settle(0.15)
    if text:
        s.type_text(text)
    else:
        s.key("BackSpace")
    s.key("Tab")
    s.settle(0.2)


def field_to_bound(s, name):
    """Double-click a field, which fills in its upper bound, then Tab away."""
    x, y = field_point(s.geometry()[2], name)
    s.double_click(x, y)
    s.settle(0.15)
    s.key("Tab")
    s.settle(0.2)


def clipboard(s):
    r = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=s.env,
                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=10)
    return r.stdout.decode(errors="replace") if r.returncode == 0 else None


def field_text(s, name):
    """What a field shows, copied out the way a user would: click into it,
    Ctrl+A, Ctrl+C, then read the clipboard."""
    check(shutil.which("xclip") is not None, "xclip is missing (./test.sh installs it)")
    sentinel = "clipboard-before-copy"
    holder = s._spawn(["xclip", "-quiet", "-selection", "clipboard", "-i"], stdin=subprocess.PIPE,
                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    holder.stdin.write(sentinel.encode())
    holder.stdin.close()
    s.wait_until(lambda: clipboard(s) == sentinel, 10, "the clipboard to hold a marker")
    x, y = field_point(s.geometry()[2], name)
    s.click(x, y)
    s.settle(0.15)
    s.key("ctrl+a", "ctrl+c")
    s.wait_until(lambda: clipboard(s) not in (None, sentinel), 10, "%s to copy its text" % name)
    return clipboard(s)


def black_centroid(image, x, y, reach):
    pts = [(xx, yy) for yy in range(y - reach, y + reach + 1)
           for xx in range(x - reach, x + reach + 1) if image.pixel(xx, yy) == BLACK]
    check(pts, "no black pixel near (%d, %d)" % (x, y))
    return (sum(p[0] for p in pts) / len(pts), sum(p[1] for p in pts) / len(pts), pts)


def check_peg(image, board, i, j, name="peg"):
    ex, ey = board.to_win(*board.peg(i, j))
    reach = max(1, board.c // 2)  # stays clear of the wall a cell below
    cx, cy, pts = black_centroid(image, int(ex), int(ey), reach)
    check(abs(cx - ex) <= 1 and abs(cy - ey) <= 1,
          "%s centre at (%.1f, %.1f), expected (%g, %g) within 1 pixel" % (name, cx, cy, ex, ey))
    span = max(p[0] for p in pts) - min(p[0] for p in pts) + 1
    check(span <= 2 * board.c / 3 + 3, "%s is %d pixels wide" % (name, span))


def black_run(image, x, y, dx, dy):
    """Length of the black run from (x, y) in direction (dx, dy), (x, y) excluded."""
    n = 0
    while image.pixel(x + (n + 1) * dx, y + (n + 1) * dy) == BLACK:
        n += 1
    return n


def check_wall(image, board, x_area):
    top, floor = board.y_top, board.floor_y()
    mid = int((top + floor) / 2) + AREA_BORDER
    xw = int(round(x_area)) + AREA_BORDER
    column = next((x for x in (xw, xw - 1, xw + 1) if image.pixel(x, mid) == BLACK), None)
    check(column is not None, "no wall near x=%g (window %d)" % (x_area, xw))
    first = mid - black_run(image, column, mid, 0, -1)
    last = mid + black_run(image, column, mid, 0, 1)
    check(abs(first - (top + AREA_BORDER)) <= 1 and abs(last - (floor + AREA_BORDER)) <= 1,
          "wall at x=%d runs from y=%d to %d, expected %g to %g" %
          (column, first, last, top + AREA_BORDER, floor + AREA_BORDER))


def check_board(image, board):
    """Top peg, every wall and the floor where the drawing rules put them.
    A peg is a third of the ball's radius, under a pixel on a board of many
    columns, but it must still show."""
    check_peg(image, board, 1, 1, "top peg")
    if board.n > 2:
        check_peg(image, board, board.n - 1, 1, "first peg of the last row")
    for k in range(1, board.n + 1):
        check_wall(image, board, board.bin_left(k))
    check_wall(image, board, board.bin_left(board.n) + 2 * board.c)
    fy = int(board.floor_y()) + AREA_BORDER
    x0 = int(board.bin_left(1)) + AREA_BORDER + 1
    row = next((y for y in (fy, fy - 1, fy + 1) if image.pixel(x0, y) == BLACK), None)
    check(row is not None, "no floor near y=%d" % fy)
    first = x0 - black_run(image, x0, row, -1, 0)
    last = x0 + black_run(image, x0, row, 1, 0)
    expected_last = board.bin_left(board.n) + 2 * board.c + AREA_BORDER
    check(abs(first - (board.bin_left(1) + AREA_BORDER)) <= 1 and abs(last - expected_last) <= 1,
          "floor at y=%d runs from x=%d to %d, expected %g to %g" %
          (row, first, last, board.bin_left(1) + AREA_BORDER, expected_last))


def count_walls(image, board):
    y = int(board.y_top + 4 * board.c) + AREA_BORDER
    W, _H = area_size(image.width, image.height)
    runs, inside = 0, False
    for x in range(AREA_BORDER, AREA_BORDER + W):
        black = image.pixel(x, y) == BLACK
        runs += black and not inside
        inside = black
    return runs


def start_animated(s, pictures, balls, speed_to_max=False):
    set_field(s, "kuglicetxt", str(balls))
    if speed_to_max:
        field_to_bound(s, "brzinatxt")
    s.click(*centre(button_rect(s.geometry()[2], "startcmd")))
    return wait_for_buttons(s, pictures, RUNNING, 10, "the running buttons")


# -------------------------------------------------------------------- cases


def case_startup(s):
    s.start_app()
    pictures = button_pictures()
    check(s.alive(), "the program ended by itself")
    check(s.title() == "Kuglovica", "window title is %r" % s.title())
    _x, _y, w, h = s.geometry()
    check((w, h) == DESIGNED_INNER, "inner size %dx%d, expected %dx%d" % ((w, h) + DESIGNED_INNER))
    image = s.screenshot()
    board = board_of(image, 2)
    # the worked example: a 232 x 351 area, cell 21, peg at (116, 63),
    # walls at x = 74, 116, 158 from y = 84 down to the floor at 252
    check((board.W, board.H, board.c) == (232, 351, 21), "unexpected board %r" % vars(board))
    check_board(image, board)
    shown = buttons_shown(image, pictures)
    check(shown == IDLE, "start-up buttons show %r" % shown)
    exit_navy = normalised(image.points(button_rect(image.width, "exitcmd"), NAVY))
    check(exit_navy == pictures["exitcmd"]["normal"], "the exit button lacks its picture")
    check(bar_counts(image, board, 167) == [0, 0], "bars on the empty board")
    for name, text in (("stupcitxt", "2"), ("kuglicetxt", "1"), ("brzinatxt", "1")):
        got = field_text(s, name)
        check(got == text, "%s shows %r at start-up, expected %r" % (name, got, text))


def wait_for_about(s, what):
    s.wait_until(lambda: len(s.about_boxes()) == 1, 10, "the About box after " + what)
    box = s.about_boxes()[0]
    name = s.run(["xdotool", "getwindowname", str(box)]).strip()
    check(name == "Kuglovica", "About box titled %r" % name)
    _x, _y, w, h = s.geometry(box)
    check(w < 400 and h < 300, "About box is %dx%d" % (w, h))
    s.screenshot(box)
    s.run(["xdotool", "windowactivate", "--sync", str(box)])
    s.key("Return")
    s.wait_until(lambda: not s.about_boxes(), 10, "the About box to close after " + what)
    check(s.alive(), "the program ended with the About box")


def case_about(s):
    s.start_app()
    w = s.geometry()[2]
    nothing = {
        "the disabled pause button": centre(button_rect(w, "stopcmd")),
        "the disabled stop button": centre(button_rect(w, "fullstopcmd")),
        "the parameter frame's caption": (in_params(w, (4, 0, 0, 0))[0] + 4, 11),
        "the parameter frame's inside": in_params(w, (86, 147, 0, 0))[:2],
        "the label \"Broj stupaca:\"": centre(in_params(w, LABELS["stupcilbl"])),
        "the button frame": in_gumbi(w, (101, 20, 0, 0))[:2],
        "the disabled \"Zvuk\" box": check_point(w, "Check1"),
    }
    for what, (x, y) in nothing.items():
        s.double_click(x, y)
        after_handled(s)
        check(not s.about_boxes(), "a double-click on %s opened the About box" % what)
    check(s.alive(), "the program ended")
    s.double_click(300, 330)  # the bare window below the frames
    wait_for_about(s, "a double-click on the bare window")
    s.double_click(100, 150)  # the drawing area
    wait_for_about(s, "a double-click on the drawing area")
    # a double-click on the enabled start button starts a run, and the About
    # box still opens from the drawing area while the ball flies
    pictures = button_pictures()
    s.double_click(*centre(button_rect(w, "startcmd")))
    wait_for_buttons(s, pictures, RUNNING, 10, "the start button to start a run")
    # a pause shows only once the double-click is handled; a box would hold it
    s.click(*centre(button_rect(w, "stopcmd")))
    s.wait_until(lambda: s.about_boxes() or buttons_shown(s.screenshot(), pictures) == PAUSED,
                 10, "the pause after the double-click")
    check(not s.about_boxes(), "a double-click on the start button opened the About box")
    s.click(*centre(button_rect(w, "startcmd")))
    wait_for_buttons(s, pictures, RUNNING, 10, "the run to go on")
    s.double_click(100, 300)
    wait_for_about(s, "a double-click on the drawing area during a run")


def case_animated_run(s):
    s.start_app()
    pictures = button_pictures()
    set_field(s, "kuglicetxt", "3")
    field_to_bound(s, "brzinatxt")
    image = s.screenshot()
    board = board_of(image, 2)
    unit = bar_unit(board.c, 3)
    check(unit == 84, "bar unit for 3 balls at cell 21 is %d" % unit)
    s.click(*centre(button_rect(image.width, "startcmd")))
    image = wait_for_buttons(s, pictures, IDLE, 120, "the run of 3 balls to end by itself",
                             extra=lambda im: sum(bar_counts(im, board, unit)) == 3)
    counts = bar_counts(image, board, unit)
    check(sum(counts) == 3, "histogram holds %r" % counts)
    check(picture_is_still(s), "the board still changes after the run ended")
    check_board(s.last_shot, board)
    # no remaining-balls line once the last ball has landed
    text_zone = s.last_shot.points((AREA_BORDER, AREA_BORDER, 120, 20), BLACK)
    check(not text_zone, "something is written in the top-left corner after the run")
    check(s.alive(), "the program ended")


def flying_ball(image, board):
    """Red pixels above the bins: the ball on its way down."""
    W, _H = area_size(image.width, image.height)
    return image.points((AREA_BORDER, AREA_BORDER, W, int(board.y_top) - 1), RED)


def case_pause_resume(s):
    s.start_app()
    pictures = button_pictures()
    image = start_animated(s, pictures, 3)  # speed 1: a tick every 100 ms
    board = board_of(image, 2)
    unit = bar_unit(board.c, 3)
    w = image.width
    # let the first ball land, then pause the second one in flight
    s.wait_until(lambda: sum(bar_counts(s.screenshot(), board, unit)) == 1, 60,
                 "the first ball to land", interval=0.1)
    s.click(*centre(button_rect(w, "stopcmd")))
    image = wait_for_buttons(s, pictures, PAUSED, 10, "the paused buttons")
    check(picture_is_still(s, 1.5), "the ball kept moving while paused")
    paused = s.last_shot
    check(sum(bar_counts(paused, board, unit)) == 1, "the pause changed the histogram")
    s.click(*centre(button_rect(w, "startcmd")))
    wait_for_buttons(s, pictures, RUNNING, 10, "the running buttons after resuming")
    s.wait_until(lambda: area_bytes(s.screenshot()) != area_bytes(paused), 10,
                 "the ball to move on after resuming", interval=0.05)
    # a resume goes on with the same run: the first ball's bar is still there
    counts = bar_counts(s.last_shot, board, unit)
    check(sum(counts) >= 1, "resuming cleared the histogram: %r" % counts)
    image = wait_for_buttons(s, pictures, IDLE, 60, "the run to end after resuming",
                             extra=lambda im: sum(bar_counts(im, board, unit)) == 3)
    # a second run, paused and then aborted
    image = start_animated(s, pictures, 3)
    s.wait_until(lambda: flying_ball(s.screenshot(), board), 10, "the ball of the second run")
    s.click(*centre(button_rect(w, "stopcmd")))
    wait_for_buttons(s, pictures, PAUSED, 10, "the paused buttons of the second run")
    s.click(*centre(button_rect(w, "fullstopcmd")))
    wait_for_buttons(s, pictures, IDLE, 10, "the idle buttons after the abort")
    check(flying_ball(s.last_shot, board), "the abort wiped the ball, which must stay drawn")
    check(picture_is_still(s), "the board changes after the abort")


def case_fast_max_run(s):
    s.start_app()
    pictures = button_pictures()
    field_to_bound(s, "stupcitxt")
    field_to_bound(s, "kuglicetxt")
    image = s.screenshot()
    start_board = board_of(image, 2)  # the largest ball count comes from the start-up board
    most = max_balls(start_board.c)
    check(most == 250, "largest ball count for cell %d is %d" % (start_board.c, most))
    got = field_text(s, "kuglicetxt")
    check(got == str(most), "a double-click on the ball field gave %r, expected %d" % (got, most))
    got = field_text(s, "stupcitxt")
    check(got == "32", "a double-click on the column field gave %r" % got)
    s.key("Tab")
    board = board_of(image, 32)
    unit = bar_unit(board.c, most)
    s.click(*check_point(image.width, "brzachk"))
    s.eventually(lambda: check_board(s.screenshot(), board))
    s.click(*centre(button_rect(image.width, "startcmd")))
    image = wait_for_buttons(s, pictures, IDLE, 60, "the fast run to finish",
                             extra=lambda im: sum(bar_counts(im, board, unit)) > 0)
    counts = bar_counts(image, board, unit)
    check(sum(counts) == most, "bars hold %d balls, expected %d: %r" % (sum(counts), most, counts))
    expected = [most * p for p in binomial_pmf(31, 0.5)]
    obs, exp = merge_tails(counts, expected)
    stat, dof, p = chi_square_p(obs, exp)
    print("fast run: counts %r; chi-square %.2f on %d degrees of freedom, p = %.4f" %
          (counts, stat, dof, p))
    check(p > 0.001, "the bins do not look binomial: chi-square %.2f, dof %d, p = %.2g" %
          (stat, dof, p))


def case_fast_loop(s):
    s.start_app()
    pictures = button_pictures()
    balls, columns = 20, 5
    set_field(s, "stupcitxt", str(columns))
    set_field(s, "kuglicetxt", str(balls))
    w = s.geometry()[2]
    s.click(*check_point(w, "brzachk"))
    s.click(*check_point(w, "petljachk"))
    image = s.screenshot()
    board = board_of(image, columns)
    unit = bar_unit(board.c, balls)
    s.click(*centre(button_rect(w, "startcmd")))
    looping = {"startcmd": "disabled", "stopcmd": "disabled", "fullstopcmd": "normal"}
    wait_for_buttons(s, pictures, looping, 10, "the looping buttons")
    # every tick draws a fresh sample of all the balls: the picture keeps
    # changing, and each histogram holds exactly the number of balls
    samples = set()

    def new_sample():
        image = s.screenshot()
        counts = bar_counts(image, board, unit)
        check(sum(counts) == balls, "a loop histogram holds %r" % counts)
        samples.add(area_bytes(image))
        return len(samples) >= 4

    s.wait_until(new_sample, 30, "four different histograms from the loop")
    s.click(*centre(button_rect(w, "fullstopcmd")))
    image = wait_for_buttons(s, pictures, IDLE, 10, "the idle buttons after aborting the loop")
    check(sum(bar_counts(image, board, unit)) == balls, "the abort changed the last histogram")
    check(picture_is_still(s), "the loop goes on after the abort")


FIELD_CASES = [
    # typed, column field, ball field, speed field
    ("", "2", "1", "1"),
    ("abc", "2", "1", "1"),
    ("2.5", "2", "2", "2"),
    ("3.5", "4", "4", "4"),
    ("-7", "2", "1", "1"),
    ("1e2", "32", "100", "100"),
    ("1,5", "2", "1", "1"),
    ("7abc", "7", "7", "7"),
    ("1 2", "12", "12", "12"),
    ("&H10", "16", "16", "16"),
]


def case_field_correction(s):
    s.start_app()
    failures = []
    for index, name in enumerate(("stupcitxt", "kuglicetxt", "brzinatxt")):
        for typed, *shown in FIELD_CASES:
            set_field(s, name, typed)
            got = field_text(s, name)
            if got != shown[index]:
                failures.append("%s: typed %r, shows %r, expected %r" %
                                (name, typed, got, shown[index]))
            if name == "stupcitxt":
                s.key("Tab")  # leave the field so the board is drawn for it
                n = int(shown[index])

                def drawn():
                    image = s.screenshot()
                    walls = count_walls(image, board_of(image, n))
                    check(walls == n + 1, "columns %r: %d walls drawn, expected %d" %
                          (typed, walls, n + 1))

                try:
                    s.eventually(drawn, timeout=5)
                except CheckFailed as failure:
                    failures.append(str(failure))
    for name, bound in (("stupcitxt", "32"), ("kuglicetxt", "250"), ("brzinatxt", "100")):
        # the double-click alone fills in the bound; leaving the field keeps it
        s.double_click(*field_point(s.geometry()[2], name))
        got = field_text(s, name)
        if got != bound:
            failures.append("%s: a double-click shows %r, expected %r" % (name, got, bound))
        s.key("Tab")
        got = field_text(s, name)
        if got != bound:
            failures.append("%s: after the double-click and Tab it shows %r, expected %r" %
                            (name, got, bound))
    # a double-click in a text field fills in its bound and opens nothing
    if s.about_boxes():
        failures.append("a double-click in a field opened the About box")
    check(not failures, "; ".join(failures))


def case_resize(s):
    s.start_app()
    pictures = button_pictures()
    for asked, wanted in (((200, 150), MINIMUM_INNER), ((300, 400), (MINIMUM_INNER[0], 400)),
                          ((500, 200), (500, MINIMUM_INNER[1])), ((600, 500), (600, 500))):
        s.resize(*asked)
        s.wait_until(lambda: s.geometry()[2:] == wanted, 10,
                     "%dx%d to become %dx%d" % (asked + wanted))

        def redrawn():
            image = s.screenshot()
            check((image.width, image.height) == wanted, "screenshot is %dx%d" %
                  (image.width, image.height))
            check_board(image, board_of(image, 2))
            return image

        image = s.eventually(redrawn)
        # the button frame sits below the parameter frame, so a low window cuts it off
        # at every size, the minimum included, the whole button frame shows
        check(buttons_shown(image, pictures) == IDLE, "buttons not at the right edge")
    # a resize ends a run in progress
    start_animated(s, pictures, 5)
    s.resize(560, 480)
    wait_for_buttons(s, pictures, IDLE, 10, "the idle buttons after a resize during a run")
    check(picture_is_still(s), "the run goes on after the resize")
    check(s.alive(), "the program ended")


def case_minimise(s):
    s.start_app()
    pictures = button_pictures()
    start_animated(s, pictures, 5)
    s.run(["xdotool", "windowminimize", "--sync", str(s.win)])
    s.wait_until(lambda: s.map_state() == "IsUnMapped", 10, "the window to be minimised")
    s.settle(0.5)
    s.run(["xdotool", "windowactivate", "--sync", str(s.win)])
    s.wait_until(lambda: s.map_state() == "IsViewable", 10, "the window to come back")
    image = wait_for_buttons(s, pictures, IDLE, 10, "the idle buttons after minimising")
    check(s.geometry()[2:] == DESIGNED_INNER, "the window changed size")
    check(picture_is_still(s), "the run goes on after minimising")
    check_board(s.last_shot, board_of(image, 2))


def wait_for_exit(s):
    try:
        code = s.app.wait(timeout=10)
    except subprocess.TimeoutExpired:
        raise CheckFailed("the program is still running 10 s after the exit button")
    check(code == 0, "the program ended with status %d" % code)


def case_exit_idle(s):
    s.start_app()
    s.click(*centre(button_rect(s.geometry()[2], "exitcmd")))
    wait_for_exit(s)


def case_exit_at_minimum(s):
    """Shrunk as far as it goes, the window still shows every button, and the
    exit button still ends the program."""
    s.start_app()
    pictures = button_pictures()
    s.resize(100, 100)
    s.wait_until(lambda: s.geometry()[2:] == MINIMUM_INNER, 10, "the window to stop at its minimum")
    image = s.eventually(lambda: check_buttons_idle(s.screenshot(), pictures))
    exit_navy = normalised(image.points(button_rect(image.width, "exitcmd"), NAVY))
    check(exit_navy == pictures["exitcmd"]["normal"], "the exit button is not shown whole")
    s.click(*centre(button_rect(s.geometry()[2], "exitcmd")))
    wait_for_exit(s)


def check_buttons_idle(image, pictures):
    shown = buttons_shown(image, pictures)
    check(shown == IDLE, "the buttons show %r" % shown)
    return image


def case_exit_running(s):
    s.start_app()
    pictures = button_pictures()
    start_animated(s, pictures, 5)
    s.click(*centre(button_rect(s.geometry()[2], "exitcmd")))
    wait_for_exit(s)


CASES = {
    "startup": (case_startup, True),
    "about": (case_about, True),
    "animated_run": (case_animated_run, True),
    "pause_resume": (case_pause_resume, True),
    "fast_max_run": (case_fast_max_run, True),
    "fast_loop": (case_fast_loop, True),
    "field_correction": (case_field_correction, True),
    "resize": (case_resize, True),
    "resize_bare_x": (case_resize, False),  # no window manager: the program snaps back itself
    "minimise": (case_minimise, True),
    "exit_idle": (case_exit_idle, True),
    "exit_running": (case_exit_running, True),
    "exit_at_minimum": (case_exit_at_minimum, True),
}


def main():
    global ASSETS
    args, artifacts = case_arguments(CASES)
    ASSETS = args.assets
    run, window_manager = CASES[args.case]
    session = Session(args.exe, artifacts, window_manager)
    return run_case(session, run, args.case)


if __name__ == "__main__":
    sys.exit(main())
