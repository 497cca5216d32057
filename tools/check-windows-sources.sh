#!/usr/bin/env bash
# Compiles (syntax only) every source the Windows build compiles, with the
# MinGW-w64 cross compiler against the installed Qt 5 headers, so the
# Windows platform layer and the Windows branches cannot rot unseen.
#   tools/check-windows-sources.sh
# Sources: every *.cpp of the program's folders except the Unix platform
# files, so new platform/*_win.cpp files are picked up by themselves.
set -euo pipefail
cd "$(dirname "$0")/.."

cxx=${NERIX_MINGW_CXX:-x86_64-w64-mingw32-g++-posix}
qt=$(qmake -query QT_INSTALL_HEADERS 2>/dev/null || echo /usr/include/x86_64-linux-gnu/qt5)
uic=$(qmake -query QT_INSTALL_BINS 2>/dev/null || echo /usr/lib/qt5/bin)/uic
curl_headers=$(dirname "$(echo '#include <curl/curl.h>' | cpp -H -o /dev/null 2>&1 | grep -m1 'curl/curl.h' | sed 's/^\.* //')")

command -v "$cxx" >/dev/null || { echo "missing $cxx (Debian: g++-mingw-w64-x86-64-posix)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The Linux include folder holds the system's own headers too: only curl's
# and libsodium's may reach the cross compiler.
cp -r "$curl_headers" "$work/curl"
cp -r /usr/include/sodium.h /usr/include/sodium "$work/"

sed -e 's/@NERIX_GREEN_THEME@/false/; s/@NERIX_FREE_EDITION@/false/' \
    -e 's|@[A-Z_]*_URL@|http://127.0.0.1|; s/@NERIX_PACKAGE_KEYS@//' cmake/BuildConfig.h.in >"$work/BuildConfig.h"
"$uic" nerixSetupOnline/nerixSetupOnline.ui -o "$work/ui_nerixSetupOnline.h"

flags=(-std=c++17 -fsyntax-only -Wall -Wextra -Wpedantic -Wshadow -Werror
       -DUNICODE -D_UNICODE -DQT_NO_MESSAGELOGCONTEXT -DQT_NO_CAST_FROM_BYTEARRAY -DSODIUM_STATIC
       -DQT_CORE_LIB -DQT_GUI_LIB -DQT_WIDGETS_LIB -DQT_NETWORK_LIB
       -I. -I"$work" -isystem "$qt" -isystem "$qt/QtCore" -isystem "$qt/QtGui"
       -isystem "$qt/QtWidgets" -isystem "$qt/QtNetwork")

mapfile -t sources < <(find app nerixSetupOnline download install telemetry platform \
                            -name '*.cpp' ! -name '*_unix.cpp' | sort)

# The compiler names the file of every error.
if printf '%s\0' "${sources[@]}" | xargs -0 -n1 -P"$(nproc)" "$cxx" "${flags[@]}"; then
    echo "Windows sources: ${#sources[@]} files compile"
else
    echo "Windows sources: compile errors above" >&2
    exit 1
fi
