#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Build Kuglovica with its tests and benchmarks and run every test with ctest:
# the Release build, then the same suite with the sanitizers, then half a
# minute of fuzzing. Installs missing packages with apt-get first; a second
# run installs nothing and rebuilds only what changed. Ends with one summary;
# its last line is "N passed, N failed". Exits non-zero if anything failed.
set -euo pipefail
trap 'echo "test.sh: stopped: \"$BASH_COMMAND\" failed with status $?" >&2' ERR
cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")"

# shellcheck source=scripts/install_deps.sh
source scripts/install_deps.sh

install_deps cmake ninja-build g++ qt6-base-dev libgl-dev qt6-qpa-plugins \
    xvfb xauth xdotool x11-utils imagemagick libbenchmark-dev desktop-file-utils \
    openbox xclip python3 dpkg-dev clang clang-format libclang-rt-14-dev lintian appstream man-db \
    fonts-dejavu-core fonts-cantarell locales at-spi2-core dbus-daemon dbus-bin dbus-x11 \
    python3-pyatspi weston qt6-wayland emscripten nodejs chromium chromium-driver python3-selenium \
    firefox-esr webkit2gtk-driver python3-websockets binaryen
# The page's check against its oldest browsers installs its tools with npm.
# Debian's nodejs comes without it; a nodejs that brings its own npm conflicts
# with Debian's package.
command -v npm >/dev/null 2>&1 || install_deps npm

export CTEST_PARALLEL_LEVEL="${CTEST_PARALLEL_LEVEL:-$(nproc)}"

summary=()
passed=0
failed=0

# Runs ctest with the given arguments and adds its counts to the summary.
run_stage() {
    local name=$1
    shift
    local log
    log=$(mktemp)
    local status=0
    ctest "$@" --output-on-failure | tee "$log" | grep -v -E '^ +Start +[0-9]+:' || status=$?
    local line total failures
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1) || true
    rm -f "$log"
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    failures=$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$line")
    if [ -z "$line" ]; then
        total=1
        failures=1
    elif [ "$status" -ne 0 ] && [ "$failures" -eq 0 ]; then
        failures=1
    fi
    summary+=("$name: $((total - failures)) of $total passed")
    passed=$((passed + total - failures))
    failed=$((failed + failures))
}

# The Release build, benchmarks included so that a change to the window
# driver they share with the tests cannot break them unnoticed, and the web
# page (build/web) with its tests in Chromium, Firefox ESR and WebKitGTK.
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Release -DKUGLOVICA_TESTS=ON \
    -DKUGLOVICA_BENCH=ON -DKUGLOVICA_WEB=ON >/dev/null
cmake --build build/test
run_stage "release" --test-dir build/test

# The same suite built with AddressSanitizer and UndefinedBehaviorSanitizer:
# the first finding aborts the test that hit it. The tests on a real display
# server, the web page's in a browser and the package checks stay with the
# normal build. (The suppressions file is quoted: the sanitizers split their
# options at blanks and colons, which this folder's path may hold.)
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKUGLOVICA_TESTS=ON \
    -DKUGLOVICA_SANITIZE=ON >/dev/null
cmake --build build/asan
ASAN_OPTIONS="halt_on_error=1:print_stacktrace=1:detect_leaks=1" \
    UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
    LSAN_OPTIONS="suppressions='$PWD/scripts/lsan_suppressions.txt':print_suppressions=0" \
    run_stage "sanitizers" --test-dir build/asan -LE 'x11|packaging|a11y|wayland|web'

# Half a minute of fuzzing of the number rules and the field normalisation,
# and of the number reader against its reference.
fuzz_status=0
fuzz_line=$(scripts/fuzz.sh 30) || fuzz_status=$?
fuzz_line=${fuzz_line:-"fuzz: did not finish (see above)"}
echo "$fuzz_line"
summary+=("${fuzz_line%% (log:*}")
if [ "$fuzz_status" -eq 0 ]; then
    passed=$((passed + 1))
else
    failed=$((failed + 1))
fi

echo
echo "Summary"
for line in "${summary[@]}"; do
    echo "  $line"
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] || exit 1
