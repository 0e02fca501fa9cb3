#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the pictures that high-DPI screens need, from the designs in assets/.

    scripts/draw_pictures.py [assets dir]

Button pictures: each 16 x 16 design gets a 32 x 32 twin, NAME@2x.xpm, which
Qt loads by itself for a screen at scale 2. A solid design is doubled pixel
for pixel. A disabled design is a checkerboard of navy pixels over its shape;
its twin covers the doubled shape with a checkerboard of single pixels, so
that it looks as fine at scale 2 as the original does at scale 1.

Window icons: the 32 x 32 design (grey round pegs above three bins filled in
orange-red on light grey, the same as kuglovica.svg) drawn again at 48 and 64
pixels, as XPM for the window and as PNG for the desktop's icon theme.

    scripts/draw_pictures.py --app-icons DIR

The web app's icons, drawn when the page is built: the design at 192 and 512
pixels, the touch icon iOS puts on the home screen (180), and a maskable
512-pixel one for launchers that cut icons to their own shape (a circle, a
rounded square): the design whole inside the middle circle of 80 % of the
width that every such shape keeps, on the window's grey.

Python standard library only; the output is the same on every run.
"""

import math
import os
import re
import struct
import sys
import zlib

NAVY = "#000080"
BUTTONS = ("play", "pause", "stop", "exit")
DISABLED = ("play_disabled", "pause_disabled", "stop_disabled")
ICON_SIZES = (48, 64)
APP_ICONS = {"icon-192.png": 192, "icon-512.png": 512, "apple-touch-icon.png": 180}
MASKABLE = ("icon-maskable-512.png", 512)
WINDOW_GREY = "#EFEFEF"

# The icon's design in the units of its 32 x 32 version (pixel edges on whole
# numbers), as in kuglovica.svg.
BACKGROUND = "#C0C0C0"
FILL = "#DC4900"
WALL = "#404040"
PEG = "#808080"
PEG_EDGE = "#505050"
PEG_LIGHT = "#E0E0E0"
BINS = [(3, 25, 8, 4), (12, 20, 8, 9), (21, 24, 8, 5)]  # x, y, width, height
WALLS = [(2, 18, 1, 12), (11, 18, 1, 12), (20, 18, 1, 12), (29, 18, 1, 12), (2, 29, 28, 1)]
PEGS = [(16, 6), (11, 13), (21, 13)]
PEG_RADIUS = 2.5  # to the middle of its one-unit edge
LIGHT_RADIUS = 0.7  # the highlight, one unit up and left of the centre


def read_xpm(path):
    """(rows of characters, {character: colour}) of a one-character XPM."""
    strings = re.findall(r'"([^"]*)"', open(path, encoding="ascii").read())
    width, height, ncolours, cpp = (int(v) for v in strings[0].split()[:4])
    if cpp != 1:
        raise ValueError("%s: %d characters per pixel" % (path, cpp))
    colours = {s[0]: s[1:].split()[-1] for s in strings[1:1 + ncolours]}
    rows = [r[:width] for r in strings[1 + ncolours:1 + ncolours + height]]
    return rows, colours


def write_xpm(path, name, rows, colours):
    """colours: [(character, colour)] in the order to list them."""
    lines = ["/* XPM */", "static const char *%s_xpm[] = {" % name,
             "/* columns rows colours chars-per-pixel */",
             '"%d %d %d 1 ",' % (len(rows[0]), len(rows), len(colours))]
    lines += ['"%s c %s",' % (ch, colour) for ch, colour in colours]
    lines.append("/* pixels */")
    lines += ['"%s"%s' % (row, "," if i + 1 < len(rows) else "") for i, row in enumerate(rows)]
    lines.append("};")
    with open(path, "w", encoding="ascii") as out:
        out.write("\n".join(lines) + "\n")


def navy_cells(rows, colours):
    return {(x, y) for y, row in enumerate(rows) for x, ch in enumerate(row)
            if colours[ch].lower() == NAVY.lower()}


def doubled(rows):
    out = []
    for row in rows:
        wide = "".join(ch * 2 for ch in row)
        out += [wide, wide]
    return out


def checkered_shape(cells, size):
    """The shape a checkerboard of cells stands for: the cells, and every cell
    with at least two of them beside it (left, right, above, below), which
    closes the gaps of the pattern but not the space around it."""
    shape = set(cells)
    for y in range(size):
        for x in range(size):
            beside = sum((x + dx, y + dy) in cells for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            if beside >= 2:
                shape.add((x, y))
    return shape


def disabled_twin(rows, colours):
    size = len(rows)
    shape = checkered_shape(navy_cells(rows, colours), size)
    out = []
    for y in range(2 * size):
        out.append("".join("#" if (x // 2, y // 2) in shape and (x + y) % 2 == 0 else "."
                           for x in range(2 * size)))
    return out


def snapped(box, k):
    """A rectangle of the design at k times its size, on whole pixels: its
    left and top edge on the pixel edge at or before them, its sides as long
    as the scale makes them, but never under a pixel. Walls of one unit come
    out equally thick, and the floor ends where the last wall does."""
    bx, by, bw, bh = box
    x, y = int(bx * k), int(by * k)
    return (x, y, max(1, int(bw * k + 0.5)), max(1, int(bh * k + 0.5)))


def icon_pixel(px, py, k):
    """The colour of pixel (px, py) of the icon drawn k times the size of its
    32-unit design. A peg keeps its proportions: an edge as thick as the
    design's one unit at this scale, and a highlight up and left of its
    centre."""
    x, y = px + 0.5, py + 0.5
    edge = max(1, int(k + 0.5))
    for cx, cy in PEGS:
        d = math.hypot(x - cx * k, y - cy * k)
        if d <= (PEG_RADIUS + 0.5) * k:
            if d > (PEG_RADIUS + 0.5) * k - edge:
                return PEG_EDGE
            if math.hypot(x - (cx - 1) * k, y - (cy - 1) * k) <= LIGHT_RADIUS * k:
                return PEG_LIGHT
            return PEG
    for box in WALLS:
        bx, by, bw, bh = snapped(box, k)
        if bx <= px < bx + bw and by <= py < by + bh:
            return WALL
    for box in BINS:
        bx, by, bw, bh = snapped(box, k)
        if bx <= px < bx + bw and by <= py < by + bh:
            return FILL
    return BACKGROUND


def draw_icon(size):
    k = size / 32
    keys = {BACKGROUND: ".", FILL: "r", WALL: "#", PEG: "o", PEG_EDGE: "x", PEG_LIGHT: "+"}
    grid = [[icon_pixel(px, py, k) for px in range(size)] for py in range(size)]
    rows = ["".join(keys[c] for c in row) for row in grid]
    return rows, [(ch, colour) for colour, ch in keys.items()], grid


def maskable_icon(size):
    """The design, its corners included, inside the circle of 80 % of `size`
    about the middle, at a whole number of pixels per unit (sharp), on the
    window's grey."""
    units = int(0.4 * size * 2 / math.sqrt(2)) // 32  # half the diagonal within the radius
    design = draw_icon(32 * units)[2]
    start = (size - len(design)) // 2
    grid = [[WINDOW_GREY] * size for _ in range(size)]
    for y, row in enumerate(design):
        grid[start + y][start:start + len(row)] = row
    return grid


