#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and run Kirano, then
# configures and builds it in ./build. Sourced by scripts/run and scripts/test.
set -euo pipefail

KIRANO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
KIRANO_BUILD="${KIRANO_BUILD:-$KIRANO_ROOT/build}"

# To build, and what Kirano needs at run time (packaging/runtime-packages:
# the Japanese font and Qt's Japanese texts).
mapfile -t kirano_runtime_packages < <(grep -v '^#' "$KIRANO_ROOT/packaging/runtime-packages")
kirano_packages=(cmake g++ make qt6-base-dev libgl-dev "${kirano_runtime_packages[@]}")
# The second run of the GUI tests needs a real X server and Qt's X11 plugin.
kirano_x11_packages=(xvfb xauth qt6-qpa-plugins)
# The package check (scripts/package): the manual pages' maker, the
# Debian package tools and the checkers of the package and its files.
kirano_package_packages=(help2man dpkg-dev file lintian desktop-file-utils appstream)

# Installs those of the given packages (all of kirano_packages when none are
# given) that are missing.
kirano_install_missing() {
    local wanted=("$@")
    [ ${#wanted[@]} -gt 0 ] || wanted=("${kirano_packages[@]}")
    local missing=()
    for package in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

# KIRANO_TARGETS, when set, names the only targets to build (scripts/run
# needs the two programs, not the tests).
kirano_build() {
    cmake -S "$KIRANO_ROOT" -B "$KIRANO_BUILD" -DCMAKE_BUILD_TYPE=Release >/dev/null
    local targets=()
    [ -z "${KIRANO_TARGETS:-}" ] || read -r -a targets <<<"--target $KIRANO_TARGETS"
    cmake --build "$KIRANO_BUILD" -j "$(nproc)" "${targets[@]}"
}

# KIRANO_SETUP_ONLY=1: define the above and do nothing yet.
if [ "${KIRANO_SETUP_ONLY:-0}" != 1 ]; then
    kirano_install_missing
    kirano_build
fi
