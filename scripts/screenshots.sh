#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Regenerates docs/screenshots/*.png from the real window (and web-page.png
# from the web page in headless Chromium): builds the program
# (Release, build/release) unless KUGLOVICA_EXE names one, starts it on a
# private Xvfb display with the openbox window manager, drives it with xdotool
# and saves what it shows.
# Needs no display of its own. Installs missing packages with apt-get first.
set -euo pipefail
trap 'echo "screenshots: \"$BASH_COMMAND\" failed with status $?" >&2' ERR
# KUGLOVICA_EXE names an already built program (as seen from where this was
# started) and skips the build.
exe=${KUGLOVICA_EXE:+$(readlink -f "$KUGLOVICA_EXE")}
cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.."

# shellcheck source=scripts/install_deps.sh
source scripts/install_deps.sh
install_deps cmake ninja-build g++ qt6-base-dev libgl-dev qt6-qpa-plugins \
    xvfb xdotool x11-utils imagemagick openbox python3

if [ -z "$exe" ]; then
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKUGLOVICA_TESTS=OFF >/dev/null
    cmake --build build/release --target kuglovica
    exe=build/release/kuglovica
fi

python3 tests/e2e/screenshots.py --exe "$exe" --assets assets --out docs/screenshots

# The web page, in headless Chromium.
install_deps emscripten nodejs chromium chromium-driver python3-selenium
scripts/build_web.sh >/dev/null
/usr/bin/python3 tests/web/web_cases.py --page build/web --screenshot docs/screenshots/web-page.png
