#!/usr/bin/env bash
# Build Kuglovica with its tests and run them all with ctest. Installs
# missing packages with apt-get first; a second run installs nothing and
# rebuilds only what changed. Exits non-zero if any test fails.
set -euo pipefail
cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")"

# shellcheck source=scripts/install_deps.sh
source scripts/install_deps.sh

install_deps cmake ninja-build g++ qt6-base-dev libgl-dev qt6-qpa-plugins \
    xvfb xauth xdotool x11-utils imagemagick libbenchmark-dev desktop-file-utils

export CTEST_PARALLEL_LEVEL="${CTEST_PARALLEL_LEVEL:-$(nproc)}"

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Release -DKUGLOVICA_TESTS=ON
cmake --build build/test
ctest --test-dir build/test --output-on-failure
