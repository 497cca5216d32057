#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need; does
# nothing when they are all present.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qtbase5-dev qtbase5-private-dev qttools5-dev qttools5-dev-tools libqt5svg5-dev
    libcurl4-openssl-dev libpng-dev libfontconfig-dev
    p7zip-full openssl python3 curl procps tinyproxy
    xvfb xdotool imagemagick fonts-wqy-microhei
    clang libclang-rt-14-dev
    g++-mingw-w64-x86-64-posix
)
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
