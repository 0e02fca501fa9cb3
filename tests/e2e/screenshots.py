#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Takes the README's pictures from the real window on a private Xvfb display.

    screenshots.py --exe build/release/kuglovica --out docs/screenshots

animated-run.png  an animated run of 9 columns, paused with a ball in flight
                  and its trace on, the theoretical bars behind the histogram
fast-run.png      a fast run of the largest number of balls on 32 columns,
                  with the theoretical bars
fast-run-scale2.png  the same on a screen at scale 2 (QT_SCALE_FACTOR=2)

    screenshots.py ... --take fast_run_scale2   takes only the pictures named
"""

import argparse
import os
import shutil
import sys
import tempfile

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from kug_x11 import (AREA_BORDER, RED, Session, area_size, bar_unit, centre, check,
                     check_point, field_point)
from window_e2e import (IDLE, PAUSED, RUNNING, Board, area_bytes, bar_counts, button_pictures,
                        buttons_shown, button_rect, field_to_bound, set_field)
import window_e2e

WINDOW = (760, 560)


def board_now(s, columns):
    _x, _y, w, h = s.geometry()
    return Board(*area_size(w, h), columns)


def wait_buttons(s, pictures, wanted, timeout, what):
    s.wait_until(lambda: buttons_shown(s.screenshot(), pictures) == wanted, timeout, what, 0.1)


def animated_run(s, out):
    s.start_app()
    pictures = button_pictures()
    s.resize(*WINDOW)
    s.wait_until(lambda: s.geometry()[2:] == WINDOW, 10, "the window to grow")
    columns, balls = 9, 40
    set_field(s, "stupcitxt", str(columns))
    set_field(s, "kuglicetxt", str(balls))
    set_field(s, "brzinatxt", "85")
    w = WINDOW[0]
    s.click(*check_point(w, "tragchk"))
    s.click(*check_point(w, "teorijskachk"))
    s.settle()
    board = board_now(s, columns)
    unit = bar_unit(board.c, balls)
    s.click(*centre(button_rect(w, "startcmd")))
    wait_buttons(s, pictures, RUNNING, 10, "the run to start")

    def ball_low_enough():
        image = s.screenshot()
        if sum(bar_counts(image, board, unit)) < 12:
            return False
        W, _H = area_size(image.width, image.height)
        ball = image.points((AREA_BORDER, AREA_BORDER, W, int(board.y_top)), RED)
        middle_row_y = board.peg(columns // 2, 1)[1] + AREA_BORDER
        return bool(ball) and min(y for _x, y in ball) > middle_row_y

    s.wait_until(ball_low_enough, 120, "a ball half-way down with a dozen landed", 0.02)
    s.click(*centre(button_rect(w, "stopcmd")))
    wait_buttons(s, pictures, PAUSED, 10, "the pause")
    print(s.save(s.screenshot(), os.path.join(out, "animated-run")))


def fast_run(s, out):
    s.start_app()
    pictures = button_pictures()
    s.resize(*WINDOW)
    s.wait_until(lambda: s.geometry()[2:] == WINDOW, 10, "the window to grow")
    field_to_bound(s, "stupcitxt")
    field_to_bound(s, "kuglicetxt")
    w = WINDOW[0]
    s.click(*check_point(w, "brzachk"))
    s.click(*check_point(w, "teorijskachk"))
    s.settle()
    board = board_now(s, 32)
    s.click(*centre(button_rect(w, "startcmd")))

    def finished():
        image = s.screenshot()
        return buttons_shown(image, pictures) == IDLE and any(bar_counts(image, board, 1))

    s.wait_until(finished, 60, "the fast run", 0.1)
    check(sum(bar_counts(s.last_shot, board, 1)) == 250, "the fast run drew the wrong count")
    print(s.save(s.last_shot, os.path.join(out, "fast-run")))


def fast_run_scale2(s, out):
    """The fast run on a screen at scale 2: every logical pixel is two device
    pixels each way, and so is every point the pointer goes to."""
    scale, logical = 2, (600, 470)
    s.env["QT_SCALE_FACTOR"] = str(scale)
    s.start_app()
    device = tuple(v * scale for v in logical)
    s.resize(*device)
    s.wait_until(lambda: s.geometry()[2:] == device, 10, "the window to grow")

    def to_device(point):
        return tuple(v * scale for v in point)

    w = logical[0]
    for name in ("stupcitxt", "kuglicetxt"):
        s.double_click(*to_device(field_point(w, name)))  # the upper bound
        s.settle(0.15)
        s.key("Tab")
        s.settle(0.2)
    s.click(*to_device(check_point(w, "brzachk")))
    s.click(*to_device(check_point(w, "teorijskachk")))
    s.settle()
    s.click(*to_device(centre(button_rect(w, "startcmd"))))
    last = [None]

    def finished():
        image = s.screenshot()
        shown = area_bytes(image)
        still = shown == last[0]
        last[0] = shown
        return still and image.points((0, 0, image.width // 2, image.height), RED)

    s.wait_until(finished, 60, "the fast run at scale 2", 0.5)
    print(s.save(s.last_shot, os.path.join(out, "fast-run-scale2")))


TAKES = {"animated_run": animated_run, "fast_run": fast_run, "fast_run_scale2": fast_run_scale2}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--assets", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--take", action="append", choices=sorted(TAKES),
                        help="take only these pictures (default: all)")
    args = parser.parse_args()
    window_e2e.ASSETS = args.assets
    out = os.path.abspath(args.out)
    os.makedirs(out, exist_ok=True)
    scratch = tempfile.mkdtemp(prefix="kuglovica-shots-")
    try:
        for take in (TAKES[name] for name in args.take or TAKES):
            with Session(os.path.abspath(args.exe), scratch) as s:
                take(s, out)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
