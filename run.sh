#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Build Kuglovica (Release) and start it; with --web, build the web page and
# serve it on http://127.0.0.1:8000/ instead. Installs missing build packages
# with apt-get first; a second run installs nothing and rebuilds only what
# changed.
set -euo pipefail
trap 'echo "run.sh: stopped: \"$BASH_COMMAND\" failed with status $?" >&2' ERR
cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")"

# shellcheck source=scripts/install_deps.sh
source scripts/install_deps.sh

# --web: the web page instead, built with emscripten into build/web (one
# file, kuglovica.html, which also opens from disk), and its app's folder,
# build/web/app, served on this machine's port 8000 until Ctrl+C: there the
# browser offers to install it, and it opens again without the server.
if [ "${1:-}" = "--web" ]; then
    install_deps cmake ninja-build python3 emscripten nodejs
    scripts/build_web.sh
    echo "Kuglovica in the browser, as an app to install: http://127.0.0.1:8000/" \
        "(Ctrl+C stops the server); or open build/web/kuglovica.html from disk"
    exec python3 -m http.server 8000 --bind 127.0.0.1 --directory build/web/app
fi

# qt6-qpa-plugins holds the X11 (xcb) platform plugin, qt6-wayland the
# Wayland one; without them Qt can build the program but not show a window.
install_deps cmake ninja-build g++ qt6-base-dev libgl-dev qt6-qpa-plugins qt6-wayland

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKUGLOVICA_TESTS=OFF
cmake --build build/release

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "kuglovica: no display found (DISPLAY and WAYLAND_DISPLAY are unset); start it from a desktop session." >&2
    exit 1
fi

exec build/release/kuglovica "$@"
