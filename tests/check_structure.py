#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""One home for each fact of the window, checked over the sources.

    check_structure.py ROOT FACTS

The designed controls are written once, in the form's table
(src/app/controls.h); the front ends build theirs from it. FACTS is what the
build writes from that table (window_facts.json). So, under src/:
a caption or designed text stands in the code or markup of that file alone
(as a string or an element's text; comments aside); the three controls no code handles are named there and at
most in the style sheet; no file of a front end names more than three
controls; no C++ file is over 300 lines, no script over 250; and the page's
script sends the form only events it names (userEventNames). Exits 1 naming
every place that breaks a rule.
"""

import json
import pathlib
import re
import sys

TABLE = "src/app/controls.h"
LIMITS = {".cpp": 300, ".h": 300, ".js": 250}
COMMENTS = {
    ".cpp": r"//[^\n]*|/\*.*?\*/", ".h": r"//[^\n]*|/\*.*?\*/", ".js": r"//[^\n]*|/\*.*?\*/",
    ".css": r"/\*.*?\*/", ".html": r"<!--.*?-->",
}


def main(root, facts):
    root = pathlib.Path(root)
    with open(facts, encoding="utf-8") as f:
        facts = json.load(f)
    names = [c["name"] for c in facts["controls"]]
    captions = {c["caption"] for c in facts["controls"] if c["caption"]}
    files = {p.relative_to(root).as_posix(): p.read_text(encoding="utf-8")
             for p in sorted((root / "src").rglob("*")) if p.suffix in COMMENTS}
    faults = []
    sent = set(re.findall(r"\bsend\([^,()]+, '(\w+)'\)", "".join(
        t for p, t in files.items() if p.startswith("src/web/") and p.endswith(".js"))))
    for event in sorted(sent - set(facts["events"])) if sent else ["(none read)"]:
        faults.append("the page sends the event %s, which the form does not name" % event)
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
    sys.exit(main(*sys.argv[1:]))
