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
directory's index.html). The page's own sources (PAGE.html, the files beside
it and the view's parts) lose their comments but the licence's: they are for
whoever reads the sources, and would make a tenth of the file. Generated
files (emscripten's loader, the controls' markup) go in as they are.
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


def without_comments(text, kind):
    """`text` of a script, a style sheet or the page without its comments.
    A script loses only its whole-line comments: the page's own scripts keep
    no string across lines, so such a line is never inside one."""
    if kind == "js":
        return "".join(line for line in text.splitlines(True) if not line.lstrip().startswith("//"))
    opener, closer = ("/*", "*/") if kind == "css" else ("<!--", "-->")
    # Up to the first closer, never across one.
    comment = re.escape(opener) + r"(?:(?!%s).)*" % re.escape(closer) + re.escape(closer)
    keep = lambda m: m.group(0) if "SPDX" in m.group(0) or m.group(0).startswith("<!--#") else ""
    text = re.sub(r"^[ \t]*" + comment + r"[ \t]*\n", keep, text, flags=re.S | re.M)
    return re.sub(comment, keep, text, flags=re.S)


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

    page = without_comments(page, "html")
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
            text = f.read()
        name = os.path.basename(path)
        if os.path.dirname(os.path.abspath(path)) == os.path.dirname(os.path.abspath(args.page)):
            text = without_comments(text, os.path.splitext(name)[1][1:])
        files[name] = text
    if args.view:
        parts = []
        for path in args.view:
            with open(path, encoding="utf-8") as f:
                parts.append(without_comments(f.read(), "js"))
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
