#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fuzz the number value of a text and the parameter fields' normalisation.
#
#   scripts/fuzz.sh DURATION_SECONDS
#
# Builds the libFuzzer target from the core number rules with clang into
# build/fuzz and runs it for the given time, starting from the seeds in
# fuzz/corpus (new inputs it finds are kept in build/fuzz/corpus). Exits
# non-zero if an input breaks a rule; the input is saved in build/fuzz.
set -euo pipefail
cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.."

if [ $# -ne 1 ] || ! [[ "$1" =~ ^[0-9]+$ ]]; then
    echo "usage: $0 DURATION_SECONDS" >&2
    exit 2
fi
duration="$1"

out=build/fuzz
target="$out/field_text_fuzz"
sources=(fuzz/field_text_fuzz.cpp src/state/*.cpp)
mkdir -p "$out/corpus"

needs_build=0
[ -x "$target" ] || needs_build=1
for f in "${sources[@]}" src/state/*.h; do
    [ "$f" -nt "$target" ] && needs_build=1
done
if [ "$needs_build" -eq 1 ]; then
    echo "fuzz: building $target"
    clang++ -std=c++20 -g -O1 -Isrc \
        -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
        "${sources[@]}" -o "$target"
fi

export ASAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
"$target" -max_total_time="$duration" -print_final_stats=1 -artifact_prefix="$out/" \
    -dict=fuzz/field_text.dict \
    "$out/corpus" fuzz/corpus
