#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package and the web page twice as a release does
# (scripts/build_reproducible.sh), from two copies of the sources made one
# after the other, the second in a folder with a blank and a non-ASCII letter
# and under umask 002 rather than 022, and checks that both give the same
# bytes. The scratch directory is kept when they differ.
#   check_reproducible.sh <source dir> <scratch dir>
set -euo pipefail
source_dir=$(readlink -f "$1")
scratch=$(readlink -m "$2")
rm -rf "$scratch"
mkdir -p "$scratch"
cd "$source_dir"

# The sources as they are now, uncommitted changes included.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
    files() { git ls-files -z --cached --others --exclude-standard; }
else
    SOURCE_DATE_EPOCH=$(stat -c %Y CMakeLists.txt)
    files() { find . -path './build*' -prune -o -type f -print0; }
fi
export SOURCE_DATE_EPOCH

# build <umask> <folder>: copies the sources into <folder>/kuglovica and builds.
build() {
    (
        umask "$1"
        mkdir -p "$2/kuglovica"
        files | tar --null --files-from=- --ignore-failed-read -cf - 2>/dev/null |
            tar -xf - -C "$2/kuglovica"
        "$2/kuglovica/scripts/build_reproducible.sh" "$2/kuglovica" "$2/work"
    )
    (cd "$2/work" && find deb web -type f -print0 | sort -z | xargs -0 sha256sum)
}

one=$(build 022 "$scratch/one")
two=$(build 002 "$scratch/Radna površina 2")
grep -q ' deb/kuglovica_.*\.deb$' <<<"$one" || { echo "FAIL: no package was built" >&2; exit 1; }
if [ "$one" != "$two" ]; then
    echo "FAIL: the two builds differ (both kept in $scratch):" >&2
    diff <(echo "$one") <(echo "$two") >&2 || true
    diff <(dpkg-deb -c "$scratch"/one/work/deb/*.deb) \
        <(dpkg-deb -c "$scratch/Radna površina 2"/work/deb/*.deb) >&2 || true
    exit 1
fi
echo "reproducible: the same bytes in both builds:"
echo "$one"
rm -rf "$scratch"
