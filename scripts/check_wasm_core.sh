#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Build the toolkit-free core twice, natively with g++ and as WebAssembly with
# Debian's em++, into the same small program (tests/wasm/core_digest.cpp), run
# the second under node and compare what both print: the number values of
# thousands of texts (among them ties between doubles), the start-up board on
# a 232 x 351 area, a fast run of 250 balls on 10 columns from the standard
# random stream, an animated run, the pixels, the frames' layout, the clock.
#
#   scripts/check_wasm_core.sh [TIES SHORT_TEXTS]
#
# TIES random doubles give three texts each at and beside a midpoint, and
# SHORT_TEXTS short texts follow (20000 each by default). Prints both builds'
# times and "wasm core: same results" or the lines that differ; exits
# non-zero if anything differs. Builds into build/wasm-core.
set -euo pipefail
trap 'echo "check_wasm_core: \"$BASH_COMMAND\" failed with status $?" >&2' ERR
cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.."

if [ $# -ne 0 ] && [ $# -ne 2 ]; then
    echo "usage: $0 [TIES SHORT_TEXTS]" >&2
    exit 2
fi
ties="${1:-20000}"
short="${2:-20000}"

# shellcheck source=scripts/install_deps.sh
source scripts/install_deps.sh
install_deps g++ emscripten nodejs

# Debian's emscripten runs its own JavaScript tools with node, which find
# their modules (acorn) only here.
export NODE_PATH=/usr/share/nodejs

out=build/wasm-core
mkdir -p "$out"
# The core's sources as cmake/core_sources.cmake lists them, and the
# toolkit-free parts of the window: the frames' layout rule and the clock.
mapfile -t core < <(sed -n '/^set(KUG_CORE_SOURCES/,/^)/p' cmake/core_sources.cmake | grep -oE 'src/[^ )]+\.cpp')
sources=("${core[@]}" src/app/frame_fit.cpp src/app/tick_clock.cpp tests/wasm/core_digest.cpp tests/wasm/number_texts.cpp)
flags=(-std=c++20 -O2 -Wall -Wextra -Wpedantic -Isrc -Itests/support -Itests/wasm)

# seconds since $1 (from date +%s.%N), to a tenth
since() {
    awk -v start="$1" -v now="$(date +%s.%N)" 'BEGIN { printf "%.1f", now - start }'
}

start=$(date +%s.%N)
g++ "${flags[@]}" "${sources[@]}" -o "$out/core_digest"
echo "g++ build: $(since "$start") s"

# node only; the .wasm is read from disk at once (with asynchronous
# compilation the loader would fetch() it, which Node 20 offers but cannot do
# for a file path).
start=$(date +%s.%N)
em++ "${flags[@]}" "${sources[@]}" -sENVIRONMENT=node -sWASM_ASYNC_COMPILATION=0 \
    -sALLOW_MEMORY_GROWTH=1 -o "$out/core_digest.js"
echo "em++ build: $(since "$start") s ($(stat -c %s "$out/core_digest.wasm") bytes of wasm)"

"$out/core_digest" "$ties" "$short" >"$out/native.txt"
start=$(date +%s.%N)
node "$out/core_digest.js" "$ties" "$short" >"$out/wasm.txt"
echo "node run: $(since "$start") s"

if cmp -s "$out/native.txt" "$out/wasm.txt"; then
    cat "$out/native.txt"
    echo "wasm core: same results"
    exit 0
fi
echo "wasm core: results differ (native <, wasm >)"
diff "$out/native.txt" "$out/wasm.txt" || true
if [ "$(head -n 1 "$out/native.txt")" != "$(head -n 1 "$out/wasm.txt")" ]; then
    echo "first texts read differently (bits, text):"
    "$out/core_digest" "$ties" "$short" each >"$out/native_each.txt"
    node "$out/core_digest.js" "$ties" "$short" each >"$out/wasm_each.txt"
    diff "$out/native_each.txt" "$out/wasm_each.txt" | head -n 20 | cut -c1-200 || true
fi
exit 1
