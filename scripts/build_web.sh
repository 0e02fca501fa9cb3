#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Build the web page into build/web: index.html, kuglovica.css, the page's
# view (view.js), emscripten's loader (kuglovica.js) with the form and core as
# WebAssembly (kuglovica.wasm), and the button pictures (pictures/). Static
# files only: any web server can serve the directory as it is. The objects
# go to build/web-cmake. Incremental; prints the sizes.
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

# The output directory holds the page alone: a stale file from an older
# layout would be served too.
if [ -d "$out" ]; then
    find "$out" -type f ! -name index.html ! -name kuglovica.css ! -name view.js \
        ! -name kuglovica.js ! -name kuglovica.wasm ! -path "$out/pictures/*.png" -delete
fi
# (emcmake echoes its command line on standard error.)
emcmake cmake -S src/web -B "$work" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel -DKUG_WEB_OUT="$out" \
    > /dev/null 2> >(grep -v "^configure: " >&2)
cmake --build "$work"

wasm=$(stat -c %s "$out/kuglovica.wasm")
loader=$(stat -c %s "$out/kuglovica.js")
view=$(stat -c %s "$out/view.js")
echo "web page in $out: kuglovica.wasm $wasm bytes, kuglovica.js $loader, view.js $view" \
    "($(((wasm + loader + view + 1023) / 1024)) KiB of code)"
