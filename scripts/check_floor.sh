#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the web page against the oldest browsers it is made for, statically
# (scripts/floor/check.js says what and how): its scripts' syntax, built-ins
# and web APIs, its style sheet and its WebAssembly.
#
#   scripts/check_floor.sh WORK_DIR PAGE.html [SCRIPT.js...]
#
# SCRIPTs are more scripts of the page's (the service worker). WORK_DIR, in
# the build tree, gets the check's node modules, installed with npm ci from
# scripts/floor/package-lock.json whenever the lock changes (from npm's
# cache, else the npm registry), and the page's parts. Needs nodejs, npm and
# binaryen (test.sh installs them). Exits 1 if anything is above the floor.
set -euo pipefail
floor="$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/floor"
[ $# -ge 2 ] || { echo "usage: $0 WORK_DIR PAGE.html [SCRIPT.js...]" >&2; exit 2; }
work=$(readlink -m "$1")
shift
for tool in node npm wasm-opt; do
    command -v "$tool" >/dev/null 2>&1 ||
        { echo "check_floor: $tool not found; install nodejs, npm and binaryen" >&2; exit 2; }
done

modules=$work/modules
if ! cmp -s "$floor/package-lock.json" "$modules/installed-lock.json"; then
    rm -rf "$modules"
    mkdir -p "$modules"
    cp "$floor/package.json" "$floor/package-lock.json" "$modules/"
    (cd "$modules" && npm ci --prefer-offline --ignore-scripts --no-audit --no-fund --loglevel=error) >&2
    cp "$floor/package-lock.json" "$modules/installed-lock.json"
fi
NODE_PATH=$modules/node_modules exec node "$floor/check.js" "$work/parts" "$@"
