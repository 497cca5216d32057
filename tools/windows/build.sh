#!/usr/bin/env bash
# Builds nerixSetupOnline.exe for 64-bit Windows, lays out the folder a
# release ships and packs it into one self-extracting setup.exe, signed with
# Authenticode where a certificate is given.
#
#   NERIX_WINSDK=../shared/windows-sdk/winsdk-x86_64.tar.xz tools/windows/build.sh [CMake arguments...]
#
# NERIX_WINSDK        the Windows SDK: its tarball, or a folder it was unpacked
#                     to. Unset: the SDK is built from Debian's sources with
#                     tools/windows/build-sdk.sh into build/winsdk (about 40
#                     minutes on two cores, once).
# NERIX_WIN_BUILD_DIR the build folder (default build/windows-<edition>).
# Arguments go to CMake as they are: -DGREEN_THEME=ON, the endpoint roots,
# -C tools/local-endpoints.cmake. Every run configures afresh from them.
#
# NERIX_SIGN_PKCS12        the code-signing certificate and its key (.p12/.pfx);
#                          unset: the release is unsigned.
# NERIX_SIGN_PASSWORD_FILE a file holding its password.
# NERIX_SIGN_TIMESTAMP_URL an RFC 3161 server to timestamp with (optional).
#
# Writes release/nerixSetupOnline/ (the program stripped; its symbols stay in
# nerixSetupOnline.exe.debug in the build folder) and
# release/nerixSetupOnline-<version>-<edition>-setup.exe.
# The last line printed is the release folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
triple=x86_64-w64-mingw32

"$root/tools/install-deps.sh" windows

# --- the SDK
sdk_from() {
    local dir=$1
    for candidate in "$dir" "$dir/winsdk"; do
        [ -f "$candidate/qt/lib/cmake/Qt5/Qt5Config.cmake" ] && { echo "$candidate"; return; }
    done
    echo "no Windows SDK in $dir (expected qt/, curl/, 7zip/, runtime/)" >&2
    exit 1
}
if [ -n "${NERIX_WINSDK:-}" ] && [ ! -e "$NERIX_WINSDK" ]; then
    echo "NERIX_WINSDK: no such file or folder: $NERIX_WINSDK (unset it to build the SDK from Debian's sources)" >&2
    exit 1
elif [ -n "${NERIX_WINSDK:-}" ] && [ -f "$NERIX_WINSDK" ]; then
    # Unpacked once per tarball: the stamp is its checksum.
    sum=$(sha256sum "$NERIX_WINSDK" | cut -c1-16)
    unpacked="$root/build/winsdk-$sum"
    if [ ! -f "$unpacked/.unpacked" ]; then
        rm -rf "$unpacked" && mkdir -p "$unpacked"
        tar -xJf "$NERIX_WINSDK" -C "$unpacked"
        touch "$unpacked/.unpacked"
    fi
    sdk=$(sdk_from "$unpacked")
elif [ -n "${NERIX_WINSDK:-}" ]; then
    sdk=$(sdk_from "$(cd "$NERIX_WINSDK" && pwd)")
else
    [ -f "$root/build/winsdk/.built" ] || "$root/tools/windows/build-sdk.sh" "$root/build/winsdk"
    sdk=$(sdk_from "$root/build/winsdk")
fi

# --- configure and build
edition=default
for arg in "$@"; do
    case "$arg" in
        -DGREEN_THEME=ON|-DGREEN_THEME:BOOL=ON) edition=green ;;
        -DFREE_EDITION=ON|-DFREE_EDITION:BOOL=ON) [ $edition = green ] || edition=free ;;
    esac
done
build=$(realpath -m "${NERIX_WIN_BUILD_DIR:-$root/build/windows-$edition}")
host_linguist=$(dirname "$(find /usr/lib -path '*cmake/Qt5LinguistTools/Qt5LinguistToolsConfig.cmake' | head -n1)")

