#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every source and script file of the project names its licence in an SPDX
# line: the first line, or the second after a shebang.
#   check_spdx.sh <source dir>
set -euo pipefail
cd "$1"
spdx='SPDX-License-Identifier: GPL-3.0-or-later'

# Tracked and new files alike; outside git, the tree without build directories.
files() {
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git ls-files --cached --others --exclude-standard
    else
        find . -path './build*' -prune -o -path ./.git -prune -o -type f -print | sed 's#^\./##'
    fi
}

missing=0
checked=0
while IFS= read -r f; do
    [ -f "$f" ] || continue
    case "$f" in
        fuzz/corpus/*) continue ;;
        *.cpp | *.h) comment="// $spdx" ;;
        *.py | *.sh | *.cmake | CMakeLists.txt | */CMakeLists.txt) comment="# $spdx" ;;
        *) if [ "$(head -c 2 "$f")" = '#!' ]; then comment="# $spdx"; else continue; fi ;;
    esac
    checked=$((checked + 1))
    line=1
    [ "$(head -c 2 "$f")" = '#!' ] && line=2
    if [ "$(sed -n "${line}p" "$f")" != "$comment" ]; then
        echo "FAIL: $f does not start with '$comment'" >&2
        missing=$((missing + 1))
    fi
done < <(files)

[ "$checked" -gt 0 ] || { echo "FAIL: no source files found in $PWD" >&2; exit 1; }
[ "$missing" -eq 0 ] || { echo "$missing of $checked files lack the SPDX line" >&2; exit 1; }
echo "SPDX line OK in $checked files"
