#!/usr/bin/env bash
# Installs the Debian packages a task needs; does nothing when they are all
# present.
#   tools/install-deps.sh [linux] [windows] [wine]
#   linux    the Linux build, its tests and the demo (the default)
#   windows  the cross build for Windows against the SDK
#   wine     running that build under Wine and Xvfb
set -euo pipefail

[ $# -gt 0 ] || set -- linux
packages=()
for group in "$@"; do
    case "$group" in
        linux) packages+=(
            build-essential cmake pkg-config
            qtbase5-dev qtbase5-private-dev qttools5-dev qttools5-dev-tools libqt5svg5-dev
            libcurl4-openssl-dev libsodium-dev libpng-dev libfontconfig-dev
            p7zip-full openssl python3 curl procps tinyproxy minisign
            xvfb xdotool imagemagick fonts-wqy-microhei
            clang libclang-rt-14-dev) ;;
        # lrelease comes from the host's Qt: catalogues are the same everywhere.
        windows) packages+=(cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
            qttools5-dev qttools5-dev-tools qtbase5-dev python3 xz-utils
            patch p7zip-full osslsigncode openssl minisign) ;;
        # locales: Wine names files in the host locale, which must exist.
        # icoutils: the program's resources read back.
        wine) packages+=(wine wine64 locales icoutils ca-certificates p7zip-full openssl python3 xvfb xdotool
                         x11-utils imagemagick) ;;
        *) echo "unknown package group: $group" >&2; exit 2 ;;
    esac
done
[ "${NERIX_EXTRA_PACKAGES:-}" ] && packages+=(${NERIX_EXTRA_PACKAGES})

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
