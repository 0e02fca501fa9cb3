#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Makes the web page one self-contained file.

    scripts/inline_page.py --assets DIR --out FILE [--copy FILE] [--view PART.js...]
        PAGE.html FILE...

In PAGE.html the style sheet's link, each script element and each include
(<!--#include file="NAME" -->) that names one of the given files take that
file's text in their place, and every picture the page (or a file put into
it) names, pictures/NAME.png, becomes a data URI of assets/NAME.xpm (as PNG)
or assets/NAME.png. The page's view, view.js, is joined from the --view
parts, in their order, into one closure: they share its names and add none
to the page's. The file runs from a web server and from disk (file://)
alike, with no network. Nothing of the build (a path, a time) enters it: the
same sources give the same bytes. --copy writes the same page again (the
directory's index.html).
"""

import argparse
import base64
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from draw_pictures import read_xpm  # noqa: E402  (the one XPM reader)
from xpm_to_png import png  # noqa: E402


def picture_uri(assets, name):
    design = os.path.join(assets, name + ".xpm")
    if os.path.exists(design):
        data = png(*read_xpm(design))
    else:
        with open(os.path.join(assets, name + ".png"), "rb") as f:
            data = f.read()
    return "data:image/png;base64," + base64.b64encode(data).decode("ascii")


def inline_text(text, element):
    """Text that cannot end its element early: no closing tag and no comment
    opener, which a script element's parser would treat specially."""
    text = re.sub(r"</(%s)" % element, r"<\\/\1", text, flags=re.IGNORECASE)
    return text.replace("<!--", "<\\!--")


def joined(parts):
    return "'use strict';\n(function () {\n" + "".join(parts) + "})();\n"


def build(page, files, assets):
    pictures = {}

    def picture(match):
        name = match.group(1)
        if name not in pictures:
            pictures[name] = picture_uri(assets, name)
        return pictures[name]

    used = set()

    def source(name):
        if name not in files:
            raise SystemExit("inline_page: the page names %s, which was not given" % name)
        used.add(name)
        return files[name]

    page = re.sub(r'<!--#include file="([^"]+)" -->\n', lambda m: source(m.group(1)), page)
    page = re.sub(r"pictures/([\w@-]+)\.png", picture, page)

    page = re.sub(r'<link rel="stylesheet" href="([^"]+)">',
                  lambda m: "<style>\n" + inline_text(source(m.group(1)), "style") + "</style>", page)
    page = re.sub(r'<script src="([^"]+)"></script>',
                  lambda m: "<script>\n" + inline_text(source(m.group(1)), "script") + "</script>", page)
    unused = set(files) - used
    if unused:
        raise SystemExit("inline_page: the page does not name %s" % ", ".join(sorted(unused)))
    return page, sum(len(uri) for uri in pictures.values())


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--assets", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--copy", action="append", default=[])
    parser.add_argument("--view", action="append", default=[])
    parser.add_argument("page")
    parser.add_argument("files", nargs="+")
    args = parser.parse_args()
    with open(args.page, encoding="utf-8") as f:
        page = f.read()
    files = {}
    for path in args.files:
        with open(path, encoding="utf-8") as f:
            files[os.path.basename(path)] = f.read()
    if args.view:
        parts = []
        for path in args.view:
            with open(path, encoding="utf-8") as f:
                parts.append(f.read())
        files["view.js"] = joined(parts)
    text, pictures = build(page, files, args.assets)
    data = text.encode("utf-8")
    for out in [args.out] + args.copy:
        # Whole or not at all: a server may be serving the directory.
        temporary = out + ".part"
        with open(temporary, "wb") as f:
            f.write(data)
        os.replace(temporary, out)
    parts = ", ".join("%s %d" % (name, len(text.encode("utf-8"))) for name, text in files.items())
    print("%s: %d bytes (%s, pictures %d)" % (os.path.basename(args.out), len(data), parts, pictures))
    return 0


if __name__ == "__main__":
    sys.exit(main())
