#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs a built tree into a scratch prefix and checks what a desktop needs:
# the program, a valid desktop entry, AppStream metadata, the manual page and
# the hicolor icons.
#   check_install.sh <build dir> <scratch prefix>
set -euo pipefail
build=$1
prefix=$2
source_dir=$(cd "$(dirname "$0")/../.." && pwd)

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

rm -rf "$prefix"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

exe=$prefix/bin/kuglovica
[ -x "$exe" ] || fail "no executable at bin/kuglovica"
if [ -x "$exe" ] && ldd "$exe" | grep -q "not found"; then
    fail "bin/kuglovica misses libraries: $(ldd "$exe" | grep 'not found' | tr -s ' \t\n' ' ')"
fi

desktop=$prefix/share/applications/io.github.kuglovica.Kuglovica.desktop
if [ ! -f "$desktop" ]; then
    fail "no share/applications/io.github.kuglovica.Kuglovica.desktop"
else
    if ! out=$(desktop-file-validate "$desktop" 2>&1); then
        fail "desktop-file-validate: $out"
    elif grep -q "error:" <<<"$out"; then
        fail "desktop-file-validate: $out"
    fi
    for line in "Type=Application" "Name=Kuglovica" "Exec=kuglovica" "Icon=kuglovica" \
        "Categories=Education;Science;Math;"; do
        grep -qxF "$line" "$desktop" || fail "desktop entry lacks '$line'"
    done
    # menus and searches show these, in English and in Croatian
    for key in Name GenericName Comment Keywords; do
        grep -q "^$key=." "$desktop" || fail "desktop entry lacks $key"
        grep -q "^$key\[hr\]=." "$desktop" || fail "desktop entry lacks ${key}[hr]"
    done
fi

# AppStream: the validator passes with no warning, also over the whole tree
# (where it finds the desktop entry the launchable names), and the entries a
# software centre needs are there.
appstream_ok() {
    local report
    if ! report=$(appstreamcli "$@" 2>&1) || grep -qE '^ *[EW]: ' <<<"$report"; then
        fail "appstreamcli $1: $report"
    fi
}
metainfo=$prefix/share/metainfo/io.github.kuglovica.Kuglovica.metainfo.xml
if [ ! -f "$metainfo" ]; then
    fail "no share/metainfo/io.github.kuglovica.Kuglovica.metainfo.xml"
else
    appstream_ok validate --pedantic --no-net "$metainfo"
    appstream_ok validate-tree --pedantic --no-net "$prefix"
    repo=https://github.com/kuglovica/kuglovica
    for entry in '<id>io.github.kuglovica.Kuglovica</id>' '<project_license>GPL-3.0-or-later<' \
        '<content_rating type="oars-' '<binary>kuglovica</binary>' \
        '<launchable type="desktop-id">io.github.kuglovica.Kuglovica.desktop<' \
        "<url type=\"homepage\">$repo<" "<url type=\"bugtracker\">$repo/issues<" \
        "<url type=\"vcs-browser\">$repo<" '<screenshot type="default">'; do
        grep -qF "$entry" "$metainfo" || fail "metainfo lacks $entry"
    done
fi

# The manual page must render without a single groff warning and name every
# control by the caption the window shows.
page=$prefix/share/man/man1/kuglovica.1.gz
if [ ! -f "$page" ]; then
    fail "no share/man/man1/kuglovica.1.gz"
else
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) ||
        fail "man cannot render the page"
    [ -z "$warnings" ] || fail "man warns: $warnings"
    text=$(LC_ALL=C.UTF-8 MANWIDTH=400 man -l "$page" 2>/dev/null | col -b)
    for caption in "Broj stupaca:" "Broj kuglica:" "Brzina simulacije:" "Teorijska raspodjela" \
        "Brza simulacija" "U petlji" "Kuglica ostavlja trag" "Zvuk" "Parametri" \
        Pokreni Pauza Zaustavi Izlaz "Simulator Kuglovice," "verzija 1"; do
        grep -qF "$caption" <<<"$text" || fail "the manual page does not mention '$caption'"
    done
fi

# PNG size from its IHDR chunk: width and height are the 4-byte words at 16 and 20.
png_size() {
    python3 -c 'import struct,sys
d=open(sys.argv[1],"rb").read(24)
assert d[:8]==b"\x89PNG\r\n\x1a\n" and d[12:16]==b"IHDR", "not a PNG"
print("%dx%d" % struct.unpack(">II", d[16:24]))' "$1"
}

for size in 16 32 48 64; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/kuglovica.png
    if [ ! -f "$icon" ]; then
        fail "no hicolor ${size}x${size} icon"
        continue
    fi
    got=$(png_size "$icon" 2>&1) || true
    [ "$got" = "${size}x${size}" ] || fail "${size}x${size} icon is '$got'"
    # the PNG must show the same picture as the window icon it comes from
    if command -v compare >/dev/null; then
        diff=$(compare -metric AE "$source_dir/assets/icon$size.xpm" "$icon" null: 2>&1) || true
        [ "$diff" = "0" ] || fail "${size}x${size} icon differs from assets/icon$size.xpm in $diff pixels"
    fi
done

svg=$prefix/share/icons/hicolor/scalable/apps/kuglovica.svg
if [ ! -f "$svg" ]; then
    fail "no scalable icon"
else
    python3 -c 'import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
assert root.tag == "{http://www.w3.org/2000/svg}svg", root.tag' "$svg" ||
        fail "the scalable icon is not an SVG document"
fi

# Each screenshot in the metainfo: captions in English and Croatian, and a
# picture of the repository's docs/screenshots of the size it gives.
shots=$(python3 - "$metainfo" 2>&1 <<'EOF'
import sys, xml.etree.ElementTree as ET
for shot in ET.parse(sys.argv[1]).getroot().iter('screenshot'):
    langs = sorted(c.get('{http://www.w3.org/XML/1998/namespace}lang', 'en') for c in shot.iter('caption'))
    for image in shot.iter('image'):
        print(image.text.strip(), image.get('width') + 'x' + image.get('height'), *langs)
EOF
) || { fail "metainfo screenshots: $shots"; shots=; }
[ -n "$shots" ] || fail "metainfo lists no screenshots"
while read -r url size langs && [ -n "$url" ]; do
    [ "$langs" = "en hr" ] || fail "screenshot $url has captions in '$langs', not en and hr"
    [[ "$url" == https://raw.githubusercontent.com/kuglovica/kuglovica/v*/docs/screenshots/* ]] ||
        fail "screenshot not of the repository's docs/screenshots: $url"
    picture=$source_dir/docs/screenshots/${url##*/}
    [ "$(png_size "$picture" 2>&1)" = "$size" ] || fail "screenshot $url: $picture is not $size"
done <<<"$shots"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "install layout OK: $(cd "$prefix" && find . -type f | sort | tr '\n' ' ')"
