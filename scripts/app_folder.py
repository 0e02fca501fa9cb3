#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Completes the web app's folder, which any static web server can serve
under any path: the page installs as an app and opens without a network
after the first visit.

    scripts/app_folder.py --page kuglovica.html --worker service_worker.js DIR

DIR holds the icons already (draw_pictures.py --app-icons DIR); this writes
beside them the page as index.html (the same bytes), the manifest, and the
service worker: its source with the list of the app's files and the hash of
their content filled in, which names its cache. Any other file in DIR is
removed: a server would serve a stale one too. Nothing of the build (a path,
a time) enters the folder: the same sources give the same bytes.

    scripts/app_folder.py --zip OUT.zip --top NAME DIR

The folder as a zip archive, its files under NAME/, in a fixed order with
fixed times (SOURCE_DATE_EPOCH, the release's commit) and modes.
"""

import argparse
import hashlib
import json
import os
import sys
import time
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from draw_pictures import APP_ICONS, MASKABLE, WINDOW_GREY  # noqa: E402

PAGE = "index.html"
MANIFEST = "manifest.webmanifest"
WORKER = "service_worker.js"


def manifest():
    """Relative addresses: they resolve against the manifest's own, so the
    folder works at any path of any host."""
    icons = [{"src": name, "sizes": "%dx%d" % (size, size), "type": "image/png"}
             for name, size in APP_ICONS.items() if name.startswith("icon-")]
    icons.append({"src": MASKABLE[0], "sizes": "%dx%d" % (MASKABLE[1], MASKABLE[1]), "type": "image/png",
                  "purpose": "maskable"})
    grey = WINDOW_GREY.lower()
    return {"name": "Kuglovica", "short_name": "Kuglovica", "lang": "hr", "categories": ["education"],
            "start_url": "./", "scope": "./", "display": "standalone",
            "background_color": grey, "theme_color": grey, "icons": icons}


def worker(source, files, contents):
    """The worker's source with its files and the hash of their content."""
    digest = hashlib.sha256(source.encode("utf-8"))
    for name in files:
        digest.update(b"\0" + name.encode("utf-8") + b"\0" + contents[name])
    for placeholder, value in (("@CONTENT_HASH@", digest.hexdigest()[:16]),
                               ("'@FILES@'", ", ".join("'%s'" % name for name in files))):
        if source.count(placeholder) != 1:
            raise SystemExit("app_folder: %s names %s not once" % (WORKER, placeholder))
        source = source.replace(placeholder, value)
    return source


def write(path, data):
    # Whole or not at all: a server may be serving the folder.
    with open(path + ".part", "wb") as f:
        f.write(data)
    os.replace(path + ".part", path)


def build(page, worker_source, out):
    contents = {name: open(os.path.join(out, name), "rb").read() for name in list(APP_ICONS) + [MASKABLE[0]]}
    contents[PAGE] = open(page, "rb").read()
    contents[MANIFEST] = (json.dumps(manifest(), indent=2, ensure_ascii=False) + "\n").encode("utf-8")
    files = [PAGE, MANIFEST] + sorted(set(contents) - {PAGE, MANIFEST})
    contents[WORKER] = worker(open(worker_source, encoding="utf-8").read(), files, contents).encode("utf-8")
    for name in os.listdir(out):
        if name not in contents:
            os.remove(os.path.join(out, name))
    for name in (PAGE, MANIFEST, WORKER):
        write(os.path.join(out, name), contents[name])
    print("app folder %s: %s" % (out, ", ".join("%s %d" % (name, len(contents[name])) for name in sorted(contents))))


def archive(out, top, folder):
    stamp = time.gmtime(max(int(os.environ.get("SOURCE_DATE_EPOCH", "0")), 315532800))[:6]  # zip starts in 1980
    with zipfile.ZipFile(out + ".part", "w") as z:
        for name in sorted(os.listdir(folder)):
            info = zipfile.ZipInfo(top + "/" + name, stamp)
            info.external_attr = 0o100644 << 16
            info.create_system = 3  # Unix, whose modes these are
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, open(os.path.join(folder, name), "rb").read(), compresslevel=9)
    os.replace(out + ".part", out)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--page")
    parser.add_argument("--worker")
    parser.add_argument("--zip")
    parser.add_argument("--top")
    parser.add_argument("dir")
    args = parser.parse_args()
    if args.zip and args.top:
        archive(args.zip, args.top, args.dir)
    elif args.page and args.worker:
        build(args.page, args.worker, args.dir)
    else:
        parser.error("either --page and --worker, or --zip and --top")
    return 0


if __name__ == "__main__":
    sys.exit(main())
