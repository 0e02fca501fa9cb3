#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the pinned npm tools that check the web page: those of the check
# against the oldest browsers (check_floor.sh) and axe-core, whose
# accessibility rules the web cases run in each browser.
#
#   scripts/page_tools.sh WORK_DIR
#
# They go into WORK_DIR/modules/node_modules, in the build tree, with npm ci
# from scripts/floor/package-lock.json whenever the lock changes (from npm's
# cache, else the npm registry); nothing is downloaded when it is unchanged.
# Needs nodejs and npm (test.sh installs them).
set -euo pipefail
floor="$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/floor"
[ $# -eq 1 ] || { echo "usage: $0 WORK_DIR" >&2; exit 2; }
for tool in node npm; do
    command -v "$tool" >/dev/null 2>&1 || { echo "page_tools: $tool not found; install nodejs and npm" >&2; exit 2; }
done
modules=$(readlink -m "$1")/modules
if ! cmp -s "$floor/package-lock.json" "$modules/installed-lock.json"; then
    rm -rf "$modules"
    mkdir -p "$modules"
    cp "$floor/package.json" "$floor/package-lock.json" "$modules/"
    (cd "$modules" && npm ci --prefer-offline --ignore-scripts --no-audit --no-fund --loglevel=error) >&2
    cp "$floor/package-lock.json" "$modules/installed-lock.json"
fi
