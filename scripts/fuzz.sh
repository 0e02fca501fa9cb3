#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fuzz the number value of a text and the parameter fields' normalisation.
#
#   scripts/fuzz.sh DURATION_SECONDS
#
# Builds the libFuzzer target (CMake option KUGLOVICA_FUZZ, with clang) into
# build/fuzz and runs it for the given time, starting from the seeds in
# fuzz/corpus (new inputs it finds are kept in build/fuzz/corpus). The
# fuzzer's own log goes to build/fuzz/fuzz.log; the last line printed is
# "fuzz: N inputs, N crashes". Exits non-zero if an input breaks a rule; the
# input is saved in build/fuzz.
set -euo pipefail
cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.."

if [ $# -ne 1 ] || ! [[ "$1" =~ ^[0-9]+$ ]]; then
    echo "usage: $0 DURATION_SECONDS" >&2
    exit 2
fi
duration="$1"

out=build/fuzz
log="$out/fuzz.log"
cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DKUGLOVICA_FUZZ=ON -DKUGLOVICA_TESTS=OFF >/dev/null
cmake --build "$out" --target field_text_fuzz >/dev/null
mkdir -p "$out/corpus"

export ASAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
status=0
"$out/fuzz/field_text_fuzz" -max_total_time="$duration" -print_final_stats=1 \
    -artifact_prefix="$out/" -dict=fuzz/field_text.dict "$out/corpus" fuzz/corpus \
    >"$log" 2>&1 || status=$?

inputs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
crashes=0
if [ "$status" -ne 0 ]; then
    crashes=1
    # what broke, and the input that broke it
    grep -v -E '^#[0-9]+|^INFO:|^stat::' "$log" | tail -n 40 >&2
fi
echo "fuzz: ${inputs:-0} inputs, $crashes crashes (log: $log)"
exit "$status"
