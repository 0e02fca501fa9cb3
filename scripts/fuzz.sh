#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fuzz the number value of a text and the parameter fields' normalisation, and
# hold the number reader to its reference copy bit for bit.
#
#   scripts/fuzz.sh DURATION_SECONDS
#
# Builds the libFuzzer targets (CMake option KUGLOVICA_FUZZ, with clang) into
# build/fuzz and gives each half of the time: field_text_fuzz (the rules for
# every field), then number_value_diff_fuzz (the reader against the reference).
# Both start from the seeds in fuzz/corpus; the new inputs each finds are kept
# in build/fuzz/corpus and build/fuzz/corpus_diff. The fuzzers' own logs go to
# build/fuzz/fuzz.log; the last line printed is "fuzz: N inputs, N crashes",
# counted over both. Exits non-zero if an input breaks a rule; the input is
# saved in build/fuzz.
set -euo pipefail
trap 'echo "fuzz: \"$BASH_COMMAND\" failed with status $?" >&2' ERR
cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.."

if [ $# -ne 1 ] || ! [[ "$1" =~ ^[0-9]+$ ]] || [ "$1" -lt 1 ]; then
    echo "usage: $0 DURATION_SECONDS" >&2
    exit 2
fi
duration="$1"
# libFuzzer takes a time of 0 as no limit: each target runs at least a second.
first=$(((duration + 1) / 2))
second=$((duration - first > 0 ? duration - first : 1))

out=build/fuzz
log="$out/fuzz.log"
cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DKUGLOVICA_FUZZ=ON -DKUGLOVICA_TESTS=OFF >/dev/null
cmake --build "$out" --target field_text_fuzz number_value_diff_fuzz >/dev/null
mkdir -p "$out/corpus" "$out/corpus_diff"
: >"$log"

export ASAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
crashes=0
status=0

# fuzz TARGET SECONDS DICTIONARY CORPUS: one target's run, its log appended.
fuzz() {
    local run_status=0 run_log="$out/$1.log"
    "$out/fuzz/$1" -max_total_time="$2" -print_final_stats=1 -artifact_prefix="$out/" \
        -dict="$3" "$4" fuzz/corpus >"$run_log" 2>&1 || run_status=$?
    cat "$run_log" >>"$log"
    if [ "$run_status" -ne 0 ]; then
        crashes=$((crashes + 1))
        status=$run_status
        # what broke, and the input that broke it
        grep -v -E '^#[0-9]+|^INFO:|^stat::' "$run_log" | tail -n 40 >&2
    fi
    rm -f "$run_log"
}

fuzz field_text_fuzz "$first" fuzz/field_text.dict "$out/corpus"
fuzz number_value_diff_fuzz "$second" fuzz/number_value.dict "$out/corpus_diff"

inputs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | awk '{ n += $1 } END { print n + 0 }')
echo "fuzz: $inputs inputs, $crashes crashes (log: $log)"
exit "$status"
