#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Converts the button pictures' XPM designs to PNG for the web page.

    scripts/xpm_to_png.py OUT_DIR XPM...

Each NAME.xpm becomes OUT_DIR/NAME.png, pixel for pixel, with "None" as
transparent. Python standard library only; the output is the same on every
run, and a PNG newer than its design is left alone.
"""

import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from draw_pictures import read_xpm  # noqa: E402  (the one XPM reader)


def rgba(colour):
    if colour.lower() == "none":
        return b"\0\0\0\0"
    if not colour.startswith("#") or len(colour) != 7:
        raise ValueError("colour %r is not #RRGGBB or None" % colour)
    return bytes.fromhex(colour[1:]) + b"\xff"


def png(rows, colours):
    raw = b"".join(b"\0" + b"".join(rgba(colours[c]) for c in row) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main(argv):
    if len(argv) < 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    out_dir = argv[1]
    os.makedirs(out_dir, exist_ok=True)
    for path in argv[2:]:
        name = os.path.splitext(os.path.basename(path))[0]
        target = os.path.join(out_dir, name + ".png")
        if os.path.exists(target) and os.path.getmtime(target) >= os.path.getmtime(path):
            continue
        rows, colours = read_xpm(path)
        with open(target, "wb") as out:
            out.write(png(rows, colours))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
