#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package and the web page from a source tree so that the
# same sources give the same bytes: in any folder, at any time, under any
# umask. scripts/release.sh makes a release with it and a packaging test
# builds twice with it and compares.
#
#   SOURCE_DATE_EPOCH=SECONDS scripts/build_reproducible.sh SOURCE_DIR WORK_DIR
#
# SOURCE_DATE_EPOCH is the time every file in the package carries (the last
# commit's time, for a release). WORK_DIR is emptied first; it then holds the
# builds and their logs, the package in WORK_DIR/deb and the page's files in
# WORK_DIR/web. The needed packages are those of run.sh and run.sh --web, and
# dpkg-dev.
set -euo pipefail

if [ $# -ne 2 ] || ! [[ "${SOURCE_DATE_EPOCH:-}" =~ ^[0-9]+$ ]]; then
    echo "usage: SOURCE_DATE_EPOCH=SECONDS $0 SOURCE_DIR WORK_DIR" >&2
    exit 2
fi
src=$(readlink -f "$1")
work=$(readlink -m "$2")
[ -f "$src/CMakeLists.txt" ] || { echo "build_reproducible: no CMakeLists.txt in $src" >&2; exit 2; }
export SOURCE_DATE_EPOCH
# Nothing from the caller's environment reaches the compilers (a -g there
# would put the build's paths into the program), and tools that sort or
# print dates do so the same way everywhere.
unset CFLAGS CXXFLAGS CPPFLAGS LDFLAGS EMCC_CFLAGS MAKEFLAGS
export LC_ALL=C.UTF-8 TZ=UTC

rm -rf "$work"
mkdir -p "$work/logs"

# Runs one step with its output in WORK_DIR/logs/NAME.log; when it fails,
# says which step it was and shows the end of its log.
step() {
    local name=$1
    shift
    local log="$work/logs/$name.log"
    if ! "$@" >"$log" 2>&1; then
        echo "build_reproducible: $name failed; the end of $log:" >&2
        tail -n 30 "$log" >&2
        exit 1
    fi
}

# The program alone (no tests), then the package from it. Directories the
# install step creates get one fixed mode (cmake/packaging.cmake), so the
# package is the same under any umask.
step configure cmake -S "$src" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DKUGLOVICA_TESTS=OFF -DKUGLOVICA_BENCH=OFF -DKUGLOVICA_WEB=OFF
step build cmake --build "$work/build"
# CPack gives the .deb's own three members the modes its scratch files have
# on disk, so it runs under the umask everyone's packages have.
umask_before=$(umask)
umask 022
step package cpack --config "$work/build/CPackConfig.cmake" -G DEB -B "$work/deb"
umask "$umask_before"
rm -rf "$work/deb/_CPack_Packages"

step page env KUG_WEB_BUILD_DIR="$work/web-cmake" "$src/scripts/build_web.sh" "$work/web"

# Neither the sources' folder nor the build's may show in what is shipped:
# the same files built elsewhere would differ.
deb=$(find "$work/deb" -maxdepth 1 -name 'kuglovica_*.deb')
[ -n "$deb" ] || { echo "build_reproducible: cpack made no kuglovica_*.deb in $work/deb" >&2; exit 1; }
mkdir "$work/unpacked"
dpkg-deb --extract "$deb" "$work/unpacked"
for path in "$src" "$work"; do
    if found=$(grep -rlF -- "$path" "$work/unpacked" "$work/web"); then
        echo "build_reproducible: the path $path is written into:" >&2
        echo "$found" >&2
        exit 1
    fi
done
rm -rf "$work/unpacked"
