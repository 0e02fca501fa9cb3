#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the web page against the oldest browsers it is made for, statically
# (scripts/floor/check.js says what and how): its scripts' syntax, built-ins
# and web APIs, its style sheet and its WebAssembly.
#
#   scripts/check_floor.sh WORK_DIR PAGE.html [SCRIPT.js...]
#
# SCRIPTs are more scripts of the page's (the service worker). WORK_DIR, in
# the build tree, gets the check's node modules (scripts/page_tools.sh
# installs them) and the page's parts. Needs nodejs, npm and binaryen
# (test.sh installs them). Exits 1 if anything is above the floor.
set -euo pipefail
floor="$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/floor"
[ $# -ge 2 ] || { echo "usage: $0 WORK_DIR PAGE.html [SCRIPT.js...]" >&2; exit 2; }
work=$(readlink -m "$1")
shift
for tool in node npm wasm-opt; do
    command -v "$tool" >/dev/null 2>&1 ||
        { echo "check_floor: $tool not found; install nodejs, npm and binaryen" >&2; exit 2; }
done
"$(dirname "$floor")/page_tools.sh" "$work"
NODE_PATH=$work/modules/node_modules exec node "$floor/check.js" "$work/parts" "$@"
