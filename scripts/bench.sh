#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Build Kuglovica's benchmarks and its page in Release and run them all,
# printing the table of targets, measured figures and ratios: the window's,
# then the page's in each engine when their tools are installed. The window
# runs on a private Xvfb screen of 1920 x 1080, so no display is needed. Its
# processor time and the page's are judged as ratios to a bare square
# measured in the same run (docs/performance.md). Exits non-zero when a
# target is missed.
#
#   scripts/bench.sh               # the full run, about ten minutes
#   scripts/bench.sh --quick       # fewer and shorter runs, a smoke test
#   scripts/bench.sh --rt          # X server and benchmarks at real-time
#                                  # priority (root only), so that other load
#                                  # on the machine does not preempt them
#   scripts/bench.sh --other DIR   # DIR, another checkout (the build before a
#                                  # change), measured too, against the same
#                                  # bare squares, in turn with this one; built
#                                  # in DIR/build/bench (about twice as long)
#
# Raw results: build/bench/results/. Override the build directory with
# KUG_BENCH_DIR.
set -euo pipefail
trap 'echo "bench: \"$BASH_COMMAND\" failed with status $?" >&2' ERR
# KUG_BENCH_DIR as seen from where this was started
build=${KUG_BENCH_DIR:+$(readlink -m "$KUG_BENCH_DIR")}
cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.."

# shellcheck source=scripts/install_deps.sh
source scripts/install_deps.sh
install_deps cmake ninja-build g++ qt6-base-dev libgl-dev qt6-qpa-plugins \
    libbenchmark-dev xvfb python3

args=()
priority=()
other=""
while [ "$#" -gt 0 ]; do
    case "$1" in
    --rt) priority=(chrt -f 10) ;;
    --other)
        other=$(readlink -f "${2:?--other needs a checkout}")
        shift
        ;;
    *) args+=("$1") ;;
    esac
    shift
done
if [ "${#priority[@]}" -gt 0 ] && ! chrt -f 10 true 2>/dev/null; then
    echo "bench: --rt needs the right to use real-time priority (root)" >&2
    exit 1
fi

build="${build:-build/bench}"
# The benchmarks of a checkout in DIR.
build_bench() {
    cmake -S "$1" -B "$2" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DKUGLOVICA_BENCH=ON -DKUGLOVICA_TESTS=OFF >/dev/null
    cmake --build "$2" -j"$(nproc)"
}
build_bench . "$build"
other_args=()
if [ -n "$other" ]; then
    build_bench "$other" "$other/build/bench"
    other_args=(--other-bin "$other/build/bench/bench")
fi

# The machine the figures belong to.
mkdir -p "$build/results"
{ uname -a; echo; lscpu; } >"$build/results/machine.txt"

# A private X server on the first free display; it ends with this script.
xvfb_log="$(mktemp)"
display_file="$(mktemp)"
"${priority[@]}" Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$display_file" 2>"$xvfb_log" &
xvfb_pid=$!
runtime_dir=""
cleanup() {
    kill "$xvfb_pid" 2>/dev/null || true
    rm -f "$xvfb_log" "$display_file"
    if [ -n "$runtime_dir" ]; then rm -rf "$runtime_dir"; fi
}
trap cleanup EXIT
for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    sleep 0.05
done
if [ ! -s "$display_file" ]; then
    echo "bench: Xvfb did not start:" >&2
    cat "$xvfb_log" >&2
    exit 1
fi
export DISPLAY=":$(head -n1 "$display_file")"
# The harness reads the X server's processor time from /proc.
export KUG_XSERVER_PID="$xvfb_pid"
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    runtime_dir="$(mktemp -d /tmp/kug-XXXXXX)" # short, for the sockets made in it
    export XDG_RUNTIME_DIR="$runtime_dir"
fi

status=0
"${priority[@]}" python3 bench/run_bench.py "$build/bench" "$build/results" "${args[@]}" \
    "${other_args[@]}" || status=$?

# The web page's figures in each engine (bench/web_bench.py), when emscripten,
# Debian's browsers with their drivers, selenium and websockets are installed
# (test.sh installs them).
if command -v em++ >/dev/null && [ -x /usr/bin/chromium ] && [ -x /usr/bin/chromedriver ] &&
    [ -x /usr/bin/firefox-esr ] && [ -x /usr/bin/WebKitWebDriver ] &&
    /usr/bin/python3 -c 'import selenium, websockets' 2>/dev/null; then
    echo
    # The page of a checkout in DIR, built into OUT.
    build_page() {
        KUG_WEB_BUILD_DIR="$2-cmake" "$1/scripts/build_web.sh" "$2" >/dev/null
    }
    build_page . "$build/web"
    other_args=()
    if [ -n "$other" ]; then
        build_page "$other" "$other/build/bench/web"
        other_args=(--other-page "$other/build/bench/web")
    fi
    # The browsers need no display of this script's (WebKitGTK's driver
    # starts its own), and with one they would start a session bus on it.
    "${priority[@]}" env -u DISPLAY KUG_WINDOW_FACTS="$build/window_facts.json" \
        /usr/bin/python3 bench/web_bench.py "$build/web" "$build/results" \
        "${args[@]}" "${other_args[@]}" ||
        status=$?
else
    echo "web page: not measured (needs emscripten, chromium, chromium-driver, firefox-esr," \
        "webkit2gtk-driver, python3-selenium and python3-websockets)"
fi
exit "$status"