# The host's pkg-config would offer Linux's libcurl.
export PKG_CONFIG_LIBDIR="$sdk/curl/lib/pkgconfig"
cmake -S "$root" -B "$build" --fresh -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_FIND_ROOT_PATH="$sdk" -DCMAKE_PREFIX_PATH="$sdk/qt;$sdk/curl;$sdk/sodium" \
    -DCURL_INCLUDE_DIR="$sdk/curl/include" -DCURL_LIBRARY="$sdk/curl/lib/libcurl.dll.a" \
    -DQt5LinguistTools_DIR="$host_linguist" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"

# --- the release folder: what windeployqt would copy, chosen by hand
release="$build/release/nerixSetupOnline"
rm -rf "$build/release" && mkdir -p "$release/platforms" "$release/styles"
# Shipped stripped; the symbols stay beside the build for crash addresses.
${triple}-objcopy --only-keep-debug "$build/bin/nerixSetupOnline.exe" "$build/nerixSetupOnline.exe.debug"
${triple}-objcopy --strip-all --add-gnu-debuglink="$build/nerixSetupOnline.exe.debug" \
    "$build/bin/nerixSetupOnline.exe" "$release/nerixSetupOnline.exe"
chmod 755 "$release/nerixSetupOnline.exe"
cp "$sdk/qt/plugins/platforms/qwindows.dll" "$release/platforms/"
cp "$sdk/qt/plugins/styles/qwindowsvistastyle.dll" "$release/styles/"
# The standalone 7-Zip console program: it needs no 7z.dll.
cp "$sdk/7zip/7z.exe" "$release/"
# Loaded at the first download, not imported (platform/CurlLibrary_win.cpp).
cp "$sdk/curl/bin/libcurl-4.dll" "$release/"
# Every DLL the shipped programs import, found in the SDK, with what those
# import in turn; the rest must be Windows' own.
"$root/tools/windows/deploy-dlls.sh" "$release" "$sdk/qt/bin" "$sdk/curl/bin" "$sdk/runtime"

# The Wine run's platform checks start from the build folder.
if [ -f "$build/bin/test_platform_win.exe" ]; then
    "$root/tools/windows/deploy-dlls.sh" "$build/bin" "$sdk/qt/bin" "$sdk/curl/bin" "$sdk/runtime"
fi

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

# --- Authenticode: every program and DLL in the folder, then the setup
# program last, since anything appended after a signature breaks it.
product=Corvane icon="$root/nerixSetupOnline/Resources/nerixSetupOnline.ico"
if [ $edition = green ]; then
    product=Quorbel icon="$root/nerixSetupOnline/Resources_green/nerixSetupOnline.ico"
fi
sign() {
    [ -n "${NERIX_SIGN_PKCS12:-}" ] || return 0
    local file=$1 signed=$1.signed
    osslsigncode sign -pkcs12 "$NERIX_SIGN_PKCS12" ${NERIX_SIGN_PASSWORD_FILE:+-readpass "$NERIX_SIGN_PASSWORD_FILE"} \
        -h sha256 -n "$product" ${NERIX_SIGN_TIMESTAMP_URL:+-ts "$NERIX_SIGN_TIMESTAMP_URL"} \
        -in "$file" -out "$signed" >/dev/null
    mv "$signed" "$file"
}
if [ -n "${NERIX_SIGN_PKCS12:-}" ]; then
    find "$release" -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0 |
        while IFS= read -r -d '' file; do sign "$file"; done
else
    echo "unsigned: NERIX_SIGN_PKCS12 is not set, so this release carries no Authenticode signature"
fi

# --- setup.exe: the stub, then the folder's contents packed with 7z.
rm -f "$build/setup/sfx.exe" "$build/setup/src/setup.rc"
make -s -j2 -f "$root/tools/windows/setup/Makefile" SDK_C="$sdk/7zip/src/C" OUT="$build/setup" \
    VERSION="$version" PRODUCT="$product" ICON="$icon"
archive="$build/setup/release.7z"
rm -f "$archive"
(cd "$release" && 7z a -bd -mx=9 "$archive" . >/dev/null)
setup="$build/release/nerixSetupOnline-$version-$edition-setup.exe"
cat "$build/setup/sfx.exe" "$archive" > "$setup"
sign "$setup"
echo "setup: $setup"
echo "$release"
