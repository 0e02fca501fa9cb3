#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the release of the commit that is checked out, in dist/:
#   kuglovica-VERSION.html       the web page, one file for any browser
#   kuglovica-VERSION-web.zip    the web app's folder for a web server
#   kuglovica_VERSION_ARCH.deb   the Debian package
#   kuglovica-VERSION.tar.gz     the sources (git archive)
#   SHA256SUMS
# The package and the page are built from the source archive alone, unpacked
# in build/release-work, which also proves that the archive builds. The same
# commit gives the same bytes on any machine with the same Debian packages,
# whatever the folder, the time or the umask. Refuses to start while the work
# tree has changes that are not committed. Installs missing build packages
# with apt-get first.
#
#   scripts/release.sh
set -euo pipefail
trap 'echo "release: stopped: \"$BASH_COMMAND\" failed with status $?" >&2' ERR
root="$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.."
cd "$root"
root=$PWD

die() {
    printf 'release: %s\n' "$@" >&2
    exit 1
}

git rev-parse --is-inside-work-tree >/dev/null 2>&1 ||
    die "$root is not a git clone: a release is made from a commit"
changes=$(git status --porcelain --untracked-files=normal)
[ -z "$changes" ] ||
    die "the work tree has changes that are not committed; a release holds the commit alone." \
        "Commit or stash them first:" "$changes"

# shellcheck source=scripts/install_deps.sh
source scripts/install_deps.sh
install_deps cmake ninja-build g++ qt6-base-dev libgl-dev qt6-qpa-plugins dpkg-dev \
    emscripten nodejs python3

version=$(git show HEAD:CMakeLists.txt | sed -n 's/^project(kuglovica VERSION \([0-9.]*\).*/\1/p')
[ -n "$version" ] || die "no version in CMakeLists.txt's project()"
commit=$(git rev-parse --short HEAD)
# Every file in the package carries the commit's time.
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct HEAD)
export SOURCE_DATE_EPOCH
echo "release: kuglovica $version from commit $commit"

work=$root/build/release-work
rm -rf "$work"
mkdir -p "$work/source"
# git archive lists the files in a fixed order with owner root and the
# commit's time; the modes are fixed here rather than left to the caller's
# tar.umask, and gzip -n leaves out the name and time.
tarball=$work/kuglovica-$version.tar.gz
git -c tar.umask=0022 archive --format=tar --prefix="kuglovica-$version/" HEAD |
    gzip -9n >"$tarball"
tar -xzf "$tarball" -C "$work/source"
source_dir=$work/source/kuglovica-$version

echo "release: building the package and the page (logs in $work/builds/logs)"
"$source_dir/scripts/build_reproducible.sh" "$source_dir" "$work/builds" ||
    die "the build from the source archive failed (see above)"

page=$work/builds/web/kuglovica.html
[ -f "$page" ] || die "scripts/build_web.sh made no kuglovica.html in $work/builds/web"
app=$work/builds/web/app
[ -f "$app/manifest.webmanifest" ] || die "scripts/build_web.sh made no app folder in $app"
debs=("$work/builds/deb/kuglovica_${version}_"*.deb)
[ -f "${debs[0]}" ] || die "cpack made no kuglovica_${version}_*.deb in $work/builds/deb"
deb=${debs[0]}

rm -rf dist
mkdir dist
cp "$page" "dist/kuglovica-$version.html"
cp "$deb" "$tarball" dist/
# The app's folder unpacks as kuglovica/: a new version unpacked over the
# old one keeps its address, and the apps installed from it update.
python3 "$source_dir/scripts/app_folder.py" --zip "dist/kuglovica-$version-web.zip" --top kuglovica "$app"
files=("kuglovica-$version.html" "kuglovica-$version-web.zip" "$(basename "$deb")" "kuglovica-$version.tar.gz")
(cd dist && sha256sum "${files[@]}" >SHA256SUMS)
chmod 0644 dist/*
rm -rf "$work"

echo "release: kuglovica $version in $root/dist:"
(cd dist && stat -c '%10s  %n' "${files[@]}" SHA256SUMS && cat SHA256SUMS)
if [ "$(git tag --points-at HEAD --list "v$version")" != "v$version" ]; then
    echo "release: the metainfo's screenshots are those of the tag v$version; tag this commit" \
        "and push the tag: git tag v$version && git push origin v$version"
fi