def write_app_icons(out):
    os.makedirs(out, exist_ok=True)
    for name, size in APP_ICONS.items():
        write_png(os.path.join(out, name), draw_icon(size)[2])
    write_png(os.path.join(out, MASKABLE[0]), maskable_icon(MASKABLE[1]))


def write_png(path, grid):
    """An 8-bit RGBA PNG, opaque, of a grid of "#RRGGBB" colours."""
    raw = b""
    for row in grid:
        raw += b"\0" + b"".join(bytes.fromhex(c[1:]) + b"\xff" for c in row)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", len(grid[0]), len(grid), 8, 6, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                  chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    if sys.argv[1:2] == ["--app-icons"] and len(sys.argv) == 3:
        write_app_icons(sys.argv[2])
        return 0
    assets = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "assets")
    two_colours = [("#", NAVY), (".", "None")]
    for name in BUTTONS + DISABLED:
        rows, colours = read_xpm(os.path.join(assets, name + ".xpm"))
        twin = disabled_twin(rows, colours) if name in DISABLED else doubled(rows)
        write_xpm(os.path.join(assets, name + "@2x.xpm"), name + "_2x", twin, two_colours)
    for size in ICON_SIZES:
        rows, colours, grid = draw_icon(size)
        write_xpm(os.path.join(assets, "icon%d.xpm" % size), "icon%d" % size, rows, colours)
        write_png(os.path.join(assets, "icon%d.png" % size), grid)
    return 0


if __name__ == "__main__":
    sys.exit(main())
