#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the .deb with CPack into a scratch directory and checks its contents,
# its declared dependencies and what lintian finds; where apt-get is present,
# also that Debian can resolve them (a simulated install, nothing is changed).
#   check_package.sh <build dir> <scratch dir>
set -euo pipefail
build=$1
out=$2

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

rm -rf "$out"
mkdir -p "$out"
trap 'rm -rf "$out"' EXIT
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$out/cpack.log" 2>&1 ||
    { cat "$out/cpack.log" >&2; exit 1; }
deb=$(find "$out" -maxdepth 1 -name 'kuglovica_*.deb' | head -n 1)
[ -n "$deb" ] || { echo "FAIL: cpack made no kuglovica_*.deb" >&2; exit 1; }

fields=$(dpkg-deb --field "$deb" Package Architecture Depends)
echo "$fields"
grep -qx "Package: kuglovica" <<<"$fields" || fail "package name"
depends=$(dpkg-deb --field "$deb" Depends)
for dep in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins libc6; do
    grep -qE "(^|[ ,])$dep( |,|$)" <<<"$depends" || fail "Depends lacks $dep: $depends"
done

contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
for path in ./usr/bin/kuglovica ./usr/share/applications/io.github.kuglovica.Kuglovica.desktop \
    ./usr/share/icons/hicolor/16x16/apps/kuglovica.png \
    ./usr/share/icons/hicolor/32x32/apps/kuglovica.png \
    ./usr/share/icons/hicolor/48x48/apps/kuglovica.png \
    ./usr/share/icons/hicolor/64x64/apps/kuglovica.png \
    ./usr/share/icons/hicolor/scalable/apps/kuglovica.svg \
    ./usr/share/man/man1/kuglovica.1.gz \
    ./usr/share/metainfo/io.github.kuglovica.Kuglovica.metainfo.xml \
    ./usr/share/doc/kuglovica/copyright ./usr/share/doc/kuglovica/changelog.gz; do
    grep -qxF "$path" <<<"$contents" || fail "package lacks $path"
done

# What Debian's archive would say: not one error or warning. Tags are never
# suppressed here; an override shipped in the package must say why.
if ! command -v lintian >/dev/null; then
    fail "lintian is not installed"
elif ! lint=$(lintian --allow-root --fail-on error,warning "$deb" 2>&1) ||
    grep -qE '^[EW]: ' <<<"$lint"; then
    fail "lintian: $lint"
fi

if command -v apt-get >/dev/null && [ -r /etc/debian_version ]; then
    if ! sim=$(apt-get install --simulate --no-install-recommends "$(readlink -f "$deb")" 2>&1); then
        fail "apt-get cannot install the package: $sim"
    fi
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "package OK: $(basename "$deb")"
