#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""One home for each fact of the window, checked over the sources.

    check_structure.py ROOT

The designed controls are written once, in the form's table
(src/app/controls.h); the front ends build theirs from it. So, under src/:
a caption or designed text stands in the code or markup of that file alone
(as a string or an element's text; comments aside); the three controls no code handles are named there and at
most in the style sheet; no file of a front end names more than three
controls; and no C++ file is over 300 lines, no script over 250. Exits 1
naming every place that breaks a rule.
"""

import pathlib
import re
import sys

TABLE = "src/app/controls.h"
LIMITS = {".cpp": 300, ".h": 300, ".js": 250}
COMMENTS = {
    ".cpp": r"//[^\n]*|/\*.*?\*/", ".h": r"//[^\n]*|/\*.*?\*/", ".js": r"//[^\n]*|/\*.*?\*/",
    ".css": r"/\*.*?\*/", ".html": r"<!--.*?-->",
}


def main(root):
    root = pathlib.Path(root)
    table = (root / TABLE).read_text(encoding="utf-8")
    names = re.findall(r"^\s+X\((\w+),", table, re.M)
    captions = set(re.findall(r'\.caption = "([^"]+)"', table))
    files = {p.relative_to(root).as_posix(): p.read_text(encoding="utf-8")
             for p in sorted((root / "src").rglob("*")) if p.suffix in COMMENTS}
    faults = []
    if len(names) != 18 or len(captions) != 13:
        faults.append("%s: %d controls and %d captions read" % (TABLE, len(names), len(captions)))
    for path, text in files.items():
        named = {n for n in names if re.search(r"\b%s\b" % n, text)}
        if path.startswith(("src/desktop/", "src/web/")) and len(named) > 3:
            faults.append("%s names %d controls: %s" % (path, len(named), " ".join(sorted(named))))
        lines = text.count("\n")
        if lines > LIMITS.get(pathlib.Path(path).suffix, lines):
            faults.append("%s has %d lines" % (path, lines))
    for name in ("stupcilbl", "kuglicelbl", "Check1"):
        holders = [p for p, t in files.items() if re.search(r"\b%s\b" % name, t)]
        if set(holders) - {TABLE, "src/web/kuglovica.css"}:
            faults.append("%s is named in %s" % (name, ", ".join(holders)))
    for caption in sorted(captions):
        # As a string or as an element's text; "gumbi" is a control's name too.
        shown = re.compile(r"[\"'>]%s[\"'<]" % re.escape(caption))
        holders = [p for p, t in files.items()
                   if shown.search(re.sub(COMMENTS[pathlib.Path(p).suffix], "", t, flags=re.S))]
        if holders != [TABLE]:
            faults.append('"%s" stands in %s' % (caption, ", ".join(holders) or "no file"))
    for fault in faults:
        print("structure: " + fault)
    print("structure: %d files, %d faults" % (len(files), len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
