#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Build Kuglovica (Release) and start it. Installs missing build packages
# with apt-get first; a second run installs nothing and rebuilds only what
# changed.
set -euo pipefail
cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")"

# shellcheck source=scripts/install_deps.sh
source scripts/install_deps.sh

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
