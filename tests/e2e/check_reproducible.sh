#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package and the page built as a release builds them, twice, from
# copies of the sources made one after the other, the second under umask 002
# in a folder with a blank and a non-ASCII letter, must be the same bytes.
#   check_reproducible.sh <source dir> <scratch dir>
set -euo pipefail
scratch=$(readlink -m "$2")
rm -rf "$scratch"
cd "$1"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
    files() { git ls-files -z --cached --others --exclude-standard; } # uncommitted ones too
else
    SOURCE_DATE_EPOCH=$(stat -c %Y CMakeLists.txt)
    files() { find . -path './build*' -prune -o -type f -print0; }
fi
export SOURCE_DATE_EPOCH

# build UMASK FOLDER: the sums of the files built in FOLDER
build() {
    (umask "$1" && mkdir -p "$2/src" &&
        files | tar --null -T - --ignore-failed-read -cf - 2>/dev/null | tar -xf - -C "$2/src" &&
        "$2/src/scripts/build_reproducible.sh" "$2/src" "$2/work") || exit 1
    (cd "$2/work" && find deb web -type f -print0 | sort -z | xargs -0 sha256sum)
}
one=$(build 022 "$scratch/one")
two=$(build 002 "$scratch/Radna površina 2")
grep -q ' deb/kuglovica_.*\.deb$' <<<"$one" || { echo "FAIL: no package was built" >&2; exit 1; }
if [ "$one" != "$two" ]; then
    echo "FAIL: the two builds differ (both kept in $scratch):" >&2
    diff <(echo "$one") <(echo "$two") >&2
    exit 1
fi
echo "$one"
rm -rf "$scratch"
