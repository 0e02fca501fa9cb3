# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Shared by run.sh and test.sh: install the Debian/Ubuntu packages the
# project needs, touching apt only when something is actually missing.
#
#   source scripts/install_deps.sh
#   install_deps cmake ninja-build g++ ...

# True when the package is installed (not merely known to dpkg).
kuglovica_pkg_installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

install_deps() {
    local pkg
    local -a missing=()
    for pkg in "$@"; do
        if ! kuglovica_pkg_installed "$pkg"; then
            missing+=("$pkg")
        fi
    done
    if [ "${#missing[@]}" -eq 0 ]; then
        return 0
    fi

    echo "kuglovica: installing missing packages: ${missing[*]}"
    if ! command -v apt-get >/dev/null 2>&1; then
        echo "kuglovica: apt-get not found; install these packages by hand: ${missing[*]}" >&2
        return 1
    fi

    local -a sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null 2>&1; then
            echo "kuglovica: not root and sudo not found; as root run: apt-get install ${missing[*]}" >&2
            return 1
        fi
        sudo=(sudo)
    fi

    "${sudo[@]}" apt-get update
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
}
