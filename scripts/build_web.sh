#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Build the web page into build/web: kuglovica.html, one file holding the
# form and core as WebAssembly, emscripten's loader, the page's view, its
# style sheet and the button pictures; index.html is the same page. It runs
# served by any web server or opened from disk. Beside it, app/ is the web
# app's folder for a web server: the page as index.html, its manifest,
# service worker and icons. The objects go to build/web-cmake. Incremental;
# prints the size.
#
#   scripts/build_web.sh [OUT_DIR]
#
# Needs Debian's emscripten, cmake, ninja-build and python3 (run.sh --web and
# test.sh install them).
set -euo pipefail
trap 'echo "build_web: \"$BASH_COMMAND\" failed with status $?" >&2' ERR
# OUT_DIR and KUG_WEB_BUILD_DIR are taken from where it was started; neither
# needs to exist yet.
root="$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.."
out="$(readlink -m "${1:-$root/build/web}")"
work="$(readlink -m "${KUG_WEB_BUILD_DIR:-$root/build/web-cmake}")"
cd "$root"

for tool in emcmake em++ node cmake ninja python3; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "build_web: $tool not found; install emscripten, nodejs, cmake, ninja-build and python3" >&2
        exit 1
    fi
done

# Debian's emscripten runs its own JavaScript tools with node, which find
# their modules (acorn) only here.
export NODE_PATH=/usr/share/nodejs

# The output directory holds the page and the app's folder alone: a stale
# file from an older layout would be served too. (The build clears the
# folder's own stale files.)
if [ -d "$out" ]; then
    find "$out" -mindepth 1 -maxdepth 1 ! -name index.html ! -name kuglovica.html ! -name app \
        -exec rm -rf {} +
fi
# (emcmake echoes its command line on standard error.)
emcmake cmake -S src/web -B "$work" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel -DKUG_WEB_OUT="$out" \
    > /dev/null 2> >(grep -v "^configure: " >&2)
cmake --build "$work"

page=$(stat -c %s "$out/kuglovica.html")
echo "web page in $out: kuglovica.html $page bytes ($(((page + 1023) / 1024)) KiB;" \
    "$(gzip -9 -c "$out/kuglovica.html" | wc -c) bytes gzipped); the app's folder in $out/app"
